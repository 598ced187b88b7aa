#include "ui/main/window_effects.h"

namespace tolvane::ui {

// On X11 and Wayland the compositor draws window shadows; a client can't ask for one.
void AddDropShadow(std::uintptr_t) {}

}  // namespace tolvane::ui
