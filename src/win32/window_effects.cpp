#include <windows.h>

#include "win32/window_effects.h"

namespace tolvane::ui {

// The shadow is a style of the window's class, so every window of that
// class gets it. Results are not examined: without it the window simply
// has no shadow.
void AddDropShadow(std::uintptr_t nativeWindow) {
  const auto window = reinterpret_cast<HWND>(nativeWindow);
  const ULONG_PTR style = GetClassLongPtrA(window, GCL_STYLE);
  SetClassLongPtrA(window, GCL_STYLE, static_cast<LONG_PTR>(style | CS_DROPSHADOW));
}

}  // namespace tolvane::ui
