// The latency chart for assistive technology: a list whose items are the
// chart's rows, named as ChartModel::RowName words them, and the
// announcements a screen reader hears as a run fills them in (the chart's
// ChartControl::Window news, defined beside the list).
#pragma once

#include <cstddef>

namespace tolvane::ui {

class LatencyChart;

namespace chart_access {

// Makes Qt ask us for every LatencyChart's interface; once is enough.
void Install();

// The chart took the focus with `row` (from 0) selected; told only while
// some assistive technology listens.
void RowFocused(LatencyChart& chart, std::size_t row);

}  // namespace chart_access
}  // namespace tolvane::ui
