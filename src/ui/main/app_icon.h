// The program's icon: green latency bars on the window's teal (res/tolvane.svg).
#pragma once

#include <QIcon>

namespace tolvane::ui {

QIcon AppIcon();

}  // namespace tolvane::ui
