#include "qt/main_arguments.h"

#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstring>

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
  std::FILE* stream = refused ? stderr : stdout;
  errno = 0;
  // Text that never arrived (a full disk, a closed stream) is no success:
  // the last of it may fail only at the flush, or at the close.
  bool written = std::fputs(Q(line.text).toLocal8Bit().constData(), stream) >= 0;
  written = std::fflush(stream) == 0 && written;
  if (!refused) written = std::fclose(stream) == 0 && written;
  if (!written && !refused) {
    const int error = errno;
    std::fprintf(stderr, "tolvane: cannot write the text: %s\n",
                 error != 0 ? std::strerror(error) : "write error");
    return 1;
  }
  return ExitStatus(line);
}

}  // namespace tolvane::ui
