// How the chart looks: one definition of every size, font, shade and text
// that the chart's layout (chart_layout.h) places, so that one run looks
// alike on both windows. Sizes are pixels at 96 dpi; fonts are in points.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "app/colours.h"

namespace tolvane::ui::chart {

// The plot's margins inside the chart. The right column stays free of the
// plot: the window's buttons stand over its lower part, the legend sits in
// its upper part.
inline constexpr int kPlotLeft = 44;
inline constexpr int kPlotTop = 26;
inline constexpr int kPlotRight = 112;
inline constexpr int kPlotBottom = 36;
// The legend: a line per entry, the run's host, and "no reply" when a
// sample was lost.
inline constexpr int kLegendRight = 103;  // its left edge, from the chart's right
inline constexpr int kLegendTop = 30;
inline constexpr int kLegendLine = 16;
inline constexpr int kSwatch = 10;

// A bar's share of its row's width; at least a pixel of gap stays on each
// side, where the selected row's outline runs.
inline constexpr double kBarWidth = 0.7;
// A 0 ms reply is an answer: it shows as a sliver of this share of the axis
// (the tooltip has the time), two pixels at least.
inline constexpr double kSliver = 0.012;
// More labels than this along the row axis would overlap: then only every
// second, third ... row shows its label.
inline constexpr std::size_t kMaxShownLabels = 12;
// Fewer still where the labels are wide: at least this gap between two.
inline constexpr double kLabelGap = 6;
// A lost sample's bar fills the plot's height, framed in the lost colour
// and hatched every this many pixels, in this much of it over the plot.
inline constexpr int kHatchSpacing = 6;
inline constexpr double kLostShade = 110.0 / 255.0;
// The reply bars' fill, from the top down: the edge's light shade at the
// top, the reply colour this far down, this much darker at the axis.
inline constexpr double kReplyEdgeStop = 0.25;
inline constexpr double kReplyDarkening = 1.6;

// The keyboard's marks, while the chart has the focus: a dashed outline
// round the selected row's slot (or round the plot while none is), and the
// row's tooltip text in a box above its bar.
inline constexpr int kDash = 3;
inline constexpr int kDashGap = 2;
inline constexpr int kTipGap = 3;
inline constexpr int kTipPadX = 4;
inline constexpr int kTipPadY = 2;

struct Font {
  double points;
  bool bold;
  bool operator==(const Font&) const = default;
};
inline constexpr Font kTitleFont{10, true};
inline constexpr Font kAxisTitleFont{7.5, true};
inline constexpr Font kAxisLabelFont{7, false};
inline constexpr Font kLegendFont{7.5, false};

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
// The name a save writes: the name typed, with ".png" added unless it ends
// in it (in any case), however many dots it has already.
inline std::string WithPngSuffix(std::string_view name) {
  constexpr std::string_view suffix = ".png";
  const auto sameLetter = [](char s, char c) { return s == (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); };
  const bool ends = name.size() >= suffix.size() &&
                    std::equal(suffix.begin(), suffix.end(), name.end() - suffix.size(), sameLetter);
  return ends ? std::string(name) : std::string(name) + std::string(suffix);
}
// Before a save onto a file that is there.
inline std::string ReplaceQuestion(std::string_view name) {
  return std::string(name) + " already exists.\nDo you want to replace it?";
}
// A save that failed, and the system's reason.
inline std::string SaveFailedMessage(std::string_view path, std::string_view reason) {
  // Its own full stops, line ends and blanks go (all of it when that is all).
  reason = reason.substr(0, reason.find_last_not_of(".\n\r ") + 1);
  std::string text = "Could not save the image to " + std::string(path);
  if (!reason.empty()) text += ": " + std::string(reason);
  return text + ".";
}

}  // namespace tolvane::ui::chart
