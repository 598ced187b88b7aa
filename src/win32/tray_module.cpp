#include "win32/tray_module.h"

#include <algorithm>

#include "win32/system_library.h"
#include "win32/wide_text.h"

namespace tolvane::ui::win {
namespace {

TrayIconRecord record;
HookState hook;
TrayMenuOwner* menuOwner = nullptr;
NotifyIconFunction notifyIcon = nullptr;

// The record to the shell, whose function is loaded with the first icon.
bool Send(DWORD message) {
  if (!notifyIcon) notifyIcon = SystemFunction<NotifyIconFunction>(L"shell32.dll", "Shell_NotifyIconW");
  NOTIFYICONDATAW data = ShellRecord(record);
  return notifyIcon && notifyIcon(message, &data);
}

}  // namespace

TipField MakeTipField(std::string_view text) {
  TipField field;
  field.fill(' ');
  const std::size_t length = std::min(text.size(), field.size());
  std::copy_n(text.begin(), length, field.begin());
  if (length < field.size()) field[length] = '\0';
  return field;
}

NOTIFYICONDATAW ShellRecord(const TrayIconRecord& from) {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = from.window;
  data.uID = from.id;
  data.uFlags = from.flags;
  data.uCallbackMessage = from.callbackMessage;
  data.hIcon = from.icon;
  // The tip as the field holds it (up to its NUL, UTF-8), in the shell's
  // wide form. A tip of 64 characters has no NUL of its own: the shell's
  // first layout holds 64, so the last character gives way to one.
  static_assert(sizeof data.szTip / sizeof data.szTip[0] >= kTipWidth);
  const auto end = std::find(from.tip.begin(), from.tip.end(), '\0');
  const std::wstring tip = Wide(std::string_view(from.tip.data(), static_cast<std::size_t>(end - from.tip.begin())));
  std::copy_n(tip.begin(), std::min(tip.size(), kTipWidth - 1), data.szTip);
  return data;
}

void UseShellNotifyIcon(NotifyIconFunction notify) { notifyIcon = notify; }

bool TrayAdd(HWND window, std::uint32_t id, HICON icon, std::string_view tip) {
  record = TrayIconRecord{.size = kTrayIconRecordSize, .window = window, .id = id,
                          .flags = kNifMessage | kNifIcon | kNifTip, .callbackMessage = kTrayCallbackMessage,
                          .icon = icon, .tip = MakeTipField(tip)};
  return TrayAddAgain();
}

bool TrayAddAgain() {
  TrayRemove();
  return Send(NIM_ADD) || Send(NIM_MODIFY);
}

void TrayRemove() { Send(NIM_DELETE); }

// The wide calls: a window subclassed with the single-byte ones would have
// its text messages pass through the code page while hooked.
void HookWindow(HWND window) {
  // Hooking twice would put TrayWindowProc aside as the window's own.
  if (hook.hooked != kFalse) return;
  const LONG_PTR previous = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TrayWindowProc));
  // Nothing was replaced (no such window): keeping a null procedure would
  // install it at the next unhook.
  if (previous == 0) return;
  hook.window = window;
  hook.previous = reinterpret_cast<WNDPROC>(previous);
  hook.hooked = kTrue;
}

void UnhookWindow() {
  if (hook.hooked != kTrue) return;
  SetWindowLongPtrW(hook.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook.previous));
  hook.hooked = kFalse;
}

LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hook.hooked != kTrue) return 0;
  if (message == kTrayCallbackMessage && lParam == WM_RBUTTONDOWN) {
    if (menuOwner != nullptr) menuOwner->SysTrayMouseEventHandler();
    // The menu may have unhooked the window or closed it: read nothing more.
    return -1;
  }
  return CallWindowProcW(hook.previous, window, message, wParam, lParam);
}

void UseTrayMenuOwner(TrayMenuOwner* owner) { menuOwner = owner; }

const TrayIconRecord& TrayRecord() { return record; }
const HookState& TrayHook() { return hook; }

}  // namespace tolvane::ui::win
