// Which window the tray hooked and the procedure it put aside.
#pragma once

#include <cstdint>

#include "app/window_message.h"

namespace tolvane::ui::tray {

struct HookState {
  WindowHandle window = 0;
  WindowProc previous = nullptr;
  std::int16_t hooked = kFalse;  // kTrue while the window's procedure is replaced
};

}  // namespace tolvane::ui::tray
