#include "qt/line_control.h"

#include <QPainter>

namespace tolvane::ui::qt {

LineControl::LineControl(QWidget* parent, QColor colour, int x1, int x2, int y, int width)
    : QWidget(parent), colour_(colour) {
  setGeometry(x1, y, x2 - x1 + 1, width);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineControl::paintEvent(QPaintEvent*) {
  QPainter(this).fillRect(rect(), colour_);
}

}  // namespace tolvane::ui::qt
