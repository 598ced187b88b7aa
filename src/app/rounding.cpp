#include "app/rounding.h"

#include <cmath>
#include <limits>

namespace tolvane::ui {
namespace {

// Not std::nearbyint: that follows the thread's rounding mode.
std::optional<double> RoundHalfEven(double x) {
  if (!std::isfinite(x)) return std::nullopt;
  double floor = std::floor(x);
  double frac = x - floor;
  if (frac > 0.5) return floor + 1;
  if (frac < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

template <typename Int>
std::optional<Int> RoundInto(double x) {
  auto r = RoundHalfEven(x);
  if (!r || *r < std::numeric_limits<Int>::min() || *r > std::numeric_limits<Int>::max()) {
    return std::nullopt;
  }
  return static_cast<Int>(*r);
}

}  // namespace

std::optional<std::int32_t> RoundHalfEven32(double x) { return RoundInto<std::int32_t>(x); }
std::optional<std::int16_t> RoundHalfEven16(double x) { return RoundInto<std::int16_t>(x); }

}  // namespace tolvane::ui
