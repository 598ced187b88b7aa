// The window's colour scheme, shared by the window and its chart.
#pragma once

#include <QRgb>

namespace tolvane::ui {

inline constexpr QRgb kWindowColour = qRgb(0, 64, 64);
inline constexpr QRgb kLabelColour = qRgb(0, 255, 0);

// The chart's own shades, chosen to sit on the window colour.
inline constexpr QRgb kPlotColour = qRgb(0, 44, 44);
inline constexpr QRgb kGridColour = qRgb(0, 96, 96);
inline constexpr QRgb kAxisTextColour = qRgb(150, 230, 150);
inline constexpr QRgb kReplyColour = qRgb(0, 230, 0);
inline constexpr QRgb kReplyEdgeColour = qRgb(150, 255, 150);
inline constexpr QRgb kLostColour = qRgb(255, 90, 70);
inline constexpr QRgb kPlaceholderColour = qRgb(0, 100, 100);

}  // namespace tolvane::ui
