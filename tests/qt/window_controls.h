// Reaching the main window's controls by name, as the window tests do.
#pragma once

#include <QLineEdit>
#include <QObject>
#include <QString>
#include <QtGlobal>

#include "qt/latency_chart.h"

namespace tolvane::ui::test {

template <typename T>
T* ChildOf(const QObject* window, const char* name) {
  T* child = window->findChild<T*>(name);
  if (child == nullptr) qFatal("no child %s", name);
  return child;
}

// The host, count and interval boxes, typed in.
inline void TypeRun(const QObject* window, const QString& host, const QString& count, const QString& seconds) {
  ChildOf<QLineEdit>(window, "Text1")->setText(host);
  ChildOf<QLineEdit>(window, "duration")->setText(count);
  ChildOf<QLineEdit>(window, "interval")->setText(seconds);
}

// A row of the chart (from 1), and the time its sample took: -1 for a
// lost sample or a row no sample has set.
inline const ChartModel::Row& RowOf(const LatencyChart& chart, int row) {
  return chart.model().rows().at(static_cast<std::size_t>(row - 1));
}
inline double RowMs(const LatencyChart& chart, int row) {
  return RowOf(chart, row).kind == ChartModel::Kind::Reply ? RowOf(chart, row).value : -1;
}

}  // namespace tolvane::ui::test
