// One run written into a chart through its operations, the same for either
// window's chart: a reply, a lost sample, a 0 ms reply and a taller reply,
// and a fifth row not sampled yet.
#pragma once

#include <cstdint>

namespace tolvane::ui::test {

template <typename Chart>
void WriteParityRun(Chart& chart) {
  chart.SetNameText("Tolvane");
  chart.SetRowCount(5);
  chart.SetHostText("10.77.3.100");
  const char* const samples[][3] = {{" .5", "12", "12.345 ms"},
                                    {" 1", "-", "11010   [ ip req timed out ]"},
                                    {" 1.5", "0", "0.250 ms"},
                                    {" 2", "20", "20.220 ms"}};
  for (std::int16_t row = 1; row <= 4; ++row) {
    chart.SelectRow(row);
    chart.SetRowLabel(samples[row - 1][0]);
    chart.SetRowToolTip(samples[row - 1][2]);
    chart.SetRowValue(samples[row - 1][1]);
  }
}

}  // namespace tolvane::ui::test
