// The desktop's colours that the text boxes use: the application-workspace
// colour behind them, and the menu colour for the host box's text.
#pragma once

#include <QColor>

namespace tolvane::ui {

QColor AppWorkspaceColour();
QColor MenuColour();
// The host box's text: the menu colour wherever it can be read.
QColor HostTextColour();

}  // namespace tolvane::ui
