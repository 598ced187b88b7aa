// Real to whole number conversion: nearest, halves to the even neighbour.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace tolvane::ui {

// Nothing when the rounded value does not fit (or x is not finite). Not
// std::nearbyint: that follows the thread's rounding mode. std::round takes
// halves away from zero; a half is taken to the even neighbour instead.
template <typename Int>
std::optional<Int> RoundHalfEven(double x) {
  double r = std::round(x);
  if (std::fabs(r - x) == 0.5) r = 2 * std::round(x / 2);
  if (!std::isfinite(r) || r < std::numeric_limits<Int>::min() || r > std::numeric_limits<Int>::max()) {
    return std::nullopt;
  }
  return static_cast<Int>(r);
}
inline std::optional<std::int32_t> RoundHalfEven32(double x) { return RoundHalfEven<std::int32_t>(x); }
inline std::optional<std::int16_t> RoundHalfEven16(double x) { return RoundHalfEven<std::int16_t>(x); }

}  // namespace tolvane::ui
