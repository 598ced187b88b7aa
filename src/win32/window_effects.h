// Platform window effects the main window asks for at load.
#pragma once

#include <cstdint>

namespace tolvane::ui {

// Gives the window (its native handle) a drop shadow.
void AddDropShadow(std::uintptr_t nativeWindow);

}  // namespace tolvane::ui
