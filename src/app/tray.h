// The tray module: the notification-area icon, the hook on the main
// window's message procedure while the icon is up, and the procedure that
// hands the icon's right-button press to the window's menu. One icon
// record and one hook state for the whole program; one thread.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/hook_state.h"
#include "app/tray_icon_record.h"
#include "app/window_message.h"

namespace tolvane::ui::tray {

class NotifyArea;
class WindowSystem;

// Fills the icon record and adds the icon. False when the area is missing
// or refused it; the record keeps what was sent either way.
bool TrayAdd(WindowHandle window, std::uint32_t id, IconHandle icon, std::string_view tip);

// Deletes the icon the record describes (that of the last add).
void TrayRemove();

// Replaces the window's procedure by TrayWindowProc. Does nothing while
// hooked, and stays unhooked when the replacement fails.
void HookWindow(WindowHandle window);

// Puts the window's own procedure back; nothing when not hooked.
void UnhookWindow();

// "&Systray" up to hiding the window: hooks it and puts up its icon (the
// icon's handle as its id). False, with the hook undone, when either
// failed: hidden then, the window could never be brought back.
bool SendToTray(WindowHandle window, IconHandle icon, std::string_view tip);

// The window's procedure while hooked.
std::intptr_t TrayWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam);

// What the tray's sequences do to the main window.
class TrayWindow {
 public:
  virtual void HideWindow() = 0;
  // Shown again, in front.
  virtual void ShowWindow() = 0;
  virtual void CloseWindow() = 0;
  // A message box over the window.
  virtual void Tell(std::string_view text) = 0;

 protected:
  ~TrayWindow() = default;
};

// "&Systray": the window hooked, its icon up with the program's tip, and
// the window hidden; where either fails the window stays and says so.
void GoToTray(TrayWindow& view, WindowHandle window, IconHandle icon);
// "&Restore" in the tray menu: the window back and the icon gone.
void RestoreFromTray(TrayWindow& view);
// "&Exit" in the tray menu: the icon gone and the window closed.
void ExitFromTray(TrayWindow& view);
// The window closing while in the tray: no hook and no icon left behind.
void LeaveTray();
// The notification area's host has gone for good (the shell or the panel
// ended): while in the tray, the window comes back as "&Restore" brings
// it. Hidden without an icon, it could never be brought back.
void TrayHostGone(TrayWindow& view);

const TrayIconRecord& TrayRecord();
const HookState& TrayHook();

// The services underneath. Until some are given, every add is refused and
// every hook fails.
void UseTrayPlatform(NotifyArea* area, WindowSystem* windows);

// Back to the start: no record, no hook, no services. For tests.
void ResetTray();

}  // namespace tolvane::ui::tray
