// What the command line asks for: the window (with the boxes it fills), the
// usage or the version text, or nothing but a complaint. Read before any
// application object exists, so that --help and --version need no display.
#pragma once

#include <QString>
#include <QStringList>

namespace tolvane::ui {

struct CommandLine {
  enum class Action { OpenWindow, PrintAndExit, Refuse };
  Action action = Action::OpenWindow;
  // The host, count and interval box texts, in that order; fewer than three
  // leave the other boxes as the window opens them.
  QStringList boxes;
  // For PrintAndExit the text for standard output, for Refuse the one for
  // standard error.
  QString text;
};

// `arguments` as main() gets them, the program's own name first.
CommandLine ReadCommandLine(const QStringList& arguments);

// What main() does with a command line that doesn't open the window: the
// text printed and the exit status (0, 1 when the text could not be
// written, or 2 for a refused command line).
int PrintCommandLineText(const CommandLine& line);

}  // namespace tolvane::ui
