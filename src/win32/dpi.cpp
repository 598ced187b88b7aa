#include "win32/dpi.h"

#include "win32/system_library.h"

namespace tolvane::ui::win {
namespace {

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace

// The per-window DPI functions are looked up at run time: older Windows
// lack them, and a static import would keep the program from starting there.
int WindowDpi(HWND window) {
  static const auto getDpi = SystemFunction<UINT(WINAPI*)(HWND)>(L"user32.dll", "GetDpiForWindow");
  if (getDpi != nullptr && window != nullptr) {
    const UINT dpi = getDpi(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return ScreenDpi();
}

RECT FrameFor(layout::Place client, DWORD style, DWORD exStyle, int dpi) {
  const layout::PixelRect size = layout::Scaled(client, dpi);
  RECT frame{0, 0, size.width, size.height};
  static const auto adjustForDpi =
      SystemFunction<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>(L"user32.dll", "AdjustWindowRectExForDpi");
  if (adjustForDpi != nullptr) {
    adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi));
  } else {
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  }
  return frame;
}

HFONT MakeGuiFont(int dpi) {
  LOGFONTA font{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  // The stock font is made for the screen's DPI.
  font.lfHeight = MulDiv(font.lfHeight, dpi, ScreenDpi());
  font.lfWidth = 0;
  return CreateFontIndirectA(&font);
}

void FitClientArea(HWND window, layout::Place client, int dpi) {
  const layout::PixelRect want = layout::Scaled(client, dpi);
  RECT inner, outer;
  GetClientRect(window, &inner);
  GetWindowRect(window, &outer);
  if (inner.right == want.width && inner.bottom == want.height) return;
  SetWindowPos(window, nullptr, 0, 0, (outer.right - outer.left) + want.width - inner.right,
               (outer.bottom - outer.top) + want.height - inner.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceChild(HWND child, layout::Place place, int dpi) {
  const layout::PixelRect r = layout::Scaled(place, dpi);
  SetWindowPos(child, nullptr, r.left, r.top, r.width, r.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tolvane::ui::win
