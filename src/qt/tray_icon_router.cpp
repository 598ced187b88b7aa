#include "qt/tray_icon_router.h"

#include "qt/qt_window_system.h"

namespace tolvane::ui::tray {

TrayIconRouter::TrayIconRouter(QSystemTrayIcon& icon, QtWindowSystem& windows,
                               WindowHandle window, std::uint32_t id,
                               std::uint32_t callbackMessage)
    : QObject(&icon), windows_(windows), window_(window), id_(id),
      callbackMessage_(callbackMessage) {
  connect(&icon, &QSystemTrayIcon::activated, this, &TrayIconRouter::Route);
}

std::optional<std::uint32_t> TrayIconRouter::MouseMessage(
    QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Context: return kRightButtonDown;
    case QSystemTrayIcon::Trigger: return kLeftButtonDown;
    case QSystemTrayIcon::DoubleClick: return kLeftButtonDoubleClick;
    case QSystemTrayIcon::MiddleClick: return kMiddleButtonDown;
    case QSystemTrayIcon::Unknown: break;
  }
  return std::nullopt;
}

void TrayIconRouter::Route(QSystemTrayIcon::ActivationReason reason) {
  const auto mouse = MouseMessage(reason);
  if (mouse) windows_.Send(window_, callbackMessage_, id_, static_cast<std::intptr_t>(*mouse));
}

}  // namespace tolvane::ui::tray
