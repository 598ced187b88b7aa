// The texts the About dialog builds at each showing.
#pragma once

#include <string>
#include <string_view>

namespace tolvane::ui::about {

// The end of the description: the standard of the ICMP echo the program
// sends, on the RFC Editor's site (no other project's product page).
inline constexpr std::string_view kToolsAddress = "https://www.rfc-editor.org/rfc/rfc792";

// The licence, as --version states it.
inline constexpr std::string_view kLicenceNotice =
    "Copyright (C) 2026 Tolvane maintainers.\n"
    "License GPL-3.0-or-later: GNU GPL version 3 or later <https://www.gnu.org/licenses/gpl.html>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.";

std::string Caption(std::string_view title);
std::string VersionLine(int major, int minor, int revision);
std::string Description(std::string_view address);

}  // namespace tolvane::ui::about
