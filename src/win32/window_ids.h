// The Win32 program's windows as other programs find them: window classes,
// control IDs and texts. These stay stable; the Windows tests drive the
// program through them.
#pragma once

#include "app/about_layout.h"
#include "app/controls.h"

namespace tolvane::ui::win {

// Window classes.
inline constexpr char kMainClass[] = "TolvaneMain";    // the main window, caption "Tolvane"
inline constexpr char kChartClass[] = "TolvaneChart";  // the chart, control kGraph; its
                                                      // tooltip has one tool per row (ids 1..n)
inline constexpr char kAboutClass[] = "TolvaneAbout";  // the About dialog, caption "About Tolvane"

// Controls of the main window (GetDlgItem(main, id)): the IDs of the
// control table both windows make their controls from. Buttons are
// "Button", boxes "Edit", labels "Static".
using namespace controls;

// The tray menu's items (WM_COMMAND ids).
enum MenuId : int {
  kRestore = 200,  // "&Restore"
  kExit = 201,     // "&Exit"
};

// The chart's right-click menu: its items' WM_COMMAND ids, sent to the chart.
enum ChartMenuId : int {
  kCopyCsv = 400,    // "Copy as CSV", onto the clipboard
  kSaveImage = 401,  // "Save Image…", the save dialog first
};

// Sent to the chart, it answers the top of its value axis in ms: what the
// same run shows on every platform (WM_APP + 1).
inline constexpr unsigned kChartAxisTop = 0x8001;

// Controls of the About dialog: the IDs of its control table.
using namespace about::ids;

}  // namespace tolvane::ui::win
