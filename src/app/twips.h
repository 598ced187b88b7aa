// Placing controls in twips, as both forms' layouts are given: 15 twips
// make one logical pixel at 96 dots per inch. No toolkit: the Qt and the
// Win32 windows place their controls from the same tables.
#pragma once

namespace tolvane::ui::layout {

struct Place {
  int left, top, width, height;
};

// A rectangle in device pixels.
struct PixelRect {
  int left, top, width, height;
};

constexpr int kTwipsPerPixel = 15;
constexpr int kTwipsPerInch = 1440;

// One coordinate at `dpi`, to the nearest pixel (halves away from zero).
constexpr int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  const long long half = kTwipsPerInch / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                      : -((-scaled + half) / kTwipsPerInch));
}

// The edges are scaled, not the sizes, so that parts which touch at one
// scale touch at every scale.
constexpr PixelRect Scaled(Place p, int dpi) {
  const int left = TwipsToPixels(p.left, dpi);
  const int top = TwipsToPixels(p.top, dpi);
  return PixelRect{left, top, TwipsToPixels(p.left + p.width, dpi) - left,
                   TwipsToPixels(p.top + p.height, dpi) - top};
}

}  // namespace tolvane::ui::layout
