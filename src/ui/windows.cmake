# The Win32 program: tolvane.exe on the engine, the toolkit-free run and
# chart model (tolvane_ui_run), tray logic, and Windows' own windows. No Qt.
# With MinGW it is one static executable that imports system DLLs only.
set(ui ${CMAKE_CURRENT_LIST_DIR})
add_library(tolvane_ui_logic STATIC
  ${ui}/about/about_texts.cpp
  ${ui}/tray/tray.cpp
  ${ui}/tray/tray_icon_record.cpp
)
# The program's title, version and comments as the build names them.
configure_file(${ui}/about/program_info.h.in ${PROJECT_BINARY_DIR}/src/ui/include/ui/about/program_info.h @ONLY)
target_include_directories(tolvane_ui_logic PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/src/ui/include)
target_link_libraries(tolvane_ui_logic PUBLIC tolvane_ui_run)

add_library(tolvane_ui_win STATIC
  ${ui}/main/dpi_win.cpp
  ${ui}/main/latency_chart_win.cpp
  ${ui}/main/main_window_win.cpp
  ${ui}/main/png_win.cpp
  ${ui}/main/window_effects_win.cpp
  ${ui}/tray/notify_area_win.cpp
  ${ui}/tray/window_system_win.cpp
  ${ui}/about/about_dialog_win.cpp
  ${ui}/about/version_record_win.cpp
)
target_include_directories(tolvane_ui_win PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_compile_definitions(tolvane_ui_win PUBLIC NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)
target_link_libraries(tolvane_ui_win PUBLIC tolvane_ui_logic comctl32 comdlg32 gdiplus version shell32 gdi32 user32)

add_executable(tolvane WIN32 ${ui}/main/main_win.cpp)
set_target_properties(tolvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/src/ui)
target_link_libraries(tolvane PRIVATE tolvane_ui_win)
if(NOT MSVC)
  # Release builds ship without their symbol tables.
  target_link_options(tolvane PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
endif()
include(${PROJECT_SOURCE_DIR}/cmake/VersionResource.cmake)
tolvane_version_resource(tolvane)
# The application manifest: common controls 6, per-monitor DPI awareness.
function(tolvane_manifest_resource target)
  set(TOLVANE_MANIFEST ${PROJECT_SOURCE_DIR}/res/tolvane.exe.manifest)
  if(MSVC)
    target_sources(${target} PRIVATE ${TOLVANE_MANIFEST})
  else()
    configure_file(${PROJECT_SOURCE_DIR}/res/tolvane_manifest.rc.in ${PROJECT_BINARY_DIR}/res/tolvane_manifest.rc @ONLY)
    target_sources(${target} PRIVATE ${PROJECT_BINARY_DIR}/res/tolvane_manifest.rc)
  endif()
endfunction()
tolvane_manifest_resource(tolvane)
