# Read by cpack before each generator packs (CPACK_PROJECT_CONFIG_FILE):
# the commit's time, as CMake found it when it configured the tree, for
# cpack and the programs it runs, unless the environment already names one.
# CPack's own .deb writer then gives every file, the ar members and the
# gzip headers that time; makensis keeps each file's own time, which
# normalize_staging.cmake has brought down to it.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} AND CPACK_TOLVANE_SOURCE_DATE_EPOCH)
  set(ENV{SOURCE_DATE_EPOCH} "${CPACK_TOLVANE_SOURCE_DATE_EPOCH}")
endif()
