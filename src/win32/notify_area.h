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

class ShellNotifyArea final : public NotifyArea {
 public:
  bool Add(const TrayIconRecord& record) override;
  void Delete(const TrayIconRecord& record) override;
};

}  // namespace tolvane::ui::tray
