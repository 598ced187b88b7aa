// Where everything of the chart goes, worked out once for both windows: from
// the chart's model, its size, whether it has the keyboard focus and a way
// to measure text, every shape it shows, in paint order, in pixels at 96
// dpi. A window only paints the shapes (scaled to its DPI) and asks the
// layout which row a point is over.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/chart_model.h"
#include "app/chart_style.h"
#include "app/colours.h"

namespace tolvane::ui::chart {

// Edges in pixels: left and top inside, right and bottom just outside.
struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const Box&) const = default;
};

struct Fill {
  Box box;
  Colour colour;
};
// One pixel wide, both ends drawn; only ever level, upright or at 45°.
struct Line {
  int x1, y1, x2, y2;
  Colour colour;
};
// Top down: `top` at the box's top edge, `middle` at `middleAt` of its
// height, `bottom` at its bottom edge; a pixel row takes the colour at its
// centre. Both windows paint it a pixel row at a time (RowColour), so that
// a bar looks the same in either.
struct Gradient {
  Box box;
  Colour top, middle, bottom;
  double middleAt;
  // Row `row` (from 0, the top) of a box `rows` pixels tall.
  Colour RowColour(int row, int rows) const;
};
enum class Align { Left, Centre, Right };
// Single-line text, centred upright in its box; `turned` text reads from
// the bottom up, its box as tall as the text is long.
struct Text {
  Box box;
  std::string text;  // UTF-8
  Font font;
  Colour colour;
  Align align = Align::Centre;
  bool turned = false;
};
using Shape = std::variant<Fill, Line, Gradient, Text>;

// A text's size in the window's font of that style, in pixels at 96 dpi.
struct TextSize {
  double width;
  double height;
};
using MeasureText = std::function<TextSize(std::string_view text, Font font)>;

struct Layout {
  std::vector<Shape> shapes;  // in paint order
  Box plot;
  std::vector<Box> rowSlots;  // each row's column of the plot: hit-testing, tooltips, accessible bounds
  std::vector<Box> bars;   // each row's bar; empty for a row without a sample
  std::optional<Box> tipBox;  // the selected row's text, while it shows
  std::optional<Box> hostLegend;  // the host's legend entry: its tooltip tells the whole host
  int menuX = 0, menuY = 0;   // where the keyboard's menu opens

  // The row whose slot holds the point (index from 0).
  std::optional<std::size_t> RowAt(int x, int y) const;
};

Layout LayOut(const ChartModel& model, int width, int height, bool focused, const MeasureText& measure);

}  // namespace tolvane::ui::chart
