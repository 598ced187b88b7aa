// The program's start-up, between the application object and its event loop.
#pragma once

#include "ui/main/main_window.h"

class QApplication;

namespace tolvane::ui {

// The system's socket library, ICMP echo service and host lookup.
Engine SystemEngine();

// Names the application, shows the main window and runs until it closes.
int RunProgram(QApplication& app);

}  // namespace tolvane::ui
