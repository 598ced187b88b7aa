// The notification area, as the tray module sees it.
#pragma once

#include "app/tray_icon_record.h"

namespace tolvane::ui::tray {

class NotifyArea {
 public:
  virtual ~NotifyArea() = default;

  // Puts up the icon the record describes; false when the area is missing
  // or refuses it (an icon with that window and id is already there).
  virtual bool Add(const TrayIconRecord& record) = 0;

  // Takes down the icon with the record's window and id; nothing when
  // there is none.
  virtual void Delete(const TrayIconRecord& record) = 0;
};

}  // namespace tolvane::ui::tray
