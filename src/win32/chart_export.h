// The chart's right-click menu: "Copy as CSV" and "Save Image…".
#pragma once

#include <windows.h>

#include "app/chart_model.h"

namespace tolvane::ui::win::chart_export {

// The rows that hold a sample of the run, onto the clipboard as text.
// False when the clipboard can't be had.
bool CopyCsv(HWND owner, const ChartModel& model);

// Asks where to save `image` (the system's dialog adds ".png" to a name
// typed without one, and asks before it replaces a file), then saves it
// there; a save that failed is told, with the system's reason.
void SaveImageAs(HWND owner, HBITMAP image);

}  // namespace tolvane::ui::win::chart_export
