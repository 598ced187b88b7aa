// What the tray says to a window: handles, the window's message procedure,
// and the mouse messages that the icon's notifications carry.
#pragma once

#include <cstdint>

namespace tolvane::ui::tray {

using WindowHandle = std::uintptr_t;
using IconHandle = std::uintptr_t;

// A window's message procedure; whatever it returns goes back to the sender.
using WindowProc = std::intptr_t (*)(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam);

inline constexpr std::uint32_t kMouseMove = 512;
inline constexpr std::uint32_t kLeftButtonDown = 513;
inline constexpr std::uint32_t kLeftButtonUp = 514;
inline constexpr std::uint32_t kLeftButtonDoubleClick = 515;
inline constexpr std::uint32_t kRightButtonDown = 516;
inline constexpr std::uint32_t kRightButtonUp = 517;
inline constexpr std::uint32_t kMiddleButtonDown = 519;

// The icon reports to its window under this message number, with the mouse
// message in lParam. It is the right-button-up number: the window's own
// procedure takes it for an ordinary mouse message.
inline constexpr std::uint32_t kTrayCallbackMessage = kRightButtonUp;

// Booleans the tray keeps.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

}  // namespace tolvane::ui::tray
