// The host box's text over a few desktop palettes: the menu colour where it
// can be read on the workspace colour, the ordinary text colour where not.
#include <gtest/gtest.h>

#include "app/contrast.h"

namespace tolvane::ui {
namespace {

TEST(Contrast, HostTextStaysReadable) {
  struct Palette {
    const char* name;
    Colour menu, workspace, ordinary, expected;
  };
  const Colour black = Rgb(0, 0, 0), white = Rgb(255, 255, 255);
  const Palette palettes[] = {
      // Kept: readable as they are (2.0:1 and 2.3:1).
      {"Windows default", Rgb(240, 240, 240), Rgb(171, 171, 171), black, Rgb(240, 240, 240)},
      {"Qt default", Rgb(239, 239, 239), Rgb(160, 160, 160), black, Rgb(239, 239, 239)},
      // Replaced: grey on the same grey, and 1.21:1.
      {"dusk", Rgb(127, 127, 127), Rgb(127, 127, 127), Rgb(212, 212, 212), Rgb(212, 212, 212)},
      {"darker", Rgb(53, 53, 53), Rgb(35, 35, 35), Rgb(220, 220, 220), Rgb(220, 220, 220)},
      // Neither readable: white reads better on a dark grey than black.
      {"broken", Rgb(60, 60, 60), Rgb(60, 60, 60), Rgb(62, 62, 62), white},
  };
  for (const Palette& p : palettes) {
    const Colour text = ReadableText(p.menu, p.workspace, p.ordinary);
    EXPECT_EQ(text, p.expected) << p.name;
    EXPECT_GE(ContrastRatio(text, p.workspace), kLeastReadableContrast) << p.name;
  }
}

}  // namespace
}  // namespace tolvane::ui
