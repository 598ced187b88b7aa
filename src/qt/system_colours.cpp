#include "qt/system_colours.h"

#include <QApplication>
#include <QPalette>

namespace tolvane::ui {

// Qt paints the workspace of an MDI area with the Dark role, and menus with
// Window: the nearest the desktop palette has to those system colours.
QColor AppWorkspaceColour() { return QApplication::palette().color(QPalette::Dark); }
QColor MenuColour() { return QApplication::palette().color(QPalette::Window); }

}  // namespace tolvane::ui
