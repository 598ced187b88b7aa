// How both charts look: one definition of every size, font, shade and text
// the Qt chart and the GDI chart draw, so that one run looks alike on both.
// Sizes are pixels at 96 dpi (Qt's logical pixels); fonts are in points.
#pragma once

#include <cstddef>
#include <string_view>

#include "app/colours.h"

namespace tolvane::ui::chart {

// The right column stays free of the plot: the window's buttons stand over
// its lower part, the legend sits in its upper part.
inline constexpr int kRightColumn = 104;
// The legend's box: the run's host, and "no reply" when a sample was lost.
inline constexpr int kLegendLeft = 506;
inline constexpr int kLegendTop = 30;
inline constexpr int kLegendWidth = 100;
inline constexpr int kLegendHeight = 60;

// A bar's share of its row's width.
inline constexpr double kBarWidth = 0.7;
// A 0 ms reply is an answer: it shows as a sliver of this share of the axis
// (the tooltip has the time).
inline constexpr double kSliver = 0.012;
// More labels than this along the row axis would overlap: then only every
// second, third ... row shows its label (ChartModel::LabelStep).
inline constexpr std::size_t kMaxShownLabels = 12;

struct Font {
  double points;
  bool bold;
};
inline constexpr Font kTitleFont{10, true};
inline constexpr Font kAxisTitleFont{7.5, true};
inline constexpr Font kAxisLabelFont{7, false};
inline constexpr Font kLegendFont{7.5, false};

// The reply bars' fill, from the top down: the edge's light shade at the
// top, the reply colour a quarter of the way down, darker at the axis.
inline constexpr double kReplyEdgeStop = 0.25;
inline constexpr double kReplyDarkening = 1.6;
// A lost sample's bar fills the plot's height, framed in the lost colour
// and hatched in this much of it over the plot.
inline constexpr double kLostShade = 110.0 / 255.0;

inline constexpr std::string_view kRowAxisTitle = "Interval in seconds";
inline constexpr std::string_view kValueAxisTitle = "milli seconds";
inline constexpr std::string_view kLostLegend = "no reply";
// What a screen reader calls the chart; its description is the run's host,
// its rows are named by ChartModel::RowName.
inline constexpr std::string_view kAccessibleName = "Latency chart";

// The chart's right-click menu.
inline constexpr std::string_view kCopyCsvText = "Copy as CSV";
inline constexpr std::string_view kSaveImageText = "Save Image\u2026";
inline constexpr std::string_view kSaveImageTitle = "Save Image";
inline constexpr std::string_view kSaveImageName = "tolvane.png";
inline constexpr std::string_view kSaveImageFilter = "PNG images (*.png)";
// A save that failed: the path follows, then ".".
inline constexpr std::string_view kSaveFailedText = "Could not save the image to ";

}  // namespace tolvane::ui::chart
