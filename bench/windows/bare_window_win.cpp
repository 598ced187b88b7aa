// The yardstick for the program's start-up time: a window with the main
// window's frame and client size and nothing in it. Closes on WM_CLOSE.
#include <windows.h>

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = CreateSolidBrush(RGB(0, 64, 64));
  windowClass.lpszClassName = "TolvaneBareWindow";
  if (!RegisterClassA(&windowClass)) return 1;
  const DWORD style = WS_CAPTION | WS_SYSMENU, exStyle = WS_EX_TOOLWINDOW;
  RECT frame{0, 0, 609, 333};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  HWND window =
      CreateWindowExA(exStyle, windowClass.lpszClassName, "Bare window", style, CW_USEDEFAULT, CW_USEDEFAULT,
                      frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
