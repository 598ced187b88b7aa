// The program's start-up, between the application object and its event loop.
#pragma once

#include <string>
#include <vector>

#include "qt/main_window.h"

class QApplication;

namespace tolvane::ui {

// Names the application, shows the main window with `boxes` in its host,
// count and interval boxes (see MainWindow::Prefill) and runs until it
// closes.
int RunProgram(QApplication& app, const std::vector<std::string>& boxes = {});

}  // namespace tolvane::ui
