#include "qt/system_colours.h"

#include <QApplication>
#include <QPalette>

#include "app/contrast.h"

namespace tolvane::ui {

// Qt paints the workspace of an MDI area with the Dark role, and menus with
// Window: the nearest the desktop palette has to those system colours.
QColor AppWorkspaceColour() { return QApplication::palette().color(QPalette::Dark); }
QColor MenuColour() { return QApplication::palette().color(QPalette::Window); }

// A dark palette can make the two nearly equal; the box's ordinary text
// colour then stands in.
QColor HostTextColour() {
  const QColor ordinary = QApplication::palette().color(QPalette::Text);
  return QColor(ReadableText(MenuColour().rgb(), AppWorkspaceColour().rgb(), ordinary.rgb()));
}

}  // namespace tolvane::ui
