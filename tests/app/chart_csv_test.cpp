// The chart's rows as the export menu copies them, the same for both charts.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/chart_model.h"
#include "app/chart_style.h"

namespace tolvane::ui {
namespace {

const char* const kSuccess = "0   [ ip success ]";
const char* const kTimedOut = "11010   [ ip req timed out ]";

// A row as the run writes it: label, its sample (if any), then the value.
struct Written {
  const char *label, *value;
  std::optional<Sample> sample;
};

struct CsvCase {
  const char* name;
  std::int16_t rows;             // 0: the placeholders as the chart starts
  std::vector<Written> written;  // into rows 1, 2 ...
  std::string lines;             // under the header
};

// The µs and the status come from the sample itself, whatever its tooltip says.
TEST(ChartCsv, ListsTheRowsThatHoldASample) {
  const CsvCase cases[] = {
      {"reply", 3, {{" 2", "12", Sample{true, 12345, 0, kSuccess}}}, "1,2,12,12345,0   [ ip success ]\n"},
      {"lost", 1, {{" 4", "0", Sample{false, 0, 11010, kTimedOut}}}, "1,4,no reply,,11010   [ ip req timed out ]\n"},
      {"fast reply, value alone", 2, {{" 0", "0", Sample{true, 250, 0, kSuccess}}, {"1", "3", std::nullopt}},
       "1,0,0,250,0   [ ip success ]\n2,1,3,,0   [ ip success ]\n"},
      {"quoted fields", 2,
       {{"1,5", "0", Sample{false, 0, 7, "say \"no\",\ntwice"}}, {" 6", "7", Sample{true, 7000, 0, kSuccess}}},
       "1,\"1,5\",no reply,,\"say \"\"no\"\",\ntwice\"\n2,6,7,7000,0   [ ip success ]\n"},
      {"placeholders only", 0, {}, ""},
  };
  for (const CsvCase& c : cases) {
    ChartModel chart;
    if (c.rows > 0) chart.SetRowCount(c.rows);
    for (std::size_t i = 0; i < c.written.size(); ++i) {
      chart.SelectRow(static_cast<std::int16_t>(i + 1));
      chart.SetRowLabel(c.written[i].label);
      if (c.written[i].sample) chart.SetRowSample(*c.written[i].sample);
      chart.SetRowValue(c.written[i].value);
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
