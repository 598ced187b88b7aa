#include "win32/notify_area.h"

#include <algorithm>

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

bool ShellNotifyArea::Add(const TrayIconRecord& record) {
  NOTIFYICONDATAA data = ShellRecord(record);
  return Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

void ShellNotifyArea::Delete(const TrayIconRecord& record) {
  NOTIFYICONDATAA data = ShellRecord(record);
  Shell_NotifyIconA(NIM_DELETE, &data);
}

}  // namespace tolvane::ui::tray
