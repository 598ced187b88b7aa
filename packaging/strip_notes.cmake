# Run by CPack on the staged files before it packs them: besides the symbols
# CPack strips, drop the compiler's version notes, as Debian's dh_strip does.
find_program(OBJCOPY objcopy REQUIRED)
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*")
foreach(program IN LISTS programs)
  execute_process(COMMAND ${OBJCOPY} --remove-section=.comment --remove-section=.note ${program}
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
