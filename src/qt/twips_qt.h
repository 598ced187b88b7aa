// The twip layouts as Qt geometry, at Qt's logical 96 dots per inch.
#pragma once

#include <QRect>
#include <QSize>

#include "app/twips.h"

namespace tolvane::ui::layout {

constexpr QRect Pixels(Place p) {
  return QRect(p.left / kTwipsPerPixel, p.top / kTwipsPerPixel, p.width / kTwipsPerPixel,
               p.height / kTwipsPerPixel);
}

constexpr QSize Size(Place p) { return Pixels(p).size(); }

}  // namespace tolvane::ui::layout
