#include "ui/main/latency_chart.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QClipboard>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLegend>
#include <QBarLegendMarker>
#include <QLegendMarker>
#include <QLinearGradient>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>

#include "ui/style/colours.h"
#include "ui/style/message_box.h"

namespace tolvane::ui {
namespace {

// The right column stays free of the plot: the window's buttons stand over
// its lower part, the legend sits in its upper part.
constexpr QMargins kChartMargins(2, 0, 104, 0);
constexpr QRectF kLegendArea(506, 30, 100, 60);

// The category axis takes each label once only; rows may share a label
// (an interval of 0, or an old run's label further down), so each is made
// unique with zero-width spaces that don't show.
QString UniqueCategory(const QString& label, int row) {
  return label + QString(row, QChar(0x200B));
}

// More labels than this along the axis would overlap: then only every
// second, third ... row shows its label.
constexpr std::size_t kMaxShownLabels = 12;

QFont SmallFont(const QFont& base, double points, bool bold = false) {
  QFont font(base);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

}  // namespace

LatencyChart::LatencyChart(QWidget* parent)
    : QChartView(parent),
      chart_(new QChart),
      series_(new QStackedBarSeries),
      replies_(new QBarSet(QString())),
      lost_(new QBarSet("no reply")),
      placeholders_(new QBarSet(QString())),
      rowAxis_(new QBarCategoryAxis),
      msAxis_(new QValueAxis) {
  setObjectName("graph");
  setFrameShape(QFrame::NoFrame);
  setRenderHint(QPainter::Antialiasing);
  setBackgroundBrush(QColor(kWindowColour));
  setFocusPolicy(Qt::StrongFocus);

  chart_->setBackgroundVisible(false);
  chart_->setPlotAreaBackgroundVisible(true);
  chart_->setPlotAreaBackgroundBrush(QColor(kPlotColour));
  chart_->setPlotAreaBackgroundPen(QPen(QColor(kGridColour), 1));
  chart_->setTitleBrush(QColor(kLabelColour));
  chart_->setTitleFont(SmallFont(font(), 10, true));
  chart_->setAnimationOptions(QChart::NoAnimation);

  QLinearGradient replyFill(0, 0, 0, 1);
  replyFill.setCoordinateMode(QGradient::ObjectMode);
  replyFill.setColorAt(0, QColor(kReplyEdgeColour));
  replyFill.setColorAt(0.25, QColor(kReplyColour));
  replyFill.setColorAt(1, QColor(kReplyColour).darker(160));
  replies_->setBrush(replyFill);
  replies_->setPen(QPen(QColor(kReplyEdgeColour), 0.8));
  QColor lostFill(kLostColour);
  lostFill.setAlpha(110);
  lost_->setBrush(QBrush(lostFill, Qt::BDiagPattern));
  lost_->setPen(QPen(QColor(kLostColour), 1));
  placeholders_->setBrush(QColor(kPlaceholderColour));
  placeholders_->setPen(Qt::NoPen);
  series_->append(replies_);
  series_->append(lost_);
  series_->append(placeholders_);
  series_->setBarWidth(0.7);
  chart_->addSeries(series_);

  rowAxis_->setTitleText("Interval in seconds");
  msAxis_->setTitleText("milli seconds");
  for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(rowAxis_),
                              static_cast<QAbstractAxis*>(msAxis_)}) {
    axis->setTitleBrush(QColor(kLabelColour));
    axis->setTitleFont(SmallFont(font(), 7.5, true));
    axis->setLabelsBrush(QColor(kAxisTextColour));
    axis->setLabelsFont(SmallFont(font(), 7));
    axis->setLinePen(QPen(QColor(kGridColour), 1));
    axis->setGridLinePen(QPen(QColor(kGridColour), 1, Qt::DotLine));
  }
  rowAxis_->setGridLineVisible(false);
  rowAxis_->setTruncateLabels(false);  // thinned out instead, see Redraw
  msAxis_->setLabelFormat("%g");
  msAxis_->setMinorTickCount(0);
  chart_->addAxis(rowAxis_, Qt::AlignBottom);
  chart_->addAxis(msAxis_, Qt::AlignLeft);
  series_->attachAxis(rowAxis_);
  series_->attachAxis(msAxis_);

  QLegend* legend = chart_->legend();
  legend->detachFromChart();
  legend->setGeometry(kLegendArea);
  legend->setAlignment(Qt::AlignTop);
  legend->setLabelColor(QColor(kLabelColour));
  legend->setFont(SmallFont(font(), 7.5));
  legend->setBackgroundVisible(false);

  chart_->setMargins(kChartMargins);
  // The view made a chart of its own; setChart releases it, undeleted.
  QChart* const madeByView = chart();
  setChart(chart_);
  delete madeByView;

  connect(series_, &QStackedBarSeries::hovered, this,
          [this](bool status, int index, QBarSet*) { ShowTip(status, index); });

  auto* copyCsv = new QAction("Copy as CSV", this);
  connect(copyCsv, &QAction::triggered, this, &LatencyChart::CopyCsv);
  auto* saveImage = new QAction(QStringLiteral("Save Image\u2026"), this);
  connect(saveImage, &QAction::triggered, this, &LatencyChart::SaveImageAs);
  addActions({copyCsv, saveImage});
  setContextMenuPolicy(Qt::ActionsContextMenu);
  Redraw();
}

void LatencyChart::SetNameText(const QString& text) {
  model_.SetNameText(text.toStdString());
  chart_->setTitle(text);
}

void LatencyChart::SetRowCount(std::int16_t count) {
  model_.SetRowCount(count);
  Redraw();
}

void LatencyChart::SetHostText(const QString& text) {
  model_.SetHostText(text.toStdString());
  Redraw();
}

void LatencyChart::SelectRow(std::int16_t row) { model_.SelectRow(row); }

void LatencyChart::SetRowLabel(const QString& text) {
  model_.SetRowLabel(text.toStdString());
  Redraw();
}

void LatencyChart::SetRowValue(const QString& text) {
  model_.SetRowValue(text.toStdString());
  Redraw();
}

void LatencyChart::SetRowToolTip(const QString& text) { model_.SetRowToolTip(text.toStdString()); }

QString LatencyChart::RowLabel(int row) const {
  const Row* r = At(row);
  return r ? QString::fromStdString(r->label) : QString();
}

std::optional<double> LatencyChart::RowValue(int row) const {
  const Row* r = At(row);
  if (!r || r->kind != Kind::Reply) return std::nullopt;
  return r->value;
}

bool LatencyChart::RowLost(int row) const {
  const Row* r = At(row);
  return r && r->kind == Kind::Lost;
}

QString LatencyChart::RowToolTip(int row) const {
  const Row* r = At(row);
  return r ? QString::fromStdString(r->tip) : QString();
}

QString LatencyChart::Csv() const { return QString::fromStdString(model_.Csv()); }

bool LatencyChart::SaveImage(const QString& path) { return grab().save(path, "PNG"); }

void LatencyChart::CopyCsv() { QGuiApplication::clipboard()->setText(Csv()); }

void LatencyChart::SaveImageAs() {
  QString path = QFileDialog::getSaveFileName(this, "Save Image", QDir::home().filePath("tolvane.png"),
                                              "PNG images (*.png)");
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += ".png";
  if (!SaveImage(path)) {
    ShowMessageBox(this, QString("Could not save the image to %1.").arg(path));
  }
}

const LatencyChart::Row* LatencyChart::At(int row) const {
  if (row < 1 || row > RowCount()) return nullptr;
  return &model_.rows()[static_cast<std::size_t>(row - 1)];
}

void LatencyChart::Redraw() {
  const std::vector<Row>& rows = model_.rows();
  double highest = 0;
  bool anyLost = false;
  QStringList categories;
  const std::size_t step = (rows.size() + kMaxShownLabels - 1) / kMaxShownLabels;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    if (row.kind == Kind::Reply || row.kind == Kind::Placeholder) {
      highest = std::max(highest, row.value);
    }
    anyLost = anyLost || row.kind == Kind::Lost;
    const bool shown = (i + 1) % step == 0;
    categories << UniqueCategory(shown ? QString::fromStdString(row.label) : QString(), static_cast<int>(i) + 1);
  }
  // Headroom above the highest bar; a run of 0 ms replies still gets a scale.
  msAxis_->setRange(0, std::max(highest * 1.15, 1.0));
  msAxis_->applyNiceNumbers();
  msAxis_->setMin(0);
  double top = msAxis_->max();

  QList<qreal> replies, lost, placeholders;
  for (const Row& row : rows) {
    // A 0 ms reply is an answer: a sliver shows it (the tooltip has the time).
    if (row.kind == Kind::Reply) replies << std::max(row.value, top * 0.012);
    else replies << 0;
    lost << (row.kind == Kind::Lost ? top : 0);
    placeholders << (row.kind == Kind::Placeholder ? row.value : 0);
  }
  replies_->remove(0, replies_->count());
  replies_->append(replies);
  lost_->remove(0, lost_->count());
  lost_->append(lost);
  placeholders_->remove(0, placeholders_->count());
  placeholders_->append(placeholders);
  rowAxis_->setCategories(categories);

  const QString host = HostText();
  replies_->setLabel(host);
  const auto markers = chart_->legend()->markers();
  for (QLegendMarker* marker : markers) {
    auto* set = qobject_cast<QBarLegendMarker*>(marker) ? static_cast<QBarLegendMarker*>(marker)->barset()
                                                         : nullptr;
    if (set == placeholders_) marker->setVisible(false);
    if (set == replies_) marker->setVisible(!host.isEmpty());
    if (set == lost_) marker->setVisible(anyLost);
  }
}

void LatencyChart::ShowTip(bool hovered, int index) {
  const Row* row = At(index + 1);
  if (hovered && row && !row->tip.empty()) {
    QToolTip::showText(QCursor::pos(), QString::fromStdString(row->tip), this);
  } else {
    QToolTip::hideText();
  }
}

}  // namespace tolvane::ui
