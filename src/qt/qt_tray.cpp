#include "qt/qt_tray.h"

#include "app/tray.h"
#include "qt/qt_notify_area.h"
#include "qt/qt_window_system.h"

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
