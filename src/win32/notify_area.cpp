#include "win32/notify_area.h"

#include <algorithm>

#include "win32/system_library.h"

namespace tolvane::ui::tray {

NOTIFYICONDATAA ShellRecord(const TrayIconRecord& record) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = reinterpret_cast<HWND>(record.window);
  data.uID = record.id;
  data.uFlags = record.flags;
  data.uCallbackMessage = record.callbackMessage;
  data.hIcon = reinterpret_cast<HICON>(record.icon);
  // A tip of 64 characters has no NUL of its own: the shell would read on
  // past the field (its first layout holds 64), so the last character gives way to one.
  static_assert(sizeof data.szTip >= kTipWidth);
  std::copy(record.tip.begin(), record.tip.end(), data.szTip);
  data.szTip[kTipWidth - 1] = '\0';
  return data;
}

NotifyIconFunction ShellNotifyArea::Notify() {
  if (!notify_) notify_ = ui::win::SystemFunction<BOOL WINAPI(DWORD, NOTIFYICONDATAA*)>(L"shell32.dll", "Shell_NotifyIconA");
  return notify_;
}

bool ShellNotifyArea::Add(const TrayIconRecord& record) {
  const NotifyIconFunction notify = Notify();
  if (!notify) return false;
  NOTIFYICONDATAA data = ShellRecord(record);
  notify(NIM_DELETE, &data);
  if (notify(NIM_ADD, &data)) return true;
  return notify(NIM_MODIFY, &data) != FALSE;
}

void ShellNotifyArea::Delete(const TrayIconRecord& record) {
  const NotifyIconFunction notify = Notify();
  if (!notify) return;
  NOTIFYICONDATAA data = ShellRecord(record);
  notify(NIM_DELETE, &data);
}

}  // namespace tolvane::ui::tray
