// The latency chart: one bar per sample of a run, driven by six one-way
// operations. Rows are numbered from 1; a new run's rows show as not yet
// sampled until it writes them.
// Where everything goes comes from the core (app/chart_layout.h); this
// widget only paints it with QPainter and forwards the mouse and the keys.
// With the focus, Left, Right, Home and End select a row, which is outlined
// and shows its tooltip's text; Shift+F10 and the menu key open the chart's
// menu. Screen readers see it as a list of its rows (chart_accessible.h).
#pragma once

#include <QImage>
#include <QWidget>

#include <optional>

#include "app/chart_control.h"
#include "app/chart_layout.h"
#include "app/chart_model.h"

namespace tolvane::ui {

class LatencyChart : public QWidget, private ChartControl::Window {
  Q_OBJECT

 public:
  explicit LatencyChart(QWidget* parent = nullptr);

  // The chart's operations, as the run and the window use them.
  ChartControl& control() { return control_; }
  const ChartModel& model() const { return control_.model(); }
  // Where everything shows now, in the widget's coordinates.
  const chart::Layout& layout() const;
  // The chart as it shows, without the keyboard's marks.
  QImage Image() const;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // ChartControl::Window: repaints; the screen readers' news is defined in
  // chart_accessible.cpp.
  bool Focused() const override { return hasFocus(); }
  void Repaint() override;
  void RowsChanging(std::size_t before, std::size_t after) override;
  void RowsChanged(std::size_t before, std::size_t after) override;
  void DescriptionChanged() override;
  void RowRenamed(std::size_t row) override;
  void SelectionMoved(std::optional<std::size_t> before, std::size_t now, bool focused) override;

  chart::Layout LayOut(bool focused) const;

  ChartControl control_{*this};
  mutable std::optional<chart::Layout> layout_;  // until something changes
};

}  // namespace tolvane::ui
