#include "ui/tray/qt_tray.h"

#include "ui/tray/qt_notify_area.h"
#include "ui/tray/qt_window_system.h"
#include "ui/tray/tray.h"

namespace tolvane::ui::tray {

QtWindowSystem& QtWindows() {
  static QtWindowSystem windows;
  return windows;
}

QtNotifyArea& QtArea() {
  static QtNotifyArea area(QtWindows());
  return area;
}

void UseQtTray() { UseTrayPlatform(&QtArea(), &QtWindows()); }

}  // namespace tolvane::ui::tray
