// Placing controls in twips, as both forms' layouts are given: 15 twips
// make one logical pixel.
#pragma once

#include <QRect>

namespace tolvane::ui::layout {

struct Place {
  int left, top, width, height;
};

constexpr int kTwipsPerPixel = 15;

constexpr QRect Pixels(Place p) {
  return QRect(p.left / kTwipsPerPixel, p.top / kTwipsPerPixel, p.width / kTwipsPerPixel,
               p.height / kTwipsPerPixel);
}

}  // namespace tolvane::ui::layout
