// The latency chart for assistive technology: a list whose items are the
// chart's rows, named as ChartModel::RowName words them, and the
// announcements a screen reader hears as a run fills them in.
#pragma once

#include <QAccessible>

namespace tolvane::ui {

class LatencyChart;

namespace chart_access {

// Makes Qt ask us for every LatencyChart's interface; once is enough.
void Install();

// What changed, told only while some assistive technology listens.
// `row` is an index from 0.
void RowRenamed(LatencyChart& chart, int row);
// Before the table shrinks from `before` to `after` rows, and after it has.
void RowsGoing(LatencyChart& chart, int before, int after);
void RowsChanged(LatencyChart& chart, int before, int after);
void DescriptionChanged(LatencyChart& chart);
// The keyboard's row went from `before` (or none, -1) to `after`.
void SelectionMoved(LatencyChart& chart, int before, int after);
// The chart took the focus with `row` selected.
void RowFocused(LatencyChart& chart, int row);

}  // namespace chart_access
}  // namespace tolvane::ui
