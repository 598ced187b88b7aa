// The program's start-up, between the application object and its event loop.
#pragma once

class QApplication;

namespace tolvane::ui {

// Names the application, shows the main window and runs until it closes.
int RunProgram(QApplication& app);

}  // namespace tolvane::ui
