// The tray module: the notification-area icon, the hook on the main
// window's message procedure while the icon is up, and the procedure that
// hands the icon's right-button press to the window's menu. One icon
// record and one hook state for the whole program; one thread.
#pragma once

#include <cstdint>
#include <string_view>

#include "ui/tray/hook_state.h"
#include "ui/tray/tray_icon_record.h"
#include "ui/tray/window_message.h"

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

const TrayIconRecord& TrayRecord();
const HookState& TrayHook();

// The services underneath. Until some are given, every add is refused and
// every hook fails.
void UseTrayPlatform(NotifyArea* area, WindowSystem* windows);

// Back to the start: no record, no hook, no services. For tests.
void ResetTray();

}  // namespace tolvane::ui::tray
