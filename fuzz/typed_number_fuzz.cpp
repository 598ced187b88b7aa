// Whatever is typed into the count and interval boxes: the leading reading,
// and the strict one with a decimal point and with a decimal comma. The
// strict reading never yields a value that isn't finite.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/rounding.h"
#include "app/typed_number.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const tolvane::ui::NumberSeparators point{"."};
  static const tolvane::ui::NumberSeparators comma{","};
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double leading = tolvane::ui::LeadingNumber(text);
  if (std::isnan(leading)) std::abort();
  tolvane::ui::RoundHalfEven16(leading);
  tolvane::ui::RoundHalfEven32(leading * 1000);
  for (const auto* separators : {&point, &comma}) {
    if (const auto strict = tolvane::ui::StrictNumber(text, *separators)) {
      if (!std::isfinite(*strict)) std::abort();
      tolvane::ui::RoundHalfEven16(*strict);
      tolvane::ui::RoundHalfEven32(*strict * 1000);
    }
  }
  return 0;
}
