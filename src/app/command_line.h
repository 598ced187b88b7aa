// What the command line asks for, on either system: the window (with the
// boxes it fills), the usage or the version text, or nothing but a
// complaint. `tolvane [host [count [interval]]]`, --help, --version.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane::ui {

struct CommandLine {
  enum class Action { OpenWindow, PrintAndExit, Refuse };
  Action action = Action::OpenWindow;
  // The host, count and interval box texts, in that order (UTF-8); fewer
  // than three leave the other boxes as the window opens them.
  std::vector<std::string> boxes;
  // For PrintAndExit the text for standard output, for Refuse the one for
  // standard error.
  std::string text;
};

// Options the window's toolkit reads itself: let through, not refused.
struct PassedOptions {
  std::span<const std::string_view> withValue;
  std::span<const std::string_view> flags;
};

// `arguments` in UTF-8, without the program's name. Options take one dash
// or two ("-help" is "--help"), a value after "=" or as the next argument;
// "--" ends them.
CommandLine ReadCommandLine(const std::vector<std::string>& arguments, PassedOptions passed = {});

// The exit status for a command line that doesn't open the window: 0, or 2
// when refused.
inline int ExitStatus(const CommandLine& line) { return line.action == CommandLine::Action::Refuse ? 2 : 0; }

}  // namespace tolvane::ui
