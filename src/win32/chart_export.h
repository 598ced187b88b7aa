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
// when needed; the caller's to make, Run's to delete).
void Run(HWND chart, WORD command, const ChartModel& model, const std::function<HBITMAP()>& image);

}  // namespace tolvane::ui::win::chart_export
