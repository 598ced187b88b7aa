// One run written into a chart through its operations, the same for either
// window's chart: a reply, a lost sample, a 0 ms reply and a taller reply,
// and a fifth row not sampled yet.
#pragma once

#include <cstdint>
#include <string>

#include "app/chart_control.h"

namespace tolvane::ui::test {

inline void WriteParityRun(ChartControl& chart) {
  chart.SetNameText("Tolvane");
  chart.SetRowCount(5);
  chart.SetHostText("10.77.3.100");
  const struct {
    const char* label;
    std::int32_t ms;
    Sample sample;
  } samples[] = {{" .5", 12, {true, 12345, 0, "0   [ ip success ]"}},
                 {" 1", 0, {false, 0, 11010, "11010   [ ip req timed out ]"}},
                 {" 1.5", 0, {true, 250, 0, "0   [ ip success ]"}},
                 {" 2", 20, {true, 20220, 0, "0   [ ip success ]"}}};
  for (std::int16_t row = 1; row <= 4; ++row) {
    chart.SelectRow(row);
    chart.SetRowLabel(samples[row - 1].label);
    chart.SetRowSample(samples[row - 1].sample);
    chart.SetRowValue(std::to_string(samples[row - 1].ms));
  }
}

}  // namespace tolvane::ui::test
