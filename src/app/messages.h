// The texts of the main window's message boxes.
#pragma once

#include <string>
#include <string_view>

#include "app/program_info.h"

namespace tolvane::ui {

// Captions every box and names the window: the program's title.
inline constexpr std::string_view kProgramTitle = about::kTitle;

// The limits' and the unresponsive host's texts are shown exactly as they
// always have been, spelling included; the tests hold them.
inline constexpr std::string_view kCountLimitMessage = "Maximum number of pings are 50!";
inline constexpr std::string_view kIntervalLimitMessage =
    "Maximun Interval is 60, I think you may want to try between 2 and 5 secs, its a good number";
inline constexpr std::string_view kUnresponsiveMessage = "Sorry, Can graph an unresponsive host!";
inline constexpr std::string_view kBadCountMessage =
    "\"How many times?\" must be a whole number of pings from 1 to 50.";

// "Int in Sec." refused: it names the decimal separator the box reads, since
// "0.5" is no number where the locale writes a decimal comma.
std::string BadIntervalMessage(std::string_view decimal);

// Why no echo could be sent, and the two ways to allow it for `program`,
// knowing whether the user can write to the program's folder (a binary
// there must not be given the capability).
std::string NotPermittedMessage(std::string_view program, bool folderWritable);

}  // namespace tolvane::ui
