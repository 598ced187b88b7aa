# The Windows installer, tolvane-<version>-win64.exe: tolvane.exe in
# Program Files, a Start-menu shortcut, an uninstaller that Add/Remove
# Programs lists; /S installs and uninstalls silently.
if(NOT TARGET tolvane)
  return()
endif()

install(TARGETS tolvane RUNTIME DESTINATION .)
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
set(CPACK_NSIS_DEFINES "  !if /FileExists \"\${NSISDIR}/Stubs/lzma-amd64-unicode\"
    Target amd64-unicode
  !endif")
# The value as written, NSIS's ${...} included.
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)
