// The one record that describes the notification-area icon: what the last
// add sent, kept as it was until the next add.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/window_message.h"

namespace tolvane::ui::tray {

inline constexpr std::uint32_t kTrayIconRecordSize = 88;
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;
inline constexpr std::size_t kTipWidth = 64;

using TipField = std::array<char, kTipWidth>;

struct TrayIconRecord {
  std::uint32_t size = 0;
  WindowHandle window = 0;
  std::uint32_t id = 0;
  std::uint32_t flags = 0;
  std::uint32_t callbackMessage = 0;
  IconHandle icon = 0;
  TipField tip{};
};

// The text and one NUL, filled up with spaces; a text of 64 characters or
// more is cut to 64, without the NUL.
TipField MakeTipField(std::string_view text);

// The tip as the area shows it: up to the first NUL, or all 64 characters.
std::string TipText(const TipField& tip);

}  // namespace tolvane::ui::tray
