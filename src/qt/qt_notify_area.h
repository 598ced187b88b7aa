// The notification area over QSystemTrayIcon: one icon per window and id,
// showing the window's icon, the record's tip, and, where the tray host
// shows menus itself, the actions of the window's menu "rcpopup".
#pragma once

#include <QPointer>
#include <QSystemTrayIcon>

#include <map>
#include <utility>

#include "app/notify_area.h"

namespace tolvane::ui::tray {

class QtWindowSystem;
class TrayHostWatch;

// Sent to the window of each icon up when the tray has no host left, as a
// shell tells its windows of a new shell (wParam: the icon's id). A private
// message number, clear of the mouse messages the icons report.
inline constexpr std::uint32_t kTrayHostGone = 0x8000 + 0x10;

class QtNotifyArea : public NotifyArea {
 public:
  explicit QtNotifyArea(QtWindowSystem& windows);
  ~QtNotifyArea() override;

  bool Add(const TrayIconRecord& record) override;
  void Delete(const TrayIconRecord& record) override;

  // The icon up for that window and id; nullptr when there is none.
  QSystemTrayIcon* Icon(WindowHandle window, std::uint32_t id) const;

 private:
  using Key = std::pair<WindowHandle, std::uint32_t>;

  void HostGone();

  QtWindowSystem& windows_;
  std::map<Key, QPointer<QSystemTrayIcon>> icons_;
  QPointer<TrayHostWatch> watch_;  // while icons are up
};

}  // namespace tolvane::ui::tray
