# The Windows installer, tolvane-<version>-win64.exe: tolvane.exe in
# Program Files, a Start-menu shortcut, an uninstaller that Add/Remove
# Programs lists; /S installs and uninstalls silently.
if(NOT TARGET tolvane)
  return()
endif()

install(TARGETS tolvane RUNTIME DESTINATION .)
# Where the build puts tolvane.exe, for print_sha256.cmake and
# scripts/reproduce.sh (single-configuration generators only).
get_property(multi_config GLOBAL PROPERTY GENERATOR_IS_MULTI_CONFIG)
if(NOT multi_config)
  set(CPACK_TOLVANE_PROGRAM_PATH_FILE ${PROJECT_BINARY_DIR}/packaging/program-path.txt)
  file(GENERATE OUTPUT ${CPACK_TOLVANE_PROGRAM_PATH_FILE} CONTENT "$<TARGET_FILE:tolvane>\n")
endif()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME Tolvane)
set(CPACK_PACKAGE_VENDOR Tolvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${TOLVANE_COMMENTS}")
set(CPACK_PACKAGE_FILE_NAME tolvane-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Tolvane)
# One key for every version: a new one replaces the old in Add/Remove
# Programs instead of standing beside it.
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Tolvane)
set(CPACK_PACKAGE_EXECUTABLES tolvane Tolvane)
set(CPACK_STRIP_FILES ON)

set(CPACK_NSIS_PACKAGE_NAME Tolvane)
set(CPACK_NSIS_DISPLAY_NAME Tolvane)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALLED_ICON_NAME tolvane.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/res/tolvane.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/res/tolvane.ico)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
# The GPL, on the installer's licence page and beside the program.
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# A 64-bit program, installed by a 64-bit installer where makensis can
# make one (Debian's can): it runs where no 32-bit Windows layer is, as
# under a 64-bit-only Wine. NSIS's own Windows build has only 32-bit
# stubs; its installer works on 64-bit Windows all the same.
#
# makensis records every file's time, as the script goes at the line it
# compiles. The installer's own files (its dialog's settings, written by
# this cpack run, and its plug-ins) go in without one; the program's files,
# in the middle of the script, with theirs, which normalize_staging.cmake has
# brought down to the commit's time.
set(CPACK_NSIS_DEFINES "  !if /FileExists \"\${NSISDIR}/Stubs/lzma-amd64-unicode\"
    Target amd64-unicode
  !endif
  SetDateSave off")
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "SetDateSave on")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "SetDateSave off")
# The value as written, NSIS's ${...} included.
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)
