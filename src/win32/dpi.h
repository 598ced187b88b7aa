// Dots per inch of a window, and what scales with them: the frame around a
// client area of a given size, and the default GUI font.
#pragma once

#include <windows.h>

#include "app/layout.h"

namespace tolvane::ui::win {

constexpr int kBaseDpi = 96;

// The window's DPI where the system tracks it per window (Windows 10 on),
// the screen's otherwise.
int WindowDpi(HWND window);

// The window rectangle (origin 0, 0) around a client area of `client`
// twips at `dpi`, for the given styles.
RECT FrameFor(layout::Place client, DWORD style, DWORD exStyle, int dpi);

// The default GUI font at `dpi`; the caller deletes it.
HFONT MakeGuiFont(int dpi);

// Sizes the window so that its client area is `client` twips at `dpi`,
// whatever the frame around it measures (the frame's metrics need not
// follow the DPI).
void FitClientArea(HWND window, layout::Place client, int dpi);

// Moves a child to its place in the twip layout at `dpi`.
void PlaceChild(HWND child, layout::Place place, int dpi);

}  // namespace tolvane::ui::win
