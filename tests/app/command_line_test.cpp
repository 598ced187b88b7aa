// The command line both windows read: the boxes it fills, the texts it
// prints, what it refuses.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"

namespace tolvane::ui {
namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, OpensPrintsOrRefuses) {
  constexpr std::string_view withValue[] = {"platform"};
  constexpr std::string_view flags[] = {"reverse"};
  const struct {
    std::vector<std::string> arguments;
    Action action;
    std::vector<std::string> boxes;
    const char* text;  // a part of what is printed
  } cases[] = {
      {{}, Action::OpenWindow, {}, ""},
      {{"10.77.0.2"}, Action::OpenWindow, {"10.77.0.2"}, ""},
      {{"localhost", "12", "0.5"}, Action::OpenWindow, {"localhost", "12", "0.5"}, ""},
      {{"--", "-x", ""}, Action::OpenWindow, {"-x", ""}, ""},
      {{"-", "\xd0\xbf\xd1\x80\xd0\xb8"}, Action::OpenWindow, {"-", "\xd0\xbf\xd1\x80\xd0\xb8"}, ""},
      {{"--help"}, Action::PrintAndExit, {}, "Usage: tolvane [options] [host [count [interval]]]\n"},
      {{"10.77.0.2", "-h"}, Action::PrintAndExit, {}, "  interval       Seconds between pings"},
      {{"-help"}, Action::PrintAndExit, {}, "  -v, --version  Show the version and exit.\n"},
      {{"--version"}, Action::PrintAndExit, {}, "Tolvane 1.0.10\nCopyright"},
      {{"--bogus"}, Action::Refuse, {}, "tolvane: Unknown option 'bogus'.\nTry 'tolvane --help'"},
      {{"-a", "--b=1", "-h"}, Action::Refuse, {}, "tolvane: Unknown options: a, b.\n"},
      {{"--version=2"}, Action::Refuse, {}, "Unexpected value after '--version'."},
      {{"h", "-platform"}, Action::Refuse, {}, "Missing value after '-platform'."},
      // The toolkit's own options are left to it.
      {{"-platform", "xcb", "-reverse", "h", "--platform=x"}, Action::OpenWindow, {"h"}, ""},
      {{"h", "1", "2", "3", "4"}, Action::Refuse, {}, "too many arguments: 3 4\n"},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const auto& a : c.arguments) joined += a + " ";
    const CommandLine line = ReadCommandLine(c.arguments, PassedOptions{withValue, flags});
    EXPECT_EQ(line.action, c.action) << joined;
    EXPECT_EQ(line.boxes, c.boxes) << joined;
    EXPECT_NE(line.text.find(c.text), std::string::npos) << joined << ": " << line.text;
    EXPECT_EQ(line.text.empty(), c.action == Action::OpenWindow) << joined;
    EXPECT_EQ(ExitStatus(line), c.action == Action::Refuse ? 2 : 0) << joined;
  }
  // Without the toolkit's options, its names are as unknown as any.
  EXPECT_EQ(ReadCommandLine({"-platform", "xcb"}).action, Action::Refuse);
}

}  // namespace
}  // namespace tolvane::ui
