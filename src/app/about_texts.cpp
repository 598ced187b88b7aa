#include "app/about_texts.h"

namespace tolvane::ui::about {
namespace {

constexpr std::string_view kDescriptionStart =
    " Tolvane, allows you to visually see the ping latency between ping times. The bigger the "
    "gap between one ping to another allows you to spot possible network bottle neck. If you "
    "need to examine your network more thoroughly you can download more network diagnostics "
    "tools at";

}  // namespace

std::string Caption(std::string_view title) { return "About " + std::string(title); }

std::string VersionLine(int major, int minor, int revision) {
  return "Version " + std::to_string(major) + "." + std::to_string(minor) + "." +
         std::to_string(revision);
}

std::string Description(std::string_view address) {
  return std::string(kDescriptionStart) + " " + std::string(address) + ".";
}

}  // namespace tolvane::ui::about
