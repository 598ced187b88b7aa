// The command line as main() reads it, before any application object.
#include <gtest/gtest.h>

#include "ui/main/command_line.h"

namespace tolvane::ui {
namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, OpensPrintsOrRefuses) {
  const struct {
    QStringList arguments;
    Action action;
    QStringList boxes;
    const char* text;  // a part of what is printed
  } cases[] = {
      {{}, Action::OpenWindow, {}, ""},
      {{"10.77.0.2"}, Action::OpenWindow, {"10.77.0.2"}, ""},
      {{"localhost", "12", "0.5"}, Action::OpenWindow, {"localhost", "12", "0.5"}, ""},
      {{"--", "-x", ""}, Action::OpenWindow, {"-x", ""}, ""},
      {{"--help"}, Action::PrintAndExit, {}, "Usage: tolvane [options] [host [count [interval]]]\n"},
      {{"10.77.0.2", "-h"}, Action::PrintAndExit, {}, "  interval       Seconds between pings"},
      {{"--version"}, Action::PrintAndExit, {}, "Tolvane 1.0.10\nCopyright"},
      {{"--bogus"}, Action::Refuse, {}, "tolvane: Unknown option 'bogus'.\nTry 'tolvane --help'"},
      // The toolkit's own options are left to the application object.
      {{"-platform", "xcb", "-reverse", "h"}, Action::OpenWindow, {"h"}, ""},
      {{"h", "1", "2", "3", "4"}, Action::Refuse, {}, "too many arguments: 3 4\n"},
  };
  for (const auto& c : cases) {
    const QString joined = c.arguments.join(' ');
    const CommandLine line = ReadCommandLine(QStringList{"/usr/bin/tolvane"} + c.arguments);
    EXPECT_EQ(line.action, c.action) << joined.toStdString();
    EXPECT_EQ(line.boxes.join('|').toStdString(), c.boxes.join('|').toStdString()) << joined.toStdString();
    EXPECT_TRUE(line.text.contains(c.text)) << joined.toStdString() << ": " << line.text.toStdString();
    EXPECT_EQ(line.text.isEmpty(), c.action == Action::OpenWindow) << joined.toStdString();
  }
}

}  // namespace
}  // namespace tolvane::ui
