#include "app/tray.h"

#include "app/tray_texts.h"

namespace tolvane::ui::tray {

void Tray::Systray() {
  if (resident_) return;
  if (!port_.ShowIcon(kTrayTip)) {
    port_.Tell(kNoTrayMessage);
    return;
  }
  resident_ = true;
  missingChecks_ = 0;
  port_.HideWindow();
}

// Both menu items work while the window is shown too: there is no icon
// to take down then.
void Tray::Restore() {
  port_.ShowWindow();
  LeaveIcon();
}

void Tray::Exit() {
  LeaveIcon();
  port_.CloseWindow();
}

void Tray::Closing() { LeaveIcon(); }

void Tray::HostChecked(bool present) {
  if (!resident_) return;
  missingChecks_ = present ? 0 : missingChecks_ + 1;
  if (missingChecks_ >= kHostGraceChecks) Restore();
}

void Tray::LeaveIcon() {
  if (!resident_) return;
  resident_ = false;
  port_.RemoveIcon();
}

}  // namespace tolvane::ui::tray
