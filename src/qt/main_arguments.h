// The command line as main() reads it, before any application object, so
// that --help and --version need no display: the core's reading, with the
// options every Qt program takes let through to the application object.
#pragma once

#include <QStringList>

#include "app/command_line.h"

namespace tolvane::ui {

// `arguments` as main() gets them, the program's own name first.
CommandLine ReadCommandLine(const QStringList& arguments);

// What main() does with a command line that doesn't open the window: the
// text printed and the exit status (0, 1 when the text could not be
// written, or 2 for a refused command line).
int PrintCommandLineText(const CommandLine& line);

}  // namespace tolvane::ui
