// The tray: the window leaves the screen for an icon in the notification
// area and comes back from the icon's menu. One per window; it decides the
// order of things and asks the window's port to do them.
#pragma once

#include "app/tray_port.h"

namespace tolvane::ui::tray {

// While in the tray, each front-end checks once a period whether the
// notification area still has a host. A host that restarts (a shell after
// a crash, a panel) is back within the grace period; one missing longer
// has gone for good.
inline constexpr int kHostCheckMs = 1000;
inline constexpr int kHostGraceChecks = 5;

class Tray {
 public:
  explicit Tray(TrayPort& port) : port_(port) {}

  // "&Systray": the icon up, then the window hidden. Without an icon the
  // window could never be brought back: it stays and says so.
  void Systray();
  // "&Restore" in the tray menu: the window shown, then the icon gone.
  void Restore();
  // "&Exit" in the tray menu: the icon gone, then the window closed.
  void Exit();
  // The window closing by any other way: no icon left behind.
  void Closing();
  // One host check's answer; after the grace period without a host the
  // window comes back as "&Restore" brings it.
  void HostChecked(bool present);

  bool resident() const { return resident_; }

 private:
  void LeaveIcon();

  TrayPort& port_;
  bool resident_ = false;
  int missingChecks_ = 0;
};

}  // namespace tolvane::ui::tray
