// The parity run's chart at 96 dpi, saved as a PNG to the path given: the
// GDI painter's half of the parity test (chart_parity.sh), and a save onto
// a full disk (chart_save_full.sh). A save that fails prints why.
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/parity_run.h"
#include "win32/window_ids.h"
#include "win32/latency_chart.h"
#include "win32/png.h"
#include "win32/wide_text.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  using namespace tolvane::ui;
  HWND parent = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 609, 265, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  win::LatencyChart chart(GetModuleHandleA(nullptr), parent, win::kGraph, layout::PixelRect{0, 0, 609, 265}, 96);
  test::WriteParityRun(chart.control());
  HBITMAP image = chart.Image();
  std::string reason;
  const bool saved = win::SavePng(image, win::Wide(argv[1]), &reason);
  DeleteObject(image);
  if (!saved) std::printf("%s\n", reason.c_str());
  return saved ? 0 : 1;
}
