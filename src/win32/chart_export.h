// The chart's right-click menu: "Copy as CSV" and "Save Image…".
#pragma once

#include <windows.h>

#include <functional>

#include "app/chart_model.h"

namespace tolvane::ui::win::chart_export {

// The menu at `screen`; the item chosen comes back to `chart` as
// WM_COMMAND, which Run carries out.
void ShowMenu(HWND chart, POINT screen);
// The menu's item `command` for the chart's rows and its image (made only
// when needed; the caller's to make, Run's to delete). False for a command
// that isn't the menu's.
bool Run(HWND chart, WORD command, const ChartModel& model, const std::function<HBITMAP()>& image);

// The rows that hold a sample of the run, onto the clipboard as text.
// False when the clipboard can't be had.
bool CopyCsv(HWND owner, const ChartModel& model);

// Asks where to save `image` (the system's dialog adds ".png" to a name
// typed without one), and before it replaces a file, naming it; then saves
// it there. A save that failed is told, with the system's reason.
void SaveImageAs(HWND owner, HBITMAP image);

}  // namespace tolvane::ui::win::chart_export
