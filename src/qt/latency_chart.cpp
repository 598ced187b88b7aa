#include "qt/latency_chart.h"

#include <QAction>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QToolTip>

#include <map>
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

// The chart reads left to right whatever the desktop's direction: its axes
// and numbers (" .3", not "3. ") do not mirror.
void Paint(QPainter& painter, const chart::Layout& layout, const QFont& base) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setLayoutDirection(Qt::LeftToRight);
  for (const chart::Shape& shape : layout.shapes) {
    if (const auto* fill = std::get_if<chart::Fill>(&shape)) {
      painter.fillRect(Rect(fill->box), QColor(fill->colour));
    } else if (const auto* line = std::get_if<chart::Line>(&shape)) {
      painter.setPen(QPen(QColor(line->colour), 0));
      painter.drawLine(line->x1, line->y1, line->x2, line->y2);
    } else if (const auto* gradient = std::get_if<chart::Gradient>(&shape)) {
      const chart::Box& b = gradient->box;
      for (int y = 0; y < b.height(); ++y) {
        painter.fillRect(QRect(b.left, b.top + y, b.width(), 1), QColor(gradient->RowColour(y, b.height())));
      }
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
      painter.drawText(box, align | Qt::AlignAbsolute | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextForceLeftToRight,
                       Q(text->text));
      painter.restore();
    }
  }
}

}  // namespace

LatencyChart::LatencyChart(QWidget* parent) : QWidget(parent) {
  setObjectName("graph");
  setLayoutDirection(Qt::LeftToRight);  // see Paint
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted
  auto* copyCsv = new QAction(Q(chart::kCopyCsvText), this);
  connect(copyCsv, &QAction::triggered, this, [this] { chart_export::CopyCsv(model()); });
  auto* saveImage = new QAction(Q(chart::kSaveImageText), this);
  connect(saveImage, &QAction::triggered, this, [this] { chart_export::SaveImageAs(this, Image()); });
  addActions({copyCsv, saveImage});
  chart_access::Install();
}

void LatencyChart::Repaint() {
  layout_.reset();
  update();
}

chart::Layout LatencyChart::LayOut(bool focused) const {
  const QFont base = font();
  return chart::LayOut(model(), width(), height(), focused, [&base](std::string_view text, chart::Font style) {
    const QFontMetricsF metrics(FontOf(base, style));
    return chart::TextSize{metrics.horizontalAdvance(Q(text)), metrics.height()};
  });
}

const chart::Layout& LatencyChart::layout() const {
  if (!layout_) layout_ = LayOut(hasFocus());
  return *layout_;
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
  // The legend may show the host cut short: the tooltip has all of it.
  if (const auto& host = layout().hostLegend; host && host->Contains(help->pos().x(), help->pos().y())) {
    QToolTip::showText(help->globalPos(), Q(model().host()), this, Rect(*host));
    return true;
  }
  const auto row = layout().RowAt(help->pos().x(), help->pos().y());
  if (!row) {
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  QToolTip::showText(help->globalPos(), Q(model().TipText(*row)), this, Rect(layout().rowSlots[*row]));
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
  using Key = ChartControl::Key;
  static const std::map<int, Key> kKeys = {
      {Qt::Key_Left, Key::Left}, {Qt::Key_Right, Key::Right}, {Qt::Key_Home, Key::Home}, {Qt::Key_End, Key::End}};
  const auto found = kKeys.find(event->key());
  const Key key = modifiers == Qt::NoModifier && found != kKeys.end() ? found->second : Key::Other;
  if (!control_.Press(key)) QWidget::keyPressEvent(event);
}

void LatencyChart::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  Repaint();
  if (const auto row = control_.FocusedRow()) chart_access::RowFocused(*this, *row);
}

void LatencyChart::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  Repaint();
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
