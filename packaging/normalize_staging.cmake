# Run by CPack on the staged files before it packs them, so that a package
# records the same from every build of one commit, whoever built it with
# whatever umask, however long ago its files were built, copied or stripped:
# - modes: folders and programs rwxr-xr-x, other files rw-r--r--;
# - times: none newer than SOURCE_DATE_EPOCH.
# (Owners are CPack's: root for the .deb; an NSIS installer has none.)
set(staging "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
find_program(CHMOD chmod)
find_program(TOUCH touch)
if(NOT CHMOD OR NOT TOUCH)
  message(WARNING "no chmod or touch here: the package keeps the files' own modes and times")
  return()
endif()
execute_process(COMMAND ${CHMOD} -R u=rwX,go=rX -- "${staging}" COMMAND_ERROR_IS_FATAL ANY)

if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  return()
endif()
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
file(GLOB_RECURSE entries LIST_DIRECTORIES TRUE "${staging}/*")
set(newer)
foreach(entry IN LISTS entries)
  file(TIMESTAMP "${entry}" mtime "%s" UTC)
  if(mtime GREATER epoch)
    list(APPEND newer "${entry}")
  endif()
endforeach()
if(newer)
  execute_process(COMMAND ${TOUCH} --no-dereference --date=@${epoch} -- ${newer}
    COMMAND_ERROR_IS_FATAL ANY)
endif()
