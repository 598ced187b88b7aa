// Figures for the Win32 chart: what a screen reader's pass over a run of 50
// rows costs, each row asked for its place on the screen (MSAA's
// accLocation, as Narrator or NVDA ask when they follow the list), and
// what one hit test and one paint cost. Median of 15 timings of 20 passes
// each; prints them, fails only when it could not measure.
//   chart_locations_bench.exe
#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "win32/window_ids.h"
#include "win32/latency_chart.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRows = 50;
constexpr int kTimings = 15;
constexpr int kPasses = 20;

// Microseconds per call of `work`, the median of kTimings.
template <typename F>
double Median(F work) {
  std::vector<double> times;
  for (int t = 0; t < kTimings; ++t) {
    const auto start = Clock::now();
    for (int p = 0; p < kPasses; ++p) work();
    times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kPasses);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  namespace win = tolvane::ui::win;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND parent = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 609, 265, nullptr, nullptr, instance, nullptr);
  win::LatencyChart chart(instance, parent, win::kGraph, tolvane::ui::layout::PixelRect{0, 0, 609, 265}, 96);
  chart.control().SetNameText("Tolvane");
  chart.control().SetRowCount(kRows);
  chart.control().SetHostText("127.0.0.1");
  for (int row = 1; row <= kRows; ++row) {
    chart.control().SelectRow(static_cast<std::int16_t>(row));
    chart.control().SetRowLabel(" " + std::to_string(2 * row));
    chart.control().SetRowValue(std::to_string(row % 7 * 13));
  }
  IAccessible* list = nullptr;
  if (FAILED(AccessibleObjectFromWindow(chart.handle(), OBJID_CLIENT, __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&list))) ||
      list == nullptr) {
    std::fprintf(stderr, "no accessible object for the chart\n");
    return 1;
  }
  long failed = 0;
  const double pass = Median([&] {
    for (long id = 1; id <= kRows; ++id) {
      VARIANT child{};
      child.vt = VT_I4;
      child.lVal = id;
      long left = 0, top = 0, width = 0, height = 0;
      if (list->accLocation(&left, &top, &width, &height, child) != S_OK || width <= 0) ++failed;
    }
  });
  const double hit = Median([&] { chart.RowAt(POINT{300, 120}); });
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 609, 265);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const double paint = Median([&] { chart.Render(dc); });
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  list->Release();
  DestroyWindow(parent);
  if (failed) {
    std::fprintf(stderr, "%ld row locations not answered\n", failed);
    return 1;
  }
  std::printf("the locations of %d rows (accLocation): %.0f us a pass, %.1f us a row\n", kRows, pass, pass / kRows);
  std::printf("one hit test (RowAt): %.1f us\n", hit);
  std::printf("one paint of the chart: %.0f us\n", paint);
  return 0;
}
