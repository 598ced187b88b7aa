#include "app/command_line.h"

#include <algorithm>

#include "app/about_texts.h"
#include "app/program_info.h"

namespace tolvane::ui {
namespace {

constexpr std::size_t kMostPositionals = 3;  // host [count [interval]]

std::string UsageText() {
  return "Usage: tolvane [options] [host [count [interval]]]\n" + std::string(about::kComments) +
         "\n"
         "\n"
         "Options:\n"
         "  -h, --help     Show this help and exit.\n"
         "  -v, --version  Show the version and exit.\n"
         "\n"
         "Arguments:\n"
         "  host           Host to ping: a dotted IPv4 address or a name.\n"
         "  count          How many pings to send, at most 50.\n"
         "  interval       Seconds between pings, at most 60.\n";
}

std::string VersionText() {
  return std::string(about::kTitle) + " " + std::to_string(about::kVersionMajor) + "." +
         std::to_string(about::kVersionMinor) + "." + std::to_string(about::kVersionRevision) + "\n" +
         std::string(about::kLicenceNotice) + "\n";
}

CommandLine Refused(const std::string& why) {
  return {CommandLine::Action::Refuse, {}, "tolvane: " + why + "\nTry 'tolvane --help' for more information.\n"};
}

bool Among(std::span<const std::string_view> names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The texts from `from` on, `separator` between them.
std::string Joined(const std::vector<std::string>& texts, std::size_t from, const std::string& separator) {
  std::string all = texts[from];
  for (std::size_t i = from + 1; i < texts.size(); ++i) all += separator + texts[i];
  return all;
}

}  // namespace

CommandLine ReadCommandLine(const std::vector<std::string>& arguments, PassedOptions passed) {
  std::vector<std::string> positionals, unknown;
  bool help = false, version = false, optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& arg = arguments[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      positionals.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const std::size_t dashes = arg[1] == '-' ? 2 : 1;
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(dashes, equals == std::string::npos ? std::string::npos : equals - dashes);
    const bool ownFlag = name == "h" || name == "help" || name == "v" || name == "version";
    if ((ownFlag || Among(passed.flags, name)) && equals != std::string::npos) {
      return Refused("Unexpected value after '" + arg.substr(0, equals) + "'.");
    }
    if (ownFlag) {
      (name[0] == 'h' ? help : version) = true;
    } else if (Among(passed.withValue, name)) {
      if (equals == std::string::npos && ++i == arguments.size()) return Refused("Missing value after '" + arg + "'.");
    } else if (!Among(passed.flags, name)) {
      unknown.push_back(name);
    }
  }
  if (unknown.size() == 1) return Refused("Unknown option '" + unknown.front() + "'.");
  if (!unknown.empty()) return Refused("Unknown options: " + Joined(unknown, 0, ", ") + ".");
  if (help) return {CommandLine::Action::PrintAndExit, {}, UsageText()};
  if (version) return {CommandLine::Action::PrintAndExit, {}, VersionText()};
  if (positionals.size() > kMostPositionals) {
    return Refused("too many arguments: " + Joined(positionals, kMostPositionals, " "));
  }
  return {CommandLine::Action::OpenWindow, positionals, {}};
}

}  // namespace tolvane::ui
