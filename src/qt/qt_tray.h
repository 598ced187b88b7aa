// The tray module on Qt: the notification area and the window procedures
// the program runs with.
#pragma once

namespace tolvane::ui::tray {

class QtNotifyArea;
class QtWindowSystem;

// Puts the Qt services under the tray module (once they exist, the same
// ones again). Needs the application object.
void UseQtTray();

QtNotifyArea& QtArea();
QtWindowSystem& QtWindows();

}  // namespace tolvane::ui::tray
