// Window procedures on Win32: SetWindowLongPtrA(GWLP_WNDPROC) and
// CallWindowProcA, for the tray's hook on the main window.
#pragma once

#include <windows.h>

#include "app/window_system.h"

namespace tolvane::ui::tray {

// The tray's procedures have a portable signature, not Windows' own: the
// window gets a real WNDPROC that calls the tray's, and the procedure it
// had is handed back as one that calls the window's own through
// CallWindowProcA. One hooked window at a time, as the tray has.
class Win32WindowSystem final : public WindowSystem {
 public:
  Win32WindowSystem();
  ~Win32WindowSystem() override;

  WindowProc SetWindowProc(WindowHandle window, WindowProc procedure) override;
  TrayMenuOwner* MenuOwner(WindowHandle window) override;

  // The window whose tray menu `owner` opens.
  void SetMenuOwner(HWND window, TrayMenuOwner* owner);

 private:
  HWND ownerWindow_ = nullptr;
  TrayMenuOwner* owner_ = nullptr;
};

}  // namespace tolvane::ui::tray
