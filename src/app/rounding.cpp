#include "app/rounding.h"

#include <cmath>
#include <limits>

namespace tolvane::ui {
namespace {

// Not std::nearbyint: that follows the thread's rounding mode. std::round
// takes halves away from zero; a half is taken to the even neighbour instead.
template <typename Int>
std::optional<Int> RoundInto(double x) {
  double r = std::round(x);
  if (std::fabs(r - x) == 0.5) r = 2 * std::round(x / 2);
  if (!std::isfinite(r) || r < std::numeric_limits<Int>::min() || r > std::numeric_limits<Int>::max()) {
    return std::nullopt;
  }
  return static_cast<Int>(r);
}

}  // namespace

std::optional<std::int32_t> RoundHalfEven32(double x) { return RoundInto<std::int32_t>(x); }
std::optional<std::int16_t> RoundHalfEven16(double x) { return RoundInto<std::int16_t>(x); }

}  // namespace tolvane::ui
