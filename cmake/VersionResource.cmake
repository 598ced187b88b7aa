# The Windows version resource of the program, from res/tolvane.rc.in and
# the project version. include() it where a target takes the resource:
#   tolvane_version_resource(target)
if(WIN32)
  enable_language(RC)
endif()

function(tolvane_version_resource target)
  if(NOT WIN32)
    return()
  endif()
  # The icon is drawn separately; until it is there the program has none.
  # The glob re-runs the configuration when it appears.
  file(GLOB icon CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/tolvane.ico)
  if(icon)
    set(TOLVANE_RC_ICON "IDI_ICON1 ICON \"${icon}\"")
  else()
    set(TOLVANE_RC_ICON "")
  endif()
  set(rc ${PROJECT_BINARY_DIR}/res/tolvane.rc)
  configure_file(${PROJECT_SOURCE_DIR}/res/tolvane.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
