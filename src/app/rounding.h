// Real to whole number conversion: nearest, halves to the even neighbour.
#pragma once

#include <cstdint>
#include <optional>

namespace tolvane::ui {

// Nothing when the rounded value does not fit (or x is not finite).
std::optional<std::int32_t> RoundHalfEven32(double x);
std::optional<std::int16_t> RoundHalfEven16(double x);

}  // namespace tolvane::ui
