#include "app/row_label.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

namespace tolvane::ui {

std::string RowLabel(double seconds) {
  if (seconds == 0 || std::isnan(seconds)) return " 0";  // no "-0"
  // to_chars, unlike printf, never takes the decimal comma of the locale.
  std::array<char, 64> buffer{};
  auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(seconds),
                                 std::chars_format::general, 15);
  std::string digits(buffer.data(), ec == std::errc() ? end : buffer.data());
  for (char& c : digits) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (digits.starts_with("0.")) digits.erase(0, 1);
  return (seconds < 0 ? "-" : " ") + digits;
}

}  // namespace tolvane::ui
