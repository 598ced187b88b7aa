// Dotted IPv4 text to the 32-bit value the echo service takes.
#include <cstdint>
#include <optional>
#include <string_view>

#include "probe.h"

namespace tolvane::probe {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// One part: optional blanks, an optional sign, decimal digits, optional
// blanks. Only the value modulo 256 matters, so any length of digits works.
std::optional<std::uint8_t> PartByte(std::string_view part) {
  std::size_t i = 0;
  while (i < part.size() && IsBlank(part[i])) ++i;
  bool negative = false;
  if (i < part.size() && (part[i] == '+' || part[i] == '-')) negative = part[i++] == '-';
  std::uint32_t low = 0;
  std::size_t digits = 0;
  for (; i < part.size() && part[i] >= '0' && part[i] <= '9'; ++i, ++digits)
    low = (low * 10 + static_cast<std::uint32_t>(part[i] - '0')) & 0xFF;
  while (i < part.size() && IsBlank(part[i])) ++i;
  if (digits == 0 || i != part.size()) return std::nullopt;
  // A negative number's low byte is that of its two's complement: -1 is FF.
  return static_cast<std::uint8_t>(negative ? (256 - low) & 0xFF : low);
}

}  // namespace

std::int32_t DottedToAddress(std::string_view text) {
  std::uint32_t value = 0;
  int parts = 0;
  for (;;) {
    const std::size_t dot = text.find('.');
    if (++parts > 4) return 0;
    const auto byte = PartByte(text.substr(0, dot));
    if (!byte) return 0;
    // The first part is the least significant byte: network order in memory.
    value |= static_cast<std::uint32_t>(*byte) << (8 * (parts - 1));
    if (dot == std::string_view::npos) break;
    text.remove_prefix(dot + 1);
  }
  return parts == 4 ? static_cast<std::int32_t>(value) : 0;
}

}  // namespace tolvane::probe
