// Whether a text colour can be read on its background: the ratio of their
// relative luminances, as accessibility guidelines measure it.
#pragma once

#include "app/colours.h"

namespace tolvane::ui {

// Below this the text can't be told from its background.
inline constexpr double kLeastReadableContrast = 1.5;

// From 1 (the same luminance) to 21 (black on white), either way round.
double ContrastRatio(Colour a, Colour b);

// `text` where it can be read on `background`, otherwise `ordinaryText`
// (the desktop's usual text colour for that background); black or white,
// whichever reads better, where neither can be read.
Colour ReadableText(Colour text, Colour background, Colour ordinaryText);

}  // namespace tolvane::ui
