# Reproducible builds: one commit gives the same tolvane.exe, installer and
# .deb, byte for byte, whatever the build folder and the time of the build
# (scripts/reproduce.sh checks it).
#
# SOURCE_DATE_EPOCH (reproducible-builds.org) is the one time, in seconds
# since 1970, that every date and file time the build writes is taken from:
# the environment's when it is set, otherwise the time of the commit the
# sources are checked out at. It is read when CMake configures the tree (a
# tree configured at an older commit keeps that commit's time until CMake
# runs again; releases are built in a fresh one) and handed to the
# packagers (packaging/cpack_project.cmake).

# The time in ${out}; empty when the sources are not a git clone of their
# own (an unpacked tarball: set SOURCE_DATE_EPOCH there).
function(tolvane_source_date_epoch out source_dir)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch "$ENV{SOURCE_DATE_EPOCH}")
    if(NOT epoch MATCHES "^[0-9]+$")
      message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"${epoch}\", not a whole number of seconds")
    endif()
    set(${out} "${epoch}" PARENT_SCOPE)
    return()
  endif()
  set(${out} "" PARENT_SCOPE)
  find_program(TOLVANE_GIT git)
  if(NOT TOLVANE_GIT)
    return()
  endif()
  # Only the sources' own repository: not one they happen to lie inside.
  execute_process(COMMAND ${TOLVANE_GIT} -C ${source_dir} rev-parse --show-toplevel
    OUTPUT_VARIABLE top RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT status EQUAL 0)
    return()
  endif()
  file(REAL_PATH "${top}" top)
  file(REAL_PATH "${source_dir}" source)
  if(NOT top STREQUAL source)
    return()
  endif()
  execute_process(COMMAND ${TOLVANE_GIT} -C ${source_dir} log -1 --format=%ct
    OUTPUT_VARIABLE epoch RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(status EQUAL 0 AND epoch MATCHES "^[0-9]+$")
    set(${out} "${epoch}" PARENT_SCOPE)
  endif()
endfunction()

tolvane_source_date_epoch(TOLVANE_SOURCE_DATE_EPOCH ${PROJECT_SOURCE_DIR})
if(TOLVANE_SOURCE_DATE_EPOCH)
  message(STATUS "SOURCE_DATE_EPOCH: ${TOLVANE_SOURCE_DATE_EPOCH}")
else()
  message(STATUS "SOURCE_DATE_EPOCH: none (no environment variable, no git clone of the "
    "sources): packages carry the build's file times")
endif()

# Folders installed with the same mode whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(MSVC)
  return()
endif()
# No build folder in the binaries: __FILE__, debug information and the
# like name sources relative to the source tree ("./src/...") and
# generated files relative to the build tree ("build/..."); the later
# mapping wins where the build tree lies inside the source tree.
# __DATE__, __TIME__ and __TIMESTAMP__ are errors.
add_compile_options(
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>"
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}=build>"
  "$<$<COMPILE_LANGUAGE:C,CXX>:-Werror=date-time>")
if(WIN32)
  # The PE header's time stamp: 0, not the time of the link. The header's
  # checksum, over the whole image, then follows the code alone.
  add_link_options(LINKER:--no-insert-timestamp)
endif()
# The code generators the build runs (Qt's rcc writes every resource's
# file time into the program unless SOURCE_DATE_EPOCH is set) see the
# commit's time.
if(TOLVANE_SOURCE_DATE_EPOCH)
  set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM
    "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${TOLVANE_SOURCE_DATE_EPOCH}")
endif()
