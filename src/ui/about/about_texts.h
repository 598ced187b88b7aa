// The texts the About dialog builds at each showing.
#pragma once

#include <string>
#include <string_view>

namespace tolvane::ui::about {

// Where to find more network diagnostics tools: ping, tracepath, arping.
inline constexpr std::string_view kToolsAddress = "https://github.com/iputils/iputils";

std::string Caption(std::string_view title);
std::string VersionLine(int major, int minor, int revision);
std::string Description(std::string_view address);

}  // namespace tolvane::ui::about
