#include "qt/command_line.h"

#include <QCommandLineParser>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/about_texts.h"
#include "app/program_info.h"
#include "qt/qt_text.h"
#include "qt/toolkit_options.h"

namespace tolvane::ui {
namespace {

constexpr int kMostPositionals = 3;  // host [count [interval]]

QString VersionText() {
  return QString("%1 %2.%3.%4\n%5\n")
      .arg(Q(about::kTitle))
      .arg(about::kVersionMajor)
      .arg(about::kVersionMinor)
      .arg(about::kVersionRevision)
      .arg(Q(about::kLicenceNotice));
}

CommandLine Refused(const QString& why) {
  return {CommandLine::Action::Refuse, {},
          QString("tolvane: %1\nTry 'tolvane --help' for more information.\n").arg(why)};
}

}  // namespace

CommandLine ReadCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  // "-platform" reads as one unknown option, not as eight letters.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(Q(about::kComments));
  const QCommandLineOption help(QStringList{"h", "help"}, "Show this help and exit.");
  const QCommandLineOption version(QStringList{"v", "version"}, "Show the version and exit.");
  parser.addOption(help);
  parser.addOption(version);
  // The options every Qt program takes go on to the application object
  // (what may not be trusted is gone by then: see GiveUpPrivileges).
  for (const std::string_view name : kToolkitValueOptions) {
    QCommandLineOption option(Q(name), QString(), "value");
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  for (const std::string_view name : kToolkitFlagOptions) {
    QCommandLineOption option(Q(name));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  parser.addPositionalArgument("host", "Host to ping: a dotted IPv4 address or a name.", "[host");
  parser.addPositionalArgument("count", "How many pings to send, at most 50.", "[count");
  parser.addPositionalArgument("interval", "Seconds between pings, at most 60.", "[interval]]]");

  if (!parser.parse(arguments)) return Refused(parser.errorText());
  if (parser.isSet(help)) {
    // Without an application object the parser can't know the program's name.
    QString usage = parser.helpText();
    usage.replace("<executable_name>", "tolvane");
    return {CommandLine::Action::PrintAndExit, {}, usage};
  }
  if (parser.isSet(version)) return {CommandLine::Action::PrintAndExit, {}, VersionText()};
  const QStringList positionals = parser.positionalArguments();
  if (positionals.size() > kMostPositionals) {
    return Refused(QString("too many arguments: %1").arg(positionals.mid(kMostPositionals).join(' ')));
  }
  return {CommandLine::Action::OpenWindow, positionals, {}};
}

int PrintCommandLineText(const CommandLine& line) {
  const bool refused = line.action == CommandLine::Action::Refuse;
  std::FILE* stream = refused ? stderr : stdout;
  errno = 0;
  // Text that never arrived (a full disk, a closed stream) is no success:
  // the last of it may fail only at the flush, or at the close.
  bool written = std::fputs(line.text.toLocal8Bit().constData(), stream) >= 0;
  written = std::fflush(stream) == 0 && written;
  if (!refused) written = std::fclose(stream) == 0 && written;
  if (!written && !refused) {
    const int error = errno;
    std::fprintf(stderr, "tolvane: cannot write the text: %s\n",
                 error != 0 ? std::strerror(error) : "write error");
    return 1;
  }
  return refused ? 2 : 0;
}

}  // namespace tolvane::ui
