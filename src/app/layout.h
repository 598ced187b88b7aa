// The main window's client area and its chart, in twips from the top left
// of the client area. Both windows (Qt and Win32) take their rectangles from
// here and from the controls' table (controls.h).
#pragma once

#include "app/twips.h"

namespace tolvane::ui::layout {

constexpr Place kClientArea{0, 0, 9135, 4995};
constexpr Place kGraph{0, 0, 9135, 3975};

}  // namespace tolvane::ui::layout
