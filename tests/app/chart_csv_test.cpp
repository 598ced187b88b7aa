// The chart's rows as the export menu copies them, the same for both charts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/chart_model.h"
#include "app/chart_style.h"

namespace tolvane::ui {
namespace {

// A sample as the run sets it: label, value, then the tooltip.
struct Sample {
  const char *label, *value, *tip;
};

struct CsvCase {
  const char* name;
  std::int16_t rows;             // 0: the placeholders as the chart starts
  std::vector<Sample> samples;  // into rows 1, 2 ...
  std::string lines;            // under the header
};

TEST(ChartCsv, ListsTheRowsThatHoldASample) {
  const CsvCase cases[] = {
      {"reply", 3, {{" 2", "12", "12.345 ms"}}, "1,2,12,12345,0   [ ip success ]\n"},
      {"lost", 1, {{" 4", "-", "11010   [ ip req timed out ]"}}, "1,4,no reply,,11010   [ ip req timed out ]\n"},
      {"fast reply, odd tip", 2, {{" 0", "0", "0.250 ms"}, {"1", "3", "3 ms?"}},
       "1,0,0,250,0   [ ip success ]\n2,1,3,,0   [ ip success ]\n"},
      {"quoted fields", 2, {{"1,5", "-", "say \"no\",\ntwice"}, {" 6", "7", "7.000 ms"}},
       "1,\"1,5\",no reply,,\"say \"\"no\"\",\ntwice\"\n2,6,7,7000,0   [ ip success ]\n"},
      {"placeholders only", 0, {}, ""},
  };
  for (const CsvCase& c : cases) {
    ChartModel chart;
    if (c.rows > 0) chart.SetRowCount(c.rows);
    for (std::size_t i = 0; i < c.samples.size(); ++i) {
      chart.SelectRow(static_cast<std::int16_t>(i + 1));
      chart.SetRowLabel(c.samples[i].label);
      chart.SetRowValue(c.samples[i].value);
      chart.SetRowToolTip(c.samples[i].tip);
    }
    EXPECT_EQ(chart.Csv(), "row,seconds,ms,\xc2\xb5s,status\n" + c.lines) << c.name;
  }
}

// The image's name: ".png" added unless the name ends in it, in any case.
TEST(ChartImageName, EndsInPng) {
  const std::pair<const char*, const char*> names[] = {
      {"chart", "chart.png"},     {"chart.v2", "chart.v2.png"}, {"latency 08.12.2026", "latency 08.12.2026.png"},
      {"run.PNG", "run.PNG"},     {"/a.b/run.png", "/a.b/run.png"}, {"run.png.bak", "run.png.bak.png"},
      {".png", ".png"},           {"png", "png.png"}};
  for (const auto& [typed, written] : names) EXPECT_EQ(chart::WithPngSuffix(typed), written) << typed;
}

}  // namespace
}  // namespace tolvane::ui
