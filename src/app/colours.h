// The window's colour scheme, shared by the window and its chart.
#pragma once

#include <cstdint>

namespace tolvane::ui {

// 0xAARRGGBB, opaque: the layout of Qt's QRgb, so Qt takes these as they are.
using Colour = std::uint32_t;

constexpr Colour Rgb(int r, int g, int b) {
  return 0xff000000u | (static_cast<Colour>(r & 0xff) << 16) | (static_cast<Colour>(g & 0xff) << 8) |
         static_cast<Colour>(b & 0xff);
}
constexpr int Red(Colour c) { return static_cast<int>((c >> 16) & 0xff); }
constexpr int Green(Colour c) { return static_cast<int>((c >> 8) & 0xff); }
constexpr int Blue(Colour c) { return static_cast<int>(c & 0xff); }

inline constexpr Colour kWindowColour = Rgb(0, 64, 64);
inline constexpr Colour kLabelColour = Rgb(0, 255, 0);

// The chart's own shades, chosen to sit on the window colour.
inline constexpr Colour kPlotColour = Rgb(0, 44, 44);
inline constexpr Colour kGridColour = Rgb(0, 96, 96);
inline constexpr Colour kAxisTextColour = Rgb(150, 230, 150);
inline constexpr Colour kReplyColour = Rgb(0, 230, 0);
inline constexpr Colour kReplyEdgeColour = Rgb(150, 255, 150);
inline constexpr Colour kLostColour = Rgb(255, 90, 70);
inline constexpr Colour kPlaceholderColour = Rgb(0, 100, 100);
// The selected row's text, in a tooltip's colours.
inline constexpr Colour kTipColour = Rgb(255, 255, 225);
inline constexpr Colour kTipTextColour = Rgb(0, 0, 0);

}  // namespace tolvane::ui
