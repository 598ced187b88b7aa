#include "qt/command_line.h"

#include <QString>

#include <cstdio>

#include "qt/qt_text.h"
#include "qt/toolkit_options.h"

namespace tolvane::ui {

CommandLine ReadCommandLine(const QStringList& arguments) {
  std::vector<std::string> words;
  for (qsizetype i = 1; i < arguments.size(); ++i) words.push_back(Utf8(arguments[i]));
  // What may not be trusted among them is gone by then: see GiveUpPrivileges.
  return ReadCommandLine(words, PassedOptions{kToolkitValueOptions, kToolkitFlagOptions});
}

int PrintCommandLineText(const CommandLine& line) {
  const bool refused = line.action == CommandLine::Action::Refuse;
  std::fputs(Q(line.text).toLocal8Bit().constData(), refused ? stderr : stdout);
  return ExitStatus(line);
}

}  // namespace tolvane::ui
