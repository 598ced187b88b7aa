# Installation for a Linux desktop and the Debian package:
#   cmake --install build/default             binary, desktop entry, hicolor icons,
#                                             manual page, AppStream metadata, copyright
#   cpack --config build/default/CPackConfig.cmake -G DEB -B build/packages
# The package's post-install grants the binary CAP_NET_RAW.
# On Windows: the installer, built with NSIS (Debian's nsis has makensis):
#   cpack --config build/mingw/CPackConfig.cmake -B build/mingw/packages

# Every package is the same from every build of one commit
# (cmake/Reproducible.cmake): cpack and the packagers it runs take the
# commit's time, the staged files' modes are normalised and their times
# clamped to it, and at the end the sha256 of what the build made is
# printed.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack_project.cmake)
set(CPACK_TOLVANE_SOURCE_DATE_EPOCH "${TOLVANE_SOURCE_DATE_EPOCH}")
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/normalize_staging.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/print_sha256.cmake)

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/Windows.cmake)
  return()
endif()
if(NOT TOLVANE_FRONTEND STREQUAL "qt")
  return()
endif()

include(GNUInstallDirs)

install(TARGETS tolvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

configure_file(${PROJECT_SOURCE_DIR}/res/tolvane.desktop.in
  ${PROJECT_BINARY_DIR}/packaging/tolvane.desktop @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/tolvane.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

foreach(size 16 24 32 48 128)
  install(FILES ${PROJECT_SOURCE_DIR}/res/icons/tolvane-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME tolvane.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/res/tolvane.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_PACKAGE_CONTACT "Tolvane maintainers <maintainers@users.noreply.c-seed-a7988919.example>")
set(TOLVANE_CONTACT_ADDRESS "maintainers@users.noreply.c-seed-a7988919.example")

set(docs ${PROJECT_BINARY_DIR}/packaging)
configure_file(${PROJECT_SOURCE_DIR}/res/tolvane.1.in ${docs}/tolvane.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/res/tolvane.metainfo.xml.in
  ${docs}/${TOLVANE_APP_ID}.metainfo.xml @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${docs}/changelog @ONLY)
# Debian installs both compressed at the highest level, with no name or
# time in the gzip header, so that a rebuild gives the same bytes.
find_program(GZIP gzip REQUIRED)
foreach(doc tolvane.1 changelog)
  add_custom_command(OUTPUT ${docs}/${doc}.gz
    COMMAND ${GZIP} -9nkf ${docs}/${doc}
    DEPENDS ${docs}/${doc} VERBATIM)
endforeach()
add_custom_target(tolvane_docs ALL DEPENDS ${docs}/tolvane.1.gz ${docs}/changelog.gz)
add_dependencies(tolvane tolvane_docs)

install(FILES ${docs}/tolvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${docs}/${TOLVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${docs}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tolvane)

set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(TOLVANE_INSTALLED_PROGRAM ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tolvane)
configure_file(${CMAKE_CURRENT_LIST_DIR}/postinst.in ${PROJECT_BINARY_DIR}/packaging/postinst
  @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
  WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chart of the ping latency to one host")
set(CPACK_PACKAGE_DESCRIPTION "${TOLVANE_COMMENTS}
Tolvane sends one ICMP echo request per interval to a host, at most 50 of
them, and plots each round-trip time as a row of a chart, with the current
time, the running minimum and maximum, and the average at the end. It can
go to the notification area while a run goes on.")
set(CPACK_STRIP_FILES ON)
# The notes go first: modes and times are settled after every change.
list(PREPEND CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip_notes.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# setcap, for the post-install.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcap2-bin")
# Qt's Wayland platform: the window is a native Wayland client, translucent
# there as on X11. Without it Qt falls back to X11 through XWayland. And the
# library glibc loads to look up a host name beyond ASCII (AI_IDN); without
# it such a name is not found.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, libidn2-0")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/packaging/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
