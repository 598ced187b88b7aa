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
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>

#include "app/chart_control.h"
#include "app/chart_layout.h"
#include "app/chart_model.h"
#include "qt/qt_text.h"

namespace tolvane::ui {

class LatencyChart : public QWidget, private ChartControl::Window {
  Q_OBJECT

 public:
  explicit LatencyChart(QWidget* parent = nullptr);

  void SetNameText(const QString& text) { control_.SetNameText(Utf8(text)); }
  void SetRowCount(std::int16_t count) { control_.SetRowCount(count); }
  void SetHostText(const QString& text) { control_.SetHostText(Utf8(text)); }
  void SelectRow(std::int16_t row) { control_.SelectRow(row); }
  void SetRowLabel(const QString& text) { control_.SetRowLabel(Utf8(text)); }
  // The round-trip time in ms as text; a text that isn't a number marks a
  // sample without reply.
  void SetRowValue(const QString& text) { control_.SetRowValue(Utf8(text)); }
  void SetRowToolTip(const QString& text) { control_.SetRowToolTip(Utf8(text)); }

  const ChartModel& model() const { return control_.model(); }
  // Where everything shows now, in the widget's coordinates.
  const chart::Layout& layout() const;
  // Selects a row (from 0) as the keys would; past the end, the last.
  void SelectIndex(std::size_t index) { control_.SelectIndex(index); }
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
  // ChartControl::Window: repaints, and screen readers told through
  // chart_accessible.h.
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
