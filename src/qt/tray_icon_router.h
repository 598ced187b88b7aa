// Routes one icon's notifications to its window: each activation becomes
// the callback message, with the icon's id in wParam and the mouse message
// it stands for in lParam, sent through the window's current procedure.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>

#include <cstdint>
#include <optional>

#include "app/window_message.h"

namespace tolvane::ui::tray {

class QtWindowSystem;

class TrayIconRouter : public QObject {
 public:
  // Lives as long as the icon.
  TrayIconRouter(QSystemTrayIcon& icon, QtWindowSystem& windows, WindowHandle window,
                 std::uint32_t id, std::uint32_t callbackMessage);

  // The mouse message an activation stands for; none for an unknown one.
  // A right-button press reports as Context, a left-button press as Trigger.
  static std::optional<std::uint32_t> MouseMessage(QSystemTrayIcon::ActivationReason reason);

 private:
  void Route(QSystemTrayIcon::ActivationReason reason);

  QtWindowSystem& windows_;
  WindowHandle window_;
  std::uint32_t id_;
  std::uint32_t callbackMessage_;
};

}  // namespace tolvane::ui::tray
