// Any double as elapsed seconds: the label starts with its sign character,
// keeps to 15 significant digits, and reads back as the same number to that
// precision.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/row_label.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size != sizeof(double)) return 0;
  double seconds;
  std::memcpy(&seconds, data, sizeof seconds);
  if (!std::isfinite(seconds)) return 0;
  const std::string label = tolvane::ui::RowLabel(seconds);
  if (label.empty() || label.size() > 24) std::abort();
  if (label[0] != (std::signbit(seconds) && seconds != 0 ? '-' : ' ')) std::abort();
  // Read back wider than double: 15 digits of the largest doubles round up
  // past the double range.
  const long double back = std::strtold(label.c_str() + 1, nullptr) * (label[0] == '-' ? -1 : 1);
  if (std::fabs(back - seconds) > std::fabs(static_cast<long double>(seconds)) * 1e-14L) std::abort();
  return 0;
}
