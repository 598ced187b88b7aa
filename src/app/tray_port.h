// What the tray asks of the window it belongs to. Each front-end answers
// with its own notification area and window calls.
#pragma once

#include <string_view>

namespace tolvane::ui::tray {

class TrayPort {
 public:
  // Puts up the window's icon with `tip`; false when there is no host to
  // show it or the host refused it.
  virtual bool ShowIcon(std::string_view tip) = 0;
  // Takes the icon down; nothing when none is up.
  virtual void RemoveIcon() = 0;
  virtual void HideWindow() = 0;
  // Shown again, in front, with the keyboard's focus where it was.
  virtual void ShowWindow() = 0;
  virtual void CloseWindow() = 0;
  // A message box over the window.
  virtual void Tell(std::string_view text) = 0;

 protected:
  ~TrayPort() = default;
};

}  // namespace tolvane::ui::tray
