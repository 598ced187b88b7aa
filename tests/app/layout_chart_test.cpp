// The twip layout at the DPIs Windows offers, and the chart model both charts draw.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "app/chart_model.h"
#include "app/controls.h"
#include "app/layout.h"

namespace tolvane::ui {
namespace {

using layout::Place;
using layout::PixelRect;

struct ScaleCase {
  Place place;
  int dpi;
  PixelRect expected;
};

// At 96 dpi every place is its twips over 15; above, the edges are rounded
// and the size follows from them.
TEST(TwipLayout, ScalesEdgesWithTheDpi) {
  const ScaleCase cases[] = {
      {layout::kClientArea, 96, {0, 0, 609, 333}},
      {layout::kClientArea, 120, {0, 0, 761, 416}},
      {layout::kClientArea, 144, {0, 0, 914, 500}},
      {Place{7680, 3000, 1335, 375}, 96, {512, 200, 89, 25}},
      {Place{7680, 3000, 1335, 375}, 120, {640, 250, 111, 31}},
      {Place{7680, 3000, 1335, 375}, 144, {768, 300, 134, 38}},
      {Place{120, 4560, 3015, 255}, 120, {10, 380, 251, 21}},
      {Place{120, 4080, 855, 375}, 144, {12, 408, 86, 38}},
      {Place{-15, 7, 8, 1}, 96, {-1, 0, 1, 1}},
  };
  for (const ScaleCase& c : cases) {
    const PixelRect r = layout::Scaled(c.place, c.dpi);
    EXPECT_EQ(std::tuple(r.left, r.top, r.width, r.height),
              std::tuple(c.expected.left, c.expected.top, c.expected.width, c.expected.height))
        << c.place.left << "," << c.place.top << " at " << c.dpi;
  }
}

// Parts that touch or overlap in twips keep doing so at every scale: the
// chart's foot and "&Systray", every control and the client area's edges.
TEST(TwipLayout, KeepsNeighboursTogether) {
  for (int dpi : {96, 120, 144, 168, 192}) {
    SCOPED_TRACE(dpi);
    const PixelRect graph = layout::Scaled(layout::kGraph, dpi);
    const PixelRect client = layout::Scaled(layout::kClientArea, dpi);
    EXPECT_EQ(graph.width, client.width);
    for (const controls::Control& control : controls::kControls) {
      const PixelRect r = layout::Scaled(control.place, dpi);
      EXPECT_LE(r.left + r.width, client.width) << control.name;
      EXPECT_LE(r.top + r.height, client.height) << control.name;
      EXPECT_TRUE(control.id != controls::kCommand3 || r.top < graph.top + graph.height) << control.name;
    }
  }
}

// After a run of six at 150 ms with a loss, a new run (stopped, shorter or
// longer) shows, exports and names only its own samples; the rest read as
// not sampled yet. Writes outside the table are dropped.
TEST(ChartModel, HoldsOnlyTheCurrentRunsSamples) {
  struct Case {
    std::int16_t rows, samples;
  };
  for (const Case c : {Case{6, 2}, Case{3, 3}, Case{8, 1}}) {
    ChartModel chart;
    EXPECT_EQ(chart.rows()[4].kind, ChartModel::Kind::Placeholder);
    const struct {
      std::int16_t count, samples;
      const char* ms;
      int interval;
    } runs[] = {{6, 6, "150", 3}, {c.rows, c.samples, "15", 5}};
    for (const auto& run : runs) {
      chart.SetRowCount(run.count);
      for (std::int16_t row = 1; row <= run.samples; ++row) {
        chart.SelectRow(row);
        chart.SetRowLabel(" " + std::to_string(row * run.interval));
        chart.SetRowValue(row == 4 ? "-" : run.ms);
      }
    }
    SCOPED_TRACE(c.rows);
    ASSERT_EQ(chart.rows().size(), static_cast<std::size_t>(c.rows));
    std::string csv = "row,seconds,ms,\xc2\xb5s,status\n";
    for (int row = 1; row <= c.samples; ++row) {
      csv += std::to_string(row) + "," + std::to_string(row * 5) + ",15,,0   [ ip success ]\n";
    }
    EXPECT_EQ(chart.Csv(), csv);
    for (int row = c.samples + 1; row <= c.rows; ++row) {
      EXPECT_EQ(chart.RowName(static_cast<std::size_t>(row - 1)), "row " + std::to_string(row) + ": not sampled yet");
      EXPECT_EQ(chart.rows()[static_cast<std::size_t>(row - 1)].label, "");
    }
    EXPECT_FALSE(chart.AnyLost());
    EXPECT_EQ(chart.ValueScale().top, 20);
    chart.SelectRow(c.rows + 1);  // past the table: nothing happens
    chart.SetRowValue("9");
    chart.SelectRow(0);
    chart.SetRowLabel("x");
    EXPECT_EQ(chart.rows().size(), static_cast<std::size_t>(c.rows));
  }
}

TEST(ChartModel, ReadsRepliesAndLostSamples) {
  struct Case {
    const char* text;
    ChartModel::Kind kind;
    double value;
  };
  const Case cases[] = {
      {"0", ChartModel::Kind::Reply, 0},      {"12", ChartModel::Kind::Reply, 12},
      {"199", ChartModel::Kind::Reply, 199},  {"-", ChartModel::Kind::Lost, 0},
      {"", ChartModel::Kind::Lost, 0},        {"1.5", ChartModel::Kind::Lost, 0},
      {"-3", ChartModel::Kind::Lost, 0},      {"12ms", ChartModel::Kind::Lost, 0},
      {"9999999999", ChartModel::Kind::Lost, 0},
  };
  for (const Case& c : cases) {
    ChartModel chart;
    chart.SelectRow(1);
    chart.SetRowValue(c.text);
    EXPECT_EQ(chart.rows()[0].kind, c.kind) << c.text;
    EXPECT_EQ(chart.rows()[0].value, c.value) << c.text;
    EXPECT_EQ(chart.AnyLost(), c.kind == ChartModel::Kind::Lost) << c.text;
  }
}

TEST(ChartModel, ScalesTheValueAxisAboveTheHighestBar) {
  struct Case {
    std::vector<const char*> values;
    double top, step;
  };
  const Case cases[] = {
      {{}, 20, 5},                 // the placeholders, up to 16
      {{"0", "0"}, 1, 0.2},        // replies of 0 ms still get a scale
      {{"-", "-"}, 1, 0.2},        // lost samples are no height
      {{"3", "187"}, 250, 50},
      {{"40"}, 50, 10},
      {{"1000"}, 1500, 500},
      {{"12", "15", "-", "20"}, 25, 5},  // the 12, 15, lost, 20 ms run
      {{"12", "15", "-", "22"}, 30, 10},  // its last reply a little later
  };
  for (const Case& c : cases) {
    ChartModel chart;
    if (!c.values.empty()) chart.SetRowCount(static_cast<std::int16_t>(c.values.size()));
    for (std::size_t i = 0; i < c.values.size(); ++i) {
      chart.SelectRow(static_cast<std::int16_t>(i + 1));
      chart.SetRowValue(c.values[i]);
    }
    const ChartModel::Scale scale = chart.ValueScale();
    EXPECT_DOUBLE_EQ(scale.top, c.top) << c.values.size();
    EXPECT_DOUBLE_EQ(scale.step, c.step) << c.values.size();
  }
}

TEST(ChartModel, NamesRowsAndKeepsTheKeyboardSelection) {
  ChartModel chart;
  EXPECT_EQ(chart.RowName(0), "R1: no sample");  // a placeholder
  EXPECT_EQ(chart.Description(), "no run yet");
  chart.Select(ChartModel::Move::Next);  // the first key selects the first row
  EXPECT_EQ(chart.selected(), std::optional<std::size_t>(0));

  chart.SetRowCount(4);
  chart.SetHostText("::1");
  // Names and tooltips come from the samples: a reply's tooltip has its
  // microseconds, a lost one's its status; a value alone is named by it.
  const struct {
    const char *label, *value;
    std::optional<Sample> sample;
    const char *name, *tip;
  } rows[] = {
      {" 4", "15", Sample{true, 15204, 0, "0   [ ip success ]"}, "4 s: 15 ms", "15.204 ms"},
      {" .5", "0", Sample{true, 42, 0, "0   [ ip success ]"}, ".5 s: 0 ms", "0.042 ms"},
      {" 6", "0", Sample{false, 0, 11010, "11010   [ ip req timed out ]"}, "6 s: no reply (11010 ip req timed out)",
       "11010   [ ip req timed out ]"},
      {" 8", "-", std::nullopt, "8 s: no reply", "8 s: no reply"},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    chart.SelectRow(static_cast<std::int16_t>(i + 1));
    chart.SetRowLabel(rows[i].label);
    if (rows[i].sample) chart.SetRowSample(*rows[i].sample);
    chart.SetRowValue(rows[i].value);
    EXPECT_EQ(chart.TipText(i), rows[i].tip);
  }
  for (std::size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(chart.RowName(i), rows[i].name);
  EXPECT_EQ(chart.Description(), "::1");

  const std::pair<ChartModel::Move, std::size_t> moves[] = {
      {ChartModel::Move::Previous, 0}, {ChartModel::Move::Next, 1}, {ChartModel::Move::Last, 3},
      {ChartModel::Move::Next, 3},     {ChartModel::Move::First, 0}, {ChartModel::Move::Last, 3}};
  for (const auto& [move, want] : moves) {
    chart.Select(move);
    EXPECT_EQ(chart.selected(), std::optional<std::size_t>(want));
  }
  chart.SetRowCount(2);  // a shorter run pulls the selection in
  EXPECT_EQ(chart.selected(), std::optional<std::size_t>(1));
  chart.SelectIndex(7);
  EXPECT_EQ(chart.selected(), std::optional<std::size_t>(1));
  chart.SetRowCount(0);
  EXPECT_EQ(chart.selected(), std::nullopt);
}

// While focused and on the newest sample (or on none), the selection goes
// with each new sample; a user who went back, or had no focus, stays put.
// Only a write that changes a row's name is news for a screen reader.
TEST(ChartModel, SelectionFollowsTheNewestSampleWhileFocusedAndOnIt) {
  ChartModel chart;
  chart.SetRowCount(6);
  std::int16_t next = 1;
  // 's': a sample with the focus, 'u': one without; '<', '>': keys.
  const std::pair<char, std::size_t> steps[] = {{'s', 0}, {'s', 1}, {'u', 1}, {'s', 1}, {'>', 2}, {'>', 3},
                                                {'s', 4}, {'<', 3}, {'s', 3}, {'>', 4}, {'>', 5}};
  for (const auto& [step, want] : steps) {
    if (step == '<' || step == '>') chart.Select(step == '<' ? ChartModel::Move::Previous : ChartModel::Move::Next);
    if (step == 's' || step == 'u') {
      chart.SelectRow(next++);
      EXPECT_TRUE(chart.SetRowValue("9", step == 's'));
    }
    EXPECT_EQ(chart.selected(), std::optional<std::size_t>(want)) << step << next;
  }
  // On the newest sample (row 6) as a new run starts: its first sample takes it.
  chart.SetRowCount(6);
  chart.SelectRow(1);
  EXPECT_FALSE(chart.SetRowLabel(" 2"));  // not sampled yet, whatever its label
  EXPECT_TRUE(chart.SetRowValue("9", true));
  EXPECT_EQ(chart.selected(), std::optional<std::size_t>(0));
  EXPECT_FALSE(chart.SetRowValue("9", true));
  EXPECT_TRUE(chart.SetRowLabel(" 3"));
}

}  // namespace
}  // namespace tolvane::ui
