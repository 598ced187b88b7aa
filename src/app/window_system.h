// The window services the tray module needs: replacing a window's message
// procedure, and finding the window's tray menu.
#pragma once

#include "app/window_message.h"

namespace tolvane::ui::tray {

class TrayMenuOwner;

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Makes `procedure` the window's message procedure and returns the one it
  // replaced; nullptr when nothing was replaced (no such window).
  virtual WindowProc SetWindowProc(WindowHandle window, WindowProc procedure) = 0;

  // The window's menu handler; nullptr when the window has none.
  virtual TrayMenuOwner* MenuOwner(WindowHandle window) = 0;
};

}  // namespace tolvane::ui::tray
