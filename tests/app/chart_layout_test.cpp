// The chart's layout, as both windows paint it, with text of a fixed width:
// bars in the plot, labels thinned, the keyboard's marks clear of the bars,
// the legend's entries, and every slot's centre hitting its own row.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "app/chart_layout.h"

namespace tolvane::ui::chart {
namespace {

TextSize Fixed(std::string_view text, Font) { return {6.0 * static_cast<double>(text.size()), 12}; }

bool Overlap(const Box& a, const Box& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

struct LayoutCase {
  const char* name;
  int width, height;
  std::vector<const char*> values;  // "-" lost; none: the placeholders
  const char* host;
  std::optional<std::size_t> selected;
  bool focused;
  std::size_t labels;                // row labels shown
  std::string ticks;                 // the value axis's numbers
  std::vector<std::string> legend;   // its entries, top down
};

TEST(ChartLayout, PlacesBarsLabelsMarksAndLegend) {
  std::vector<const char*> fifty(50, "7");
  fifty[0] = "0";
  fifty[20] = "-";
  const LayoutCase cases[] = {
      {"the 12, 15, lost, 20 ms run, lost row selected", 609, 265, {"12", "15", "-", "20"}, "10.77.3.100", 2, true, 4,
       "0 5 10 15 20 25", {"10.77.3.100", "no reply"}},
      {"fifty, the last selected", 609, 265, fifty, "a-long-host-name.example.test", 49, true, 11,
       "0 2 4 6 8 10", {"a-lon\u2026e.test", "no reply"}},
      {"fifty on a small chart", 320, 140, fifty, "h", 0, true, 7, "0 2 4 6 8 10", {"h", "no reply"}},
      {"0 ms replies, no host, unfocused", 609, 265, {"0", "0", "0"}, "", 1, false, 3, "0 0.2 0.4 0.6 0.8 1", {}},
      {"placeholders, focused, none selected", 609, 265, {}, "", std::nullopt, true, 5, "0 5 10 15 20", {}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    ChartModel model;
    model.SetHostText(c.host);
    if (!c.values.empty()) model.SetRowCount(static_cast<std::int16_t>(c.values.size()));
    for (std::size_t i = 0; i < c.values.size(); ++i) {
      model.SelectRow(static_cast<std::int16_t>(i + 1));
      model.SetRowLabel(" " + std::to_string(i + 1));
      model.SetRowValue(c.values[i]);
    }
    if (c.selected) model.SelectIndex(*c.selected);
    const Layout layout = LayOut(model, c.width, c.height, c.focused, Fixed);
    const Box& plot = layout.plot;
    const Box chart{0, 0, c.width, c.height};

    ASSERT_EQ(layout.bars.size(), model.rows().size());
    for (std::size_t i = 0; i < layout.bars.size(); ++i) {
      const Box& bar = layout.bars[i];
      EXPECT_TRUE(bar.left > plot.left && bar.right < plot.right && bar.top > plot.top && bar.bottom < plot.bottom)
          << i;
      const ChartModel::Row& row = model.rows()[i];
      if (row.kind == ChartModel::Kind::Lost) {
        EXPECT_EQ(bar.height(), plot.height() - 2) << i;  // inside the plot's frame
      }
      if (row.kind == ChartModel::Kind::Reply) {
        EXPECT_GE(bar.height(), 2) << i;
      }
      const Box& slot = layout.rowSlots[i];
      EXPECT_EQ(layout.RowAt((slot.left + slot.right) / 2, (slot.top + slot.bottom) / 2), i);
    }
    EXPECT_EQ(layout.RowAt(plot.left - 1, plot.top + 1), std::nullopt);

    std::size_t labels = 0;
    std::string ticks;
    std::vector<std::string> legend;
    for (const Shape& shape : layout.shapes) {
      if (const auto* text = std::get_if<Text>(&shape)) {
        if (text->font == kAxisLabelFont && text->box.top == plot.bottom + 2) ++labels;
        if (text->align == Align::Right) ticks += (ticks.empty() ? "" : " ") + text->text;
        if (text->font == kLegendFont && text->align == Align::Left) legend.push_back(text->text);
      }
      // The focus outline is the only thing in the label colour over the plot.
      if (const auto* fill = std::get_if<Fill>(&shape); fill && fill->colour == kLabelColour) {
        for (const Box& bar : layout.bars) EXPECT_FALSE(Overlap(fill->box, bar));
      }
    }
    EXPECT_EQ(labels, c.labels);
    EXPECT_EQ(ticks, c.ticks);
    EXPECT_EQ(legend, c.legend);
    EXPECT_EQ(layout.tipBox.has_value(), c.focused && c.selected.has_value());
    if (layout.tipBox) {  // inside the chart, and below its title
      EXPECT_TRUE(layout.tipBox->left >= chart.left && layout.tipBox->right <= chart.right &&
                  layout.tipBox->top > plot.top && layout.tipBox->bottom <= chart.bottom);
      EXPECT_EQ(layout.menuY, layout.bars[*c.selected].top);
    }
  }
}

// Row labels by their measured widths: never two touching, the first and
// the last shown; a long host cut in its middle, its whole text a tooltip
// over its legend entry.
TEST(ChartLayout, ThinsLabelsByWidthAndCutsHostsInTheMiddle) {
  struct Case {
    std::size_t rows;
    double interval;
    const char* host;
    std::size_t labels;
    bool first;  // the first row's label: where it fits beside the next
    const char* legend;
  };
  const Case cases[] = {
      {12, 0.333333, "2001:db8:85a3::8a2e:370:7334", 6, false, "2001:\u20260:7334"},
      {50, 1, "fe80::a00:27ff:fe4e:66a1%enp0s3", 11, true, "fe80:\u2026enp0s3"},
      {12, 2, "10.0.0.1", 12, true, "10.0.0.1"},
      {3, 1e28, "h", 2, true, "h"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.host);
    ChartModel model;
    model.SetHostText(c.host);
    model.SetRowCount(static_cast<std::int16_t>(c.rows));
    for (std::size_t i = 0; i < c.rows; ++i) {
      model.SelectRow(static_cast<std::int16_t>(i + 1));
      std::string label = " " + std::to_string(c.interval * static_cast<double>(i + 1));
      label.erase(label.find_last_not_of('0') + 1);
      if (label.back() == '.') label.pop_back();
      model.SetRowLabel(label);
      model.SetRowValue("5");
    }
    const Layout layout = LayOut(model, 609, 265, false, Fixed);
    std::vector<std::pair<double, double>> spans;  // each shown label's left and right
    std::string legend;
    for (const Shape& shape : layout.shapes) {
      const auto* text = std::get_if<Text>(&shape);
      if (text && text->font == kAxisLabelFont && text->box.top == layout.plot.bottom + 2) {
        const double centre = (text->box.left + text->box.right) / 2.0, half = Fixed(text->text, {}).width / 2;
        spans.emplace_back(centre - half, centre + half);
        EXPECT_LE(text->box.width(), 609);
      }
      if (text && text->font == kLegendFont && text->align == Align::Left) legend = text->text;
    }
    EXPECT_EQ(spans.size(), c.labels);
    for (std::size_t i = 1; i < spans.size(); ++i) EXPECT_GE(spans[i].first, spans[i - 1].second) << i;
    const Box& first = layout.rowSlots.front();
    const Box& last = layout.rowSlots.back();
    EXPECT_EQ(spans.front().first + spans.front().second == first.left + first.right, c.first);
    EXPECT_EQ(spans.back().first + spans.back().second, last.left + last.right);
    EXPECT_EQ(legend, c.legend);
    ASSERT_TRUE(layout.hostLegend.has_value());
    EXPECT_EQ(layout.hostLegend->top, kLegendTop);
  }
}

}  // namespace
}  // namespace tolvane::ui::chart
