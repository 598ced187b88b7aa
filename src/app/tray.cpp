#include "app/tray.h"

#include "app/notify_area.h"
#include "app/tray_menu_owner.h"
#include "app/tray_texts.h"
#include "app/window_system.h"

namespace tolvane::ui::tray {
namespace {

struct Module {
  TrayIconRecord record;
  HookState hook;
  NotifyArea* area = nullptr;
  WindowSystem* windows = nullptr;
};

Module& State() {
  static Module module;
  return module;
}

}  // namespace

bool TrayAdd(WindowHandle window, std::uint32_t id, IconHandle icon, std::string_view tip) {
  TrayIconRecord& record = State().record;
  record.window = window;
  record.id = id;
  record.flags = kNifMessage | kNifIcon | kNifTip;
  record.callbackMessage = kTrayCallbackMessage;
  record.icon = icon;
  record.tip = MakeTipField(tip);
  record.size = kTrayIconRecordSize;
  return State().area != nullptr && State().area->Add(record);
}

void TrayRemove() {
  if (State().area != nullptr) State().area->Delete(State().record);
}

void HookWindow(WindowHandle window) {
  HookState& hook = State().hook;
  // Hooking twice would put TrayWindowProc aside as the window's own.
  if (hook.hooked != kFalse || State().windows == nullptr) return;
  const WindowProc previous = State().windows->SetWindowProc(window, &TrayWindowProc);
  // Nothing was replaced, so there is nothing to put back: keeping a null
  // procedure would install it at the next unhook.
  if (previous == nullptr) return;
  hook.window = window;
  hook.previous = previous;
  hook.hooked = kTrue;
}

void UnhookWindow() {
  HookState& hook = State().hook;
  if (hook.hooked != kTrue) return;
  if (State().windows != nullptr) State().windows->SetWindowProc(hook.window, hook.previous);
  hook.hooked = kFalse;
}

bool SendToTray(WindowHandle window, IconHandle icon, std::string_view tip) {
  HookWindow(window);
  if (TrayHook().hooked == kTrue && TrayAdd(window, static_cast<std::uint32_t>(icon), icon, tip)) return true;
  UnhookWindow();
  return false;
}

std::intptr_t TrayWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
  const HookState& hook = State().hook;
  if (hook.hooked != kTrue) return 0;
  if (message == kTrayCallbackMessage && lParam == kRightButtonDown) {
    TrayMenuOwner* owner = State().windows ? State().windows->MenuOwner(window) : nullptr;
    if (owner != nullptr) owner->SysTrayMouseEventHandler();
    // The menu may have unhooked the window or closed it: read nothing more.
    return -1;
  }
  return hook.previous(window, message, wParam, lParam);
}

void GoToTray(TrayWindow& view, WindowHandle window, IconHandle icon) {
  if (!SendToTray(window, icon, kTrayTip)) {
    view.Tell(kNoTrayMessage);
    return;
  }
  view.HideWindow();
}

void RestoreFromTray(TrayWindow& view) {
  UnhookWindow();
  view.ShowWindow();
  TrayRemove();
}

void ExitFromTray(TrayWindow& view) {
  UnhookWindow();
  TrayRemove();
  view.CloseWindow();
}

void LeaveTray() {
  if (TrayHook().hooked != kTrue) return;
  UnhookWindow();
  TrayRemove();
}

void TrayHostGone(TrayWindow& view) {
  if (TrayHook().hooked == kTrue) RestoreFromTray(view);
}

const TrayIconRecord& TrayRecord() { return State().record; }
const HookState& TrayHook() { return State().hook; }

void UseTrayPlatform(NotifyArea* area, WindowSystem* windows) {
  State().area = area;
  State().windows = windows;
}

void ResetTray() { State() = Module{}; }

}  // namespace tolvane::ui::tray
