// The tray's own texts.
#pragma once

#include <string_view>

#include "app/messages.h"

namespace tolvane::ui::tray {

inline constexpr std::string_view kTrayTip = kProgramTitle;

// "&Systray" where there is no notification area: hidden, the window could
// not be brought back.
inline constexpr std::string_view kNoTrayMessage =
    "The notification area isn't available, so the window stays open.";

}  // namespace tolvane::ui::tray
