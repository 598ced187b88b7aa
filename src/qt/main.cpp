// Tolvane: ICMP latency to one host, as a chart.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "probe/privileges.h"
#include "qt/main_arguments.h"
#include "qt/program.h"
#include "qt/toolkit_options.h"

namespace {

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
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const tolvane::ui::CommandLine line = tolvane::ui::ReadCommandLine(arguments);
  if (line.action != tolvane::ui::CommandLine::Action::OpenWindow) {
    return tolvane::ui::PrintCommandLineText(line);
  }
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
  QStringList boxes;
  for (const std::string& box : line.boxes) boxes << QString::fromStdString(box);
  return tolvane::ui::RunProgram(app, boxes);
}
