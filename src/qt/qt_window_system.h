// Message procedures for Qt widgets, keyed by the widget's native window
// id. A widget's own procedure hands each message to the widget as a
// WindowMessageEvent; Send goes through whichever procedure is in place.
#pragma once

#include <QObject>

#include <map>

#include "app/window_message.h"
#include "app/window_system.h"

namespace tolvane::ui::tray {

class QtWindowSystem : public WindowSystem {
 public:
  WindowProc SetWindowProc(WindowHandle window, WindowProc procedure) override;
  TrayMenuOwner* MenuOwner(WindowHandle window) override;

  // Sends a message to the window through its procedure and returns the
  // procedure's result; 0 when there is no such window.
  std::intptr_t Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam);

  WindowProc ProcedureOf(WindowHandle window) const;

  static std::intptr_t OwnProcedure(WindowHandle window, std::uint32_t message,
                                    std::uintptr_t wParam, std::intptr_t lParam);

 private:
  // Only replaced procedures are kept; every other window has its own.
  std::map<WindowHandle, WindowProc> replaced_;
  QObject context_;  // ends the widgets' destroyed connections with this
};

}  // namespace tolvane::ui::tray
