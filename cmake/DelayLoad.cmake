# MinGW delay-import libraries: `target` calls `functions` of `dll` through
# an import that loads the DLL at the first call, not at the program's
# start. (MSVC's builds would take /DELAYLOAD; they load it at the start.)
#   tolvane_delay_load(target dll function...)
function(tolvane_delay_load target dll)
  find_program(TOLVANE_DLLTOOL NAMES x86_64-w64-mingw32-dlltool dlltool REQUIRED)
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${dll}_delay.def)
  set(text "LIBRARY ${dll}.dll\nEXPORTS\n")
  foreach(name IN LISTS ARGN)
    string(APPEND text "${name}\n")
  endforeach()
  file(WRITE ${def} "${text}")
  set(lib ${CMAKE_CURRENT_BINARY_DIR}/lib${dll}_delay.a)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${TOLVANE_DLLTOOL} --input-def ${def} --output-delaylib ${lib} --dllname ${dll}.dll
    DEPENDS ${def} VERBATIM)
  add_custom_target(${dll}_delay DEPENDS ${lib})
  add_dependencies(${target} ${dll}_delay)
  target_link_libraries(${target} PUBLIC ${lib} delayimp)
endfunction()
