// The program's icon: three green latency bars on the window's teal.
#pragma once

#include <QIcon>

namespace tolvane::ui {

QIcon AppIcon();

}  // namespace tolvane::ui
