// Text between the core, which speaks UTF-8, and Windows' wide (UTF-16)
// calls: everything a user types or reads goes through these two, so that
// no name is bent to the ANSI code page on the way.
#pragma once

#include <string>
#include <string_view>

namespace tolvane::ui::win {

// Malformed input comes out with U+FFFD in place of what it can't read.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace tolvane::ui::win
