// The GDI painter's half of the parity test: the parity run's chart at 96
// dpi, saved as a PNG to the path given (tests/win32/chart_parity.sh).
#include <windows.h>

#include "support/parity_run.h"
#include "win32/controls.h"
#include "win32/latency_chart.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  using namespace tolvane::ui;
  HWND parent = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 609, 265, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  win::LatencyChart chart(GetModuleHandleA(nullptr), parent, win::kGraph, layout::PixelRect{0, 0, 609, 265}, 96);
  test::WriteParityRun(chart);
  return chart.SaveImage(argv[1]) ? 0 : 1;
}
