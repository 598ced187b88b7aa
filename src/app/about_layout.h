// Where the About dialog's parts stand, in twips from the top left of its
// client area.
#pragma once

#include "app/twips.h"

namespace tolvane::ui::about::layout {

using ui::layout::kTwipsPerPixel;
using ui::layout::Place;

constexpr Place kClientArea{0, 0, 5730, 3555};

constexpr Place kPicIcon{240, 240, 300, 300};
constexpr Place kCmdOK{4245, 2625, 1260, 345};
constexpr Place kLblDescription{1050, 1125, 3885, 1170};
constexpr Place kLblTitle{1050, 240, 3885, 480};
constexpr Place kLblVersion{1050, 780, 3885, 225};
constexpr Place kLblDisclaimer{255, 2625, 3870, 825};

// The etched separator: a grey line with a white one under it.
struct Line {
  int x1, x2, y, width;
};
constexpr Line kLine1Grey{90, 5654, 2445, kTwipsPerPixel};
constexpr Line kLine1White{105, 5654, 2460, 2 * kTwipsPerPixel};

}  // namespace tolvane::ui::about::layout
