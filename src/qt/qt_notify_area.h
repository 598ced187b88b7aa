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

  QtWindowSystem& windows_;
  std::map<Key, QPointer<QSystemTrayIcon>> icons_;
};

}  // namespace tolvane::ui::tray
