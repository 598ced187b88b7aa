// Where the main window's parts stand, in twips from the top left of the
// client area; 15 twips make one logical pixel at 96 dots per inch. Both
// windows (Qt and Win32) take their rectangles from here.
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

constexpr Place kClientArea{0, 0, 9135, 4995};

constexpr Place kCommand5{7680, 3000, 1335, 375};
constexpr Place kCommand4{7680, 3480, 1335, 375};
constexpr Place kCommand3{7680, 3960, 1335, 375};
constexpr Place kInterval{6240, 4440, 975, 375};
constexpr Place kDuration{4800, 4440, 975, 375};
constexpr Place kCommand2{7680, 4440, 1335, 375};
constexpr Place kCommand1{3360, 4080, 1215, 375};
constexpr Place kText1{1200, 4080, 1935, 375};
constexpr Place kGraph{0, 0, 9135, 3975};
constexpr Place kLabel3{120, 4080, 855, 375};
constexpr Place kCurrent{3480, 4560, 975, 375};
constexpr Place kResults{120, 4560, 3015, 255};
constexpr Place kLabel2{6240, 4080, 975, 255};
constexpr Place kLabel1{4800, 4080, 1335, 255};

}  // namespace tolvane::ui::layout
