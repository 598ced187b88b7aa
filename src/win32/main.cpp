// Tolvane for Windows: ICMP latency to one host, as a chart.
#include <windows.h>

#include <commctrl.h>

#include "win32/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  int status = 1;
  {
    tolvane::ui::win::MainWindow window(instance);
    if (!window.Open(showCommand)) {
      MessageBoxW(nullptr, L"The window could not be created.", L"Tolvane", MB_OK | MB_ICONERROR);
    } else {
      MSG message;
      while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.TranslateDialogKeys(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      status = static_cast<int>(message.wParam);
    }
  }
  return status;
}
