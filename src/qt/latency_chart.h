// The latency chart: one bar per sample of a run, driven by six one-way
// operations. Rows are numbered from 1; nothing clears them between runs.
// With the focus, Left, Right, Home and End select a row, which is outlined
// and shows its tooltip's text; Shift+F10 and the menu key open the chart's
// menu. Screen readers see it as a list of its rows (chart_accessible.h).
#pragma once

#include <QChartView>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

#include "app/chart_model.h"

class QBarCategoryAxis;
class QBarSet;
class QChart;
class QStackedBarSeries;
class QValueAxis;

namespace tolvane::ui {

class LatencyChart : public QChartView {
  Q_OBJECT

 public:
  explicit LatencyChart(QWidget* parent = nullptr);

  void SetNameText(const QString& text);
  void SetRowCount(std::int16_t count);
  void SetHostText(const QString& text);
  void SelectRow(std::int16_t row);
  void SetRowLabel(const QString& text);
  // The round-trip time in ms as text; a text that isn't a number marks a
  // sample without reply.
  void SetRowValue(const QString& text);
  void SetRowToolTip(const QString& text);

  // Read back, for the window's tests.
  int RowCount() const { return static_cast<int>(model_.rows().size()); }
  QString RowLabel(int row) const;
  // The time a sample put in a row; nothing for a lost sample or a row no
  // sample has set.
  std::optional<double> RowValue(int row) const;
  bool RowLost(int row) const;
  QString RowToolTip(int row) const;
  // The row the keyboard selected, from 0; -1 before a key chose one.
  int SelectedRow() const;
  // A row's column of the plot, in the viewport's coordinates (index from 0).
  QRect RowRect(int index) const;
  // Where the selected row's text shows, in the viewport's coordinates;
  // empty while none shows.
  QRect SelectedTextRect() const;
  const ChartModel& model() const { return model_; }
  QString NameText() const { return QString::fromStdString(model_.name()); }
  QString HostText() const { return QString::fromStdString(model_.host()); }

  // The rows that hold a sample, as comma-separated values under a header
  // line: row, seconds, ms (or "no reply"), µs and the echo's status.
  QString Csv() const;
  // The chart as it shows now, as a PNG of the view's size; false when the
  // file can't be written.
  bool SaveImage(const QString& path);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  // The selected row's outline and text, over the chart while it has focus.
  void drawForeground(QPainter* painter, const QRectF& rect) override;

 private slots:
  // The right-click menu's "Copy as CSV" and "Save Image…".
  void CopyCsv();
  void SaveImageAs();

 private:
  using Kind = ChartModel::Kind;
  using Row = ChartModel::Row;

  const Row* At(int row) const;
  void Redraw();
  void Move(ChartModel::Move move);
  // After the current row changed: tells a screen reader when its name did.
  void Renamed(const std::string& before);
  // A row's bar, and the box of its text when selected, in scene coordinates.
  QRectF BarRect(int index) const;
  QRectF TipRect(int index, const QString& tip) const;
  void ShowTip(bool hovered, int index);

  // The rows as the Win32 chart holds them too, so that both export alike.
  ChartModel model_;

  QChart* chart_;
  QStackedBarSeries* series_;
  QBarSet* replies_;
  QBarSet* lost_;
  QBarSet* placeholders_;
  QBarCategoryAxis* rowAxis_;
  QValueAxis* msAxis_;
  int current_ = 1;     // the row the run's assignments address
  bool plain_ = false;  // drawing for a saved image: no focus marks
};

}  // namespace tolvane::ui
