#include "qt/latency_chart.h"

#include <QAction>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QToolTip>

#include <variant>

#include "app/chart_style.h"
#include "qt/chart_accessible.h"
#include "qt/chart_export.h"
#include "qt/qt_text.h"

namespace tolvane::ui {
namespace {

QFont FontOf(const QFont& base, chart::Font style) {
  QFont font(base);
  font.setPointSizeF(style.points);
  font.setBold(style.bold);
  return font;
}

QRect Rect(const chart::Box& b) { return QRect(b.left, b.top, b.width(), b.height()); }

void Paint(QPainter& painter, const chart::Layout& layout, const QFont& base) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const chart::Shape& shape : layout.shapes) {
    if (const auto* fill = std::get_if<chart::Fill>(&shape)) {
      painter.fillRect(Rect(fill->box), QColor(fill->colour));
    } else if (const auto* line = std::get_if<chart::Line>(&shape)) {
      painter.setPen(QPen(QColor(line->colour), 0));
      painter.drawLine(line->x1, line->y1, line->x2, line->y2);
    } else if (const auto* gradient = std::get_if<chart::Gradient>(&shape)) {
      QLinearGradient fill(0, gradient->box.top, 0, gradient->box.bottom);
      fill.setColorAt(0, QColor(gradient->top));
      fill.setColorAt(gradient->middleAt, QColor(gradient->middle));
      fill.setColorAt(1, QColor(gradient->bottom));
      painter.fillRect(Rect(gradient->box), fill);
    } else if (const auto* text = std::get_if<chart::Text>(&shape)) {
      painter.setFont(FontOf(base, text->font));
      painter.setPen(QColor(text->colour));
      const int align = text->align == chart::Align::Left    ? Qt::AlignLeft
                        : text->align == chart::Align::Right ? Qt::AlignRight
                                                             : Qt::AlignHCenter;
      QRectF box = Rect(text->box);
      painter.save();
      if (text->turned) {
        painter.translate(box.bottomLeft());
        painter.rotate(-90);
        box = QRectF(0, 0, box.height(), box.width());
      }
      painter.drawText(box, align | Qt::AlignVCenter | Qt::TextSingleLine, Q(text->text));
      painter.restore();
    }
  }
}

}  // namespace

LatencyChart::LatencyChart(QWidget* parent) : QWidget(parent) {
  setObjectName("graph");
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted
  auto* copyCsv = new QAction(Q(chart::kCopyCsvText), this);
  connect(copyCsv, &QAction::triggered, this, [this] { chart_export::CopyCsv(model_); });
  auto* saveImage = new QAction(Q(chart::kSaveImageText), this);
  connect(saveImage, &QAction::triggered, this, [this] { chart_export::SaveImageAs(this, Image()); });
  addActions({copyCsv, saveImage});
  chart_access::Install();
}

void LatencyChart::SetNameText(const QString& text) {
  model_.SetNameText(text.toStdString());
  Changed();
}

void LatencyChart::SetRowCount(std::int16_t count) {
  const int before = static_cast<int>(model_.rows().size());
  const auto selected = model_.selected();
  chart_access::RowsGoing(*this, before, std::max<int>(count, 0));
  model_.SetRowCount(count);
  Changed();
  chart_access::RowsChanged(*this, before, static_cast<int>(model_.rows().size()));
  Written(false, selected);
}

void LatencyChart::SetHostText(const QString& text) {
  const bool changed = model_.host() != text.toStdString();
  model_.SetHostText(text.toStdString());
  Changed();
  if (changed) chart_access::DescriptionChanged(*this);
}

void LatencyChart::SelectRow(std::int16_t row) {
  model_.SelectRow(row);
  current_ = row;
}

void LatencyChart::SetRowLabel(const QString& text) { Written(model_.SetRowLabel(text.toStdString()), model_.selected()); }

void LatencyChart::SetRowValue(const QString& text) {
  const auto selected = model_.selected();
  Written(model_.SetRowValue(text.toStdString(), hasFocus()), selected);
}

void LatencyChart::SetRowToolTip(const QString& text) {
  Written(model_.SetRowToolTip(text.toStdString()), model_.selected());
}

void LatencyChart::Written(bool renamed, std::optional<std::size_t> selectedBefore) {
  Changed();
  if (renamed) chart_access::RowRenamed(*this, current_ - 1);
  const auto selected = model_.selected();
  if (selected && selected != selectedBefore) {
    chart_access::SelectionMoved(*this, selectedBefore ? static_cast<int>(*selectedBefore) : -1,
                                 static_cast<int>(*selected));
  }
}

void LatencyChart::Changed() {
  layout_.reset();
  update();
}

chart::Layout LatencyChart::LayOut(bool focused) const {
  const QFont base = font();
  return chart::LayOut(model_, width(), height(), focused, [&base](std::string_view text, chart::Font style) {
    const QFontMetricsF metrics(FontOf(base, style));
    return chart::TextSize{metrics.horizontalAdvance(Q(text)), metrics.height()};
  });
}

const chart::Layout& LatencyChart::layout() const {
  if (!layout_) layout_ = LayOut(hasFocus());
  return *layout_;
}

void LatencyChart::SelectIndex(std::size_t index) {
  const auto before = model_.selected();
  model_.SelectIndex(index);
  Written(false, before);
}

void LatencyChart::Move(ChartModel::Move move) {
  const auto before = model_.selected();
  model_.Select(move);
  Written(false, before);
}

QImage LatencyChart::Image() const {
  QImage image(size(), QImage::Format_RGB32);
  QPainter painter(&image);
  Paint(painter, LayOut(false), font());
  return image;
}

bool LatencyChart::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const auto row = layout().RowAt(help->pos().x(), help->pos().y());
  if (!row) {
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  QToolTip::showText(help->globalPos(), Q(model_.TipText(*row)), this, Rect(layout().rowSlots[*row]));
  return true;
}

void LatencyChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Paint(painter, layout(), font());
}

void LatencyChart::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layout_.reset();
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
  QWidget::keyPressEvent(event);
}

void LatencyChart::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  Changed();
  if (const auto selected = model_.selected()) chart_access::RowFocused(*this, static_cast<int>(*selected));
}

void LatencyChart::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  Changed();
}

// The mouse's menu opens at the pointer, the keyboard's where the layout
// says: at the selected row's bar, or the plot's corner.
void LatencyChart::contextMenuEvent(QContextMenuEvent* event) {
  QPoint at = event->globalPos();
  if (event->reason() == QContextMenuEvent::Keyboard) at = mapToGlobal(QPoint(layout().menuX, layout().menuY));
  QMenu::exec(actions(), at, nullptr, this);
  event->accept();
}

}  // namespace tolvane::ui
