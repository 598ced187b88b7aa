#include "ui/main/app_icon.h"

#include <QPainter>
#include <QPixmap>

#include <array>

#include "ui/main/colours.h"

namespace tolvane::ui {
namespace {

QPixmap Draw(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const double unit = size / 16.0;
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(kWindowColour));
  p.drawRoundedRect(QRectF(0, 0, size, size), 3 * unit, 3 * unit);
  // Bar heights out of 16: a short reply, a long one, a middling one.
  constexpr std::array<double, 3> heights = {6, 11, 8};
  p.setBrush(QColor(kLabelColour));
  for (std::size_t i = 0; i < heights.size(); ++i) {
    const double left = (2.5 + 4 * static_cast<double>(i)) * unit;
    p.drawRect(QRectF(left, (14 - heights[i]) * unit, 3 * unit, heights[i] * unit));
  }
  p.setPen(QPen(QColor(kAxisTextColour), std::max(1.0, unit * 0.75)));
  p.drawLine(QPointF(1.5 * unit, 14 * unit), QPointF(14.5 * unit, 14 * unit));
  return pixmap;
}

}  // namespace

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 128}) icon.addPixmap(Draw(size));
  return icon;
}

}  // namespace tolvane::ui
