// The latency chart: one bar per sample of a run, driven by six one-way
// operations. Rows are numbered from 1; nothing clears them between runs.
#pragma once

#include <QChartView>
#include <QString>

#include <cstdint>
#include <optional>

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
  QString NameText() const { return QString::fromStdString(model_.name()); }
  QString HostText() const { return QString::fromStdString(model_.host()); }

  // The rows that hold a sample, as comma-separated values under a header
  // line: row, seconds, ms (or "no reply"), µs and the echo's status.
  QString Csv() const;
  // The chart as it shows now, as a PNG of the view's size; false when the
  // file can't be written.
  bool SaveImage(const QString& path);

 private slots:
  // The right-click menu's "Copy as CSV" and "Save Image…".
  void CopyCsv();
  void SaveImageAs();

 private:
  using Kind = ChartModel::Kind;
  using Row = ChartModel::Row;

  const Row* At(int row) const;
  void Redraw();
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
};

}  // namespace tolvane::ui
