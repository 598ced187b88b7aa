// A window that opens the tray menu when the icon is right-clicked.
#pragma once

namespace tolvane::ui::tray {

class TrayMenuOwner {
 public:
  virtual void SysTrayMouseEventHandler() = 0;

 protected:
  ~TrayMenuOwner() = default;
};

}  // namespace tolvane::ui::tray
