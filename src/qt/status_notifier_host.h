// Whether the desktop's tray speaks StatusNotifierItem. Such a host shows
// the icon's menu itself and may never report the right-button press.
#pragma once

namespace tolvane::ui::tray {

bool StatusNotifierHostPresent();

}  // namespace tolvane::ui::tray
