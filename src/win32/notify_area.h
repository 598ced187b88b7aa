// The notification area of the Windows shell, through Shell_NotifyIconA.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include "app/notify_area.h"

namespace tolvane::ui::tray {

// The shell's record for the tray's icon record. The tray keeps the 88-byte
// layout of 32-bit Windows; the shell of this build takes its own first
// layout, so the size is that one's.
NOTIFYICONDATAA ShellRecord(const TrayIconRecord& record);

// Shell_NotifyIconA's form: the shell's own, or a test's.
using NotifyIconFunction = BOOL(WINAPI*)(DWORD message, NOTIFYICONDATAA* data);

class ShellNotifyArea final : public NotifyArea {
 public:
  // The shell's Shell_NotifyIconA, loaded with the first icon.
  ShellNotifyArea() = default;
  explicit ShellNotifyArea(NotifyIconFunction notify) : notify_(notify) {}

  // An icon of the record's window and id left over from before (an add
  // the shell timed out on, or an earlier run) is taken down first. An add
  // that reports failure although the shell did put the icon up (it can
  // time out) counts as made: the icon answers a change.
  bool Add(const TrayIconRecord& record) override;
  void Delete(const TrayIconRecord& record) override;

 private:
  NotifyIconFunction Notify();

  NotifyIconFunction notify_ = nullptr;
};

}  // namespace tolvane::ui::tray
