#include "qt/application_icon.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <iterator>

#include "qt/icon_pixels.h"

namespace tolvane::ui::icon {
namespace {

// Serves the images built into the program as raw pixels: nothing is
// decoded (no libpng, no image plugins) and no copy is kept; a pixmap is
// made when one is asked for. Sizes between the images come from the next
// larger one, smoothly scaled, as Qt's own engine does.
class BuiltInIconEngine : public QIconEngine {
 public:
  QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
    const Pixels* best = &kImages[std::size(kImages) - 1];
    for (const Pixels& p : kImages) {
      if (p.side >= size.width() && p.side >= size.height()) {
        best = &p;
        break;
      }
    }
    const QImage image(reinterpret_cast<const uchar*>(best->words), best->side, best->side,
                       QImage::Format_ARGB32_Premultiplied);
    if (size == image.size()) return QPixmap::fromImage(image);
    return QPixmap::fromImage(image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
  }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    const int side = std::min({size.width(), size.height(), kImages[std::size(kImages) - 1].side});
    return QSize(side, side);
  }

  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    QList<QSize> sizes;
    for (const Pixels& p : kImages) sizes << QSize(p.side, p.side);
    return sizes;
  }

  QIconEngine* clone() const override { return new BuiltInIconEngine; }
  QString key() const override { return "tolvane"; }
};

}  // namespace

QIcon ApplicationIcon() { return QIcon(new BuiltInIconEngine); }

}  // namespace tolvane::ui::icon
