// The main window's translucency: the whole window, chart and controls
// included, at one opacity over what lies beneath it.
//
// X11 (with a compositor) and Windows take an opacity for the window as a
// whole. Wayland has no such request: there the window is made with an
// alpha channel and paints itself at that opacity.
#pragma once

#include <QString>

class QWidget;

namespace tolvane::ui {

// Whether windows on the named Qt platform ("xcb", "wayland", ...) must
// paint their own opacity.
bool PaintsOwnOpacity(const QString& platformName);

// Makes `window` (a top-level widget, before it is first shown) translucent
// at `alpha`/255, in the way the running platform allows.
void MakeTranslucent(QWidget& window, int alpha);

// The way for platforms that paint their own opacity: an alpha channel for
// the window, and a topmost layer that scales whatever the window and its
// children paint to `alpha`.
void PaintTranslucent(QWidget& window, int alpha);

}  // namespace tolvane::ui
