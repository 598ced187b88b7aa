# Run by CPack once it has packed: the sha256 of what a release build gives
# (the package and, on Windows, tolvane.exe itself), to check a download
# against. Two builds of one commit give the same (scripts/reproduce.sh).
set(artefacts)
if(CPACK_TOLVANE_PROGRAM_PATH_FILE AND EXISTS "${CPACK_TOLVANE_PROGRAM_PATH_FILE}")
  file(STRINGS "${CPACK_TOLVANE_PROGRAM_PATH_FILE}" artefacts LIMIT_COUNT 1)
endif()
list(APPEND artefacts ${CPACK_PACKAGE_FILES})
foreach(artefact IN LISTS artefacts)
  file(SHA256 "${artefact}" sum)
  get_filename_component(name "${artefact}" NAME)
  message(STATUS "sha256 ${sum}  ${name}")
endforeach()
