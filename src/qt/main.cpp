// Tolvane: ICMP latency to one host, as a chart.
#include <QApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "probe/privileges.h"
#include "qt/program.h"
#include "qt/qt_text.h"
#include "qt/toolkit_options.h"

namespace {

using tolvane::ui::CommandLine;

// What main() does with a command line that doesn't open the window: the
// text printed and the exit status (0, 1 when the text could not be
// written, or 2 for a refused command line).
int PrintCommandLineText(const CommandLine& line) {
  const bool refused = line.action == CommandLine::Action::Refuse;
  std::FILE* stream = refused ? stderr : stdout;
  errno = 0;
  // Text that never arrived (a full disk, a closed stream) is no success:
  // the last of it may fail only at the flush, or at the close.
  bool written = std::fputs(tolvane::ui::Q(line.text).toLocal8Bit().constData(), stream) >= 0;
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

// Qt aborts when it can't reach a display; say so plainly instead.
bool NoDisplay() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
  auto unset = [](const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr || *value == '\0';
  };
  return unset("QT_QPA_PLATFORM") && unset("DISPLAY") && unset("WAYLAND_DISPLAY");
#else
  return false;
#endif
}

// The displays the environment names, as the user would write them.
std::string DisplayTried() {
  std::vector<std::string> named;
  for (const char* name : {"WAYLAND_DISPLAY", "DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') named.push_back(std::string(name) + "=" + value);
  }
  std::string text = named.empty()      ? std::string("the platform could not be started")
                     : named.size() == 1 ? "the display " + named[0] + " could not be opened"
                                         : "neither the display " + named[0] + " nor " + named[1] + " could be opened";
  if (const char* platform = std::getenv("QT_QPA_PLATFORM"); platform != nullptr && *platform != '\0')
    text += std::string(" (QT_QPA_PLATFORM=") + platform + ")";
  return text + ".";
}

// While the application connects to the display, a fatal message (such as
// an unreachable DISPLAY) ends the program with a plain word, not an abort.
QtMessageHandler defaultHandler = nullptr;

void StartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    defaultHandler(type, context, message);
    return;
  }
  // Qt's own word blames the installation; the usual cause is a display
  // that isn't there, so name the display tried.
  std::fprintf(stderr, "tolvane: cannot open the window: %s\n", DisplayTried().c_str());
  std::_Exit(2);
}

}  // namespace

int main(int argc, char** argv) {
  // Before anything reads the environment or the arguments, or loads a plugin.
  tolvane::probe::GiveUpPrivileges(argc, argv, tolvane::ui::kToolkitOverrides);
  // The command line is read before any application object, so that --help
  // and --version need no display; the options every Qt program takes are
  // let through to it (what may not be trusted among them is gone by now).
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) words.push_back(tolvane::ui::Utf8(QString::fromLocal8Bit(argv[i])));
  const CommandLine line = ReadCommandLine(
      words, tolvane::ui::PassedOptions{tolvane::ui::kToolkitValueOptions, tolvane::ui::kToolkitFlagOptions});
  if (line.action != CommandLine::Action::OpenWindow) return PrintCommandLineText(line);
  if (NoDisplay()) {
    std::fputs(
        "tolvane: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
        "Run it from a desktop session, or with scripts/start.sh, which falls back to a virtual\n"
        "display and saves a screenshot.\n",
        stderr);
    return 2;
  }
  defaultHandler = qInstallMessageHandler(StartupMessage);
  QApplication app(argc, argv);
  qInstallMessageHandler(defaultHandler);
  return tolvane::ui::RunProgram(app, line.boxes);
}
