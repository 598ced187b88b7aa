#include "qt/latency_chart.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QClipboard>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScopedValueRollback>
#include <QLegend>
#include <QBarLegendMarker>
#include <QLegendMarker>
#include <QLinearGradient>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>

#include "app/chart_style.h"
#include "app/colours.h"
#include "qt/chart_accessible.h"
#include "qt/message_box.h"
#include "qt/qt_text.h"

namespace tolvane::ui {
namespace {

// The category axis takes each label once only; rows may share a label
// (an interval of 0, or an old run's label further down), so each is made
// unique with zero-width spaces that don't show.
QString UniqueCategory(const QString& label, int row) {
  return label + QString(row, QChar(0x200B));
}

QFont SmallFont(const QFont& base, chart::Font style) {
  QFont font(base);
  font.setPointSizeF(style.points);
  font.setBold(style.bold);
  return font;
}

// The selected row's outline: dashed, in the gaps between its bar and the
// neighbours', and just above and below the plot, so that no bar changes.
constexpr double kOutlineInset = 1.5;
constexpr double kOutlineOut = 2.5;
// The row's text stands this far above its bar, padded inside its box.
constexpr double kTipGap = 3;
constexpr double kTipPadX = 4;
constexpr double kTipPadY = 2;

}  // namespace

LatencyChart::LatencyChart(QWidget* parent)
    : QChartView(parent),
      chart_(new QChart),
      series_(new QStackedBarSeries),
      replies_(new QBarSet(QString())),
      lost_(new QBarSet(Q(chart::kLostLegend))),
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
  chart_->setTitleFont(SmallFont(font(), chart::kTitleFont));
  chart_->setAnimationOptions(QChart::NoAnimation);

  QLinearGradient replyFill(0, 0, 0, 1);
  replyFill.setCoordinateMode(QGradient::ObjectMode);
  replyFill.setColorAt(0, QColor(kReplyEdgeColour));
  replyFill.setColorAt(chart::kReplyEdgeStop, QColor(kReplyColour));
  replyFill.setColorAt(1, QColor(kReplyColour).darker(static_cast<int>(chart::kReplyDarkening * 100)));
  replies_->setBrush(replyFill);
  replies_->setPen(QPen(QColor(kReplyEdgeColour), 0.8));
  QColor lostFill(kLostColour);
  lostFill.setAlphaF(chart::kLostShade);
  lost_->setBrush(QBrush(lostFill, Qt::BDiagPattern));
  lost_->setPen(QPen(QColor(kLostColour), 1));
  placeholders_->setBrush(QColor(kPlaceholderColour));
  placeholders_->setPen(Qt::NoPen);
  series_->append(replies_);
  series_->append(lost_);
  series_->append(placeholders_);
  series_->setBarWidth(chart::kBarWidth);
  chart_->addSeries(series_);

  rowAxis_->setTitleText(Q(chart::kRowAxisTitle));
  msAxis_->setTitleText(Q(chart::kValueAxisTitle));
  for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(rowAxis_),
                              static_cast<QAbstractAxis*>(msAxis_)}) {
    axis->setTitleBrush(QColor(kLabelColour));
    axis->setTitleFont(SmallFont(font(), chart::kAxisTitleFont));
    axis->setLabelsBrush(QColor(kAxisTextColour));
    axis->setLabelsFont(SmallFont(font(), chart::kAxisLabelFont));
    axis->setLinePen(QPen(QColor(kGridColour), 1));
    axis->setGridLinePen(QPen(QColor(kGridColour), 1, Qt::DotLine));
  }
  rowAxis_->setGridLineVisible(false);
  rowAxis_->setTruncateLabels(false);  // thinned out instead, see Redraw
  msAxis_->setLabelFormat("%g");
  msAxis_->setMinorTickCount(0);
  msAxis_->setTickType(QValueAxis::TicksDynamic);  // the model's step, from 0
  msAxis_->setTickAnchor(0);
  chart_->addAxis(rowAxis_, Qt::AlignBottom);
  chart_->addAxis(msAxis_, Qt::AlignLeft);
  series_->attachAxis(rowAxis_);
  series_->attachAxis(msAxis_);

  QLegend* legend = chart_->legend();
  legend->detachFromChart();
  legend->setGeometry(QRectF(chart::kLegendLeft, chart::kLegendTop, chart::kLegendWidth, chart::kLegendHeight));
  legend->setAlignment(Qt::AlignTop);
  legend->setLabelColor(QColor(kLabelColour));
  legend->setFont(SmallFont(font(), chart::kLegendFont));
  legend->setBackgroundVisible(false);

  chart_->setMargins(QMargins(2, 0, chart::kRightColumn, 0));
  // The view made a chart of its own; setChart releases it, undeleted.
  QChart* const madeByView = chart();
  setChart(chart_);
  delete madeByView;

  connect(series_, &QStackedBarSeries::hovered, this,
          [this](bool status, int index, QBarSet*) { ShowTip(status, index); });

  auto* copyCsv = new QAction(Q(chart::kCopyCsvText), this);
  connect(copyCsv, &QAction::triggered, this, &LatencyChart::CopyCsv);
  auto* saveImage = new QAction(Q(chart::kSaveImageText), this);
  connect(saveImage, &QAction::triggered, this, &LatencyChart::SaveImageAs);
  addActions({copyCsv, saveImage});
  setContextMenuPolicy(Qt::DefaultContextMenu);  // see contextMenuEvent
  chart_access::Install();
  Redraw();
}

void LatencyChart::SetNameText(const QString& text) {
  model_.SetNameText(text.toStdString());
  chart_->setTitle(text);
}

void LatencyChart::SetRowCount(std::int16_t count) {
  const int before = RowCount();
  const int selected = SelectedRow();
  chart_access::RowsGoing(*this, before, std::max<int>(count, 0));
  model_.SetRowCount(count);
  Redraw();
  chart_access::RowsChanged(*this, before, RowCount());
  if (SelectedRow() != selected && SelectedRow() >= 0) chart_access::SelectionMoved(*this, selected, SelectedRow());
}

void LatencyChart::SetHostText(const QString& text) {
  model_.SetHostText(text.toStdString());
  Redraw();
  chart_access::DescriptionChanged(*this);
}

void LatencyChart::SelectRow(std::int16_t row) {
  model_.SelectRow(row);
  current_ = row;
}

void LatencyChart::SetRowLabel(const QString& text) {
  const std::string before = model_.RowName(static_cast<std::size_t>(current_ - 1));
  model_.SetRowLabel(text.toStdString());
  Redraw();
  Renamed(before);
}

void LatencyChart::SetRowValue(const QString& text) {
  const std::string before = model_.RowName(static_cast<std::size_t>(current_ - 1));
  model_.SetRowValue(text.toStdString());
  Redraw();
  Renamed(before);
}

void LatencyChart::SetRowToolTip(const QString& text) {
  const std::string before = model_.RowName(static_cast<std::size_t>(current_ - 1));
  model_.SetRowToolTip(text.toStdString());
  if (current_ - 1 == SelectedRow() && hasFocus()) viewport()->update();  // its text shows
  Renamed(before);
}

void LatencyChart::Renamed(const std::string& before) {
  if (!At(current_)) return;
  if (model_.RowName(static_cast<std::size_t>(current_ - 1)) != before) chart_access::RowRenamed(*this, current_ - 1);
}

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

bool LatencyChart::SaveImage(const QString& path) {
  const QScopedValueRollback plain(plain_, true);
  return grab().save(path, "PNG");
}

int LatencyChart::SelectedRow() const {
  const std::optional<std::size_t> selected = model_.selected();
  return selected ? static_cast<int>(*selected) : -1;
}

QRectF LatencyChart::BarRect(int index) const {
  const QRectF plot = chart_->mapRectToScene(chart_->plotArea());
  const Row* row = At(index + 1);
  if (!row) return {};
  const double column = plot.width() / RowCount();
  const double top = model_.ValueScale().top;
  double value = 0;  // as Redraw stacks it
  if (row->kind == Kind::Reply) value = std::max(row->value, top * chart::kSliver);
  if (row->kind == Kind::Lost) value = top;
  if (row->kind == Kind::Placeholder) value = row->value;
  const double height = plot.height() * std::min(value, top) / top;
  const double width = column * chart::kBarWidth;
  return QRectF(plot.left() + column * index + (column - width) / 2, plot.bottom() - height, width, height);
}

QRect LatencyChart::RowRect(int index) const {
  if (!At(index + 1)) return {};
  const QRectF plot = chart_->mapRectToScene(chart_->plotArea());
  const double column = plot.width() / RowCount();
  const QRectF row(plot.left() + column * index, plot.top(), column, plot.height());
  return mapFromScene(row).boundingRect();
}

QRectF LatencyChart::TipRect(int index, const QString& tip) const {
  const QRectF bar = BarRect(index);
  const QSizeF text = QFontMetricsF(QToolTip::font()).size(Qt::TextSingleLine, tip);
  QRectF box(0, 0, text.width() + 2 * kTipPadX, text.height() + 2 * kTipPadY);
  box.moveCenter(QPointF(bar.center().x(), 0));
  box.moveBottom(bar.top() - kTipGap);
  const QRectF room = sceneRect().adjusted(1, 1, -1, -1);
  if (box.right() > room.right()) box.moveRight(room.right());
  if (box.left() < room.left()) box.moveLeft(room.left());
  if (box.top() < room.top()) box.moveTop(room.top());
  return box;
}

QRect LatencyChart::SelectedTextRect() const {
  const int selected = SelectedRow();
  if (!hasFocus() || selected < 0 || At(selected + 1)->tip.empty()) return {};
  const QRectF box = TipRect(selected, QString::fromStdString(At(selected + 1)->tip));
  return mapFromScene(box.adjusted(-1, -1, 1, 1)).boundingRect();  // with its border
}

void LatencyChart::drawForeground(QPainter* painter, const QRectF& rect) {
  QChartView::drawForeground(painter, rect);
  const int selected = SelectedRow();
  if (plain_ || !hasFocus() || selected < 0) return;
  painter->save();
  const QRectF plot = chart_->mapRectToScene(chart_->plotArea());
  const double column = plot.width() / RowCount();
  const QRectF row(plot.left() + column * selected, plot.top(), column, plot.height());
  painter->setRenderHint(QPainter::Antialiasing, false);
  painter->setBrush(Qt::NoBrush);
  painter->setPen(QPen(QColor(kLabelColour), 1, Qt::DashLine));
  painter->drawRect(row.adjusted(kOutlineInset, -kOutlineOut, -kOutlineInset, kOutlineOut));

  const QString tip = QString::fromStdString(At(selected + 1)->tip);
  if (!tip.isEmpty()) {
    const QRectF box = TipRect(selected, tip);
    const QPalette palette = QToolTip::palette();
    painter->setPen(QPen(palette.color(QPalette::ToolTipText), 1));
    painter->setBrush(palette.color(QPalette::ToolTipBase));
    painter->drawRect(box);
    painter->setFont(QToolTip::font());
    painter->drawText(box, Qt::AlignCenter, tip);
  }
  painter->restore();
}

void LatencyChart::Move(ChartModel::Move move) {
  const int before = SelectedRow();
  model_.Select(move);
  if (SelectedRow() == before) return;
  viewport()->update();
  chart_access::SelectionMoved(*this, before, SelectedRow());
}

void LatencyChart::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), QPoint(), event->modifiers());
    contextMenuEvent(&menu);
    return;
  }
  if (modifiers == Qt::NoModifier) {
    switch (event->key()) {
      case Qt::Key_Left: Move(ChartModel::Move::Previous); return;
      case Qt::Key_Right: Move(ChartModel::Move::Next); return;
      case Qt::Key_Home: Move(ChartModel::Move::First); return;
      case Qt::Key_End: Move(ChartModel::Move::Last); return;
      default: break;
    }
  }
  QChartView::keyPressEvent(event);
}

void LatencyChart::focusInEvent(QFocusEvent* event) {
  QChartView::focusInEvent(event);
  viewport()->update();
  if (SelectedRow() >= 0) chart_access::RowFocused(*this, SelectedRow());
}

void LatencyChart::focusOutEvent(QFocusEvent* event) {
  QChartView::focusOutEvent(event);
  viewport()->update();
}

// The mouse's menu opens at the pointer; the keyboard's at the selected
// row's bar, or at the plot's top left corner before a row is selected.
void LatencyChart::contextMenuEvent(QContextMenuEvent* event) {
  QPoint at = event->globalPos();
  if (event->reason() == QContextMenuEvent::Keyboard) {
    const int selected = SelectedRow();
    const QPointF corner = selected >= 0 ? BarRect(selected).topLeft()
                                         : chart_->mapRectToScene(chart_->plotArea()).topLeft();
    at = viewport()->mapToGlobal(mapFromScene(corner));
  }
  QMenu::exec(actions(), at, nullptr, this);
  event->accept();
}

void LatencyChart::CopyCsv() { QGuiApplication::clipboard()->setText(Csv()); }

void LatencyChart::SaveImageAs() {
  QString path = QFileDialog::getSaveFileName(this, Q(chart::kSaveImageTitle),
                                              QDir::home().filePath(Q(chart::kSaveImageName)),
                                              Q(chart::kSaveImageFilter));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += ".png";
  if (!SaveImage(path)) {
    ShowMessageBox(this, Q(chart::kSaveFailedText) + path + ".");
  }
}

const LatencyChart::Row* LatencyChart::At(int row) const {
  if (row < 1 || row > RowCount()) return nullptr;
  return &model_.rows()[static_cast<std::size_t>(row - 1)];
}

void LatencyChart::Redraw() {
  const std::vector<Row>& rows = model_.rows();
  QStringList categories;
  const std::size_t step = ChartModel::LabelStep(rows.size(), chart::kMaxShownLabels);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const bool shown = (i + 1) % step == 0;
    categories << UniqueCategory(shown ? Q(rows[i].label) : QString(), static_cast<int>(i) + 1);
  }
  const ChartModel::Scale scale = model_.ValueScale();
  msAxis_->setRange(0, scale.top);
  msAxis_->setTickInterval(scale.step);
  const double top = scale.top;

  QList<qreal> replies, lost, placeholders;
  for (const Row& row : rows) {
    // A 0 ms reply is an answer: a sliver shows it (the tooltip has the time).
    if (row.kind == Kind::Reply) replies << std::max(row.value, top * chart::kSliver);
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
  if (hasFocus()) viewport()->update();  // the selected row's marks follow its bar

  const QString host = HostText();
  replies_->setLabel(host);
  const auto markers = chart_->legend()->markers();
  for (QLegendMarker* marker : markers) {
    auto* set = qobject_cast<QBarLegendMarker*>(marker) ? static_cast<QBarLegendMarker*>(marker)->barset()
                                                         : nullptr;
    if (set == placeholders_) marker->setVisible(false);
    if (set == replies_) marker->setVisible(!host.isEmpty());
    if (set == lost_) marker->setVisible(model_.AnyLost());
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
