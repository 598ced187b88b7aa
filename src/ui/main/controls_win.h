// The Win32 program's windows as other programs find them: window classes,
// control IDs and texts. These stay stable; the Windows tests drive the
// program through them.
#pragma once

namespace tolvane::ui::win {

// Window classes.
inline constexpr char kMainClass[] = "TolvaneMain";    // the main window, caption "Tolvane"
inline constexpr char kChartClass[] = "TolvaneChart";  // the chart, control kGraph; its
                                                      // tooltip has one tool per row (ids 1..n)
inline constexpr char kAboutClass[] = "TolvaneAbout";  // the About dialog, caption "About Tolvane"

// Controls of the main window (GetDlgItem(main, id)). Buttons are "Button",
// boxes "Edit", labels "Static".
enum ControlId : int {
  kGraph = 100,
  kLabel3 = 101,    // "IP:"
  kText1 = 102,     // host box, "127.0.0.1"
  kCommand1 = 103,  // "Ping"
  kLabel1 = 104,    // "How many times?"
  kLabel2 = 105,    // "Int in Sec."
  kDuration = 106,  // count box, "6"
  kInterval = 107,  // interval box, "2"
  kResults = 108,   // "Duration in sec.", then "Min Rt:.. Max Rt:.."
  kCurrent = 109,   // "12ms", "no reply", "Avr:.."
  kCommand5 = 110,  // "&Stop", hidden but while a run goes on
  kCommand4 = 111,  // "&About"
  kCommand3 = 112,  // "&Systray"
  kCommand2 = 113,  // "&Exit"
};

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

// Controls of the About dialog.
enum AboutId : int {
  kPicIcon = 300,
  kLblTitle = 301,
  kLblVersion = 302,
  kLblDescription = 303,
  kLblDisclaimer = 304,
  kCmdOK = 1,  // IDOK: Enter presses it, Esc (IDCANCEL) closes the dialog too
};

// The notification-area icon's id (with the main window's handle).
inline constexpr unsigned kTrayIconId = 1;

}  // namespace tolvane::ui::win
