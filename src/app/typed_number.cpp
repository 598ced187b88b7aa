#include "app/typed_number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tolvane::ui {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The digits up to the first that isn't one in `base` (16 at most).
double WholeInBase(std::string_view digits, std::size_t base) {
  constexpr std::string_view kLower = "0123456789abcdef", kUpper = "0123456789ABCDEF";
  double value = 0;
  for (char c : digits) {
    const std::size_t d = std::min(kLower.substr(0, base).find(c), kUpper.substr(0, base).find(c));
    if (d == std::string_view::npos) break;
    value = value * static_cast<double>(base) + static_cast<double>(d);
  }
  return value;
}

// White space as the toolkits trim it: ASCII's and Unicode's (a no-break
// space pasted after a number, say), in UTF-8.
std::string_view TrimSpace(std::string_view text) {
  static constexpr std::string_view kSpaces[] = {
      " ", "\t", "\n", "\v", "\f", "\r", "\xC2\x85", "\xC2\xA0", "\xE1\x9A\x80",
      "\xE2\x80\x80", "\xE2\x80\x81", "\xE2\x80\x82", "\xE2\x80\x83", "\xE2\x80\x84",
      "\xE2\x80\x85", "\xE2\x80\x86", "\xE2\x80\x87", "\xE2\x80\x88", "\xE2\x80\x89",
      "\xE2\x80\x8A", "\xE2\x80\xA8", "\xE2\x80\xA9", "\xE2\x80\xAF", "\xE2\x81\x9F",
      "\xE3\x80\x80"};
  auto spaceAt = [&](bool front) {
    for (std::string_view space : kSpaces) {
      if (front ? text.starts_with(space) : text.ends_with(space)) return space.size();
    }
    return std::size_t{0};
  };
  while (const auto n = spaceAt(true)) text.remove_prefix(n);
  while (const auto n = spaceAt(false)) text.remove_suffix(n);
  return text;
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::string s(text);
  std::erase_if(s, [](char c) { return c == ' ' || c == '\t' || c == '\n'; });
  if (s.size() >= 2 && s[0] == '&') {
    if (s[1] == 'H' || s[1] == 'h') return WholeInBase(std::string_view(s).substr(2), 16);
    if (s[1] == 'O' || s[1] == 'o') return WholeInBase(std::string_view(s).substr(2), 8);
    return 0;
  }

  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  std::string number;  // what from_chars gets: digits, point, e, exponent
  // The digits from `i` on, added to `to`; how many there were.
  auto takeDigits = [&](std::string& to) {
    const std::size_t from = i;
    while (i < s.size() && IsDigit(s[i])) to += s[i++];
    return i - from;
  };
  std::size_t digits = takeDigits(number);
  if (i < s.size() && s[i] == '.') {
    number += s[i++];
    digits += takeDigits(number);
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    ++i;
    std::string exponent = "e";
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) exponent += s[i++];
    if (takeDigits(exponent) > 0) number += exponent;  // without digits, no exponent
  }

  double value = 0;  // from_chars leaves it as it is where it fails
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                   std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small: tell which by the exponent's sign (the
    // number's own sign was taken off).
    value = number.find("e-") != std::string::npos ? 0.0 : std::numeric_limits<double>::infinity();
  }
  return negative ? -value : value;
}

std::string_view DecimalSeparator(const NumberSeparators& separators) {
  return separators.decimal.empty() ? std::string_view(".") : std::string_view(separators.decimal);
}

std::optional<double> StrictNumber(std::string_view text, const NumberSeparators& separators) {
  constexpr std::string_view kMinusSign = "\xE2\x88\x92";  // U+2212, which some locales write
  text = TrimSpace(text);

  // The text in the C locale's terms, checked as it goes: sign, digits, at
  // most one point before an exponent, an exponent of E, sign and digits.
  std::string number;
  bool point = false, exponent = false, digits = false, exponentDigits = false;
  const std::string_view decimal = DecimalSeparator(separators);
  std::size_t i = 0;
  auto at = [&](std::string_view s) { return !s.empty() && text.substr(i).starts_with(s); };
  if (at("-") || at("+") || at(kMinusSign)) {
    if (!at("+")) number += '-';
    i += at(kMinusSign) ? kMinusSign.size() : 1;
  }
  while (i < text.size()) {
    const char c = text[i];
    if (IsDigit(c)) {
      number += c;
      (exponent ? exponentDigits : digits) = true;
      ++i;
    } else if (at(decimal) && !point && !exponent) {
      number += '.';
      point = true;
      i += decimal.size();
    } else if ((c == 'e' || c == 'E') && digits && !exponent) {
      number += 'e';
      exponent = true;
      ++i;
      if (i < text.size() && (text[i] == '+' || text[i] == '-')) number += text[i++];
    } else {
      return std::nullopt;  // a group separator, a second point, anything else
    }
  }
  if (!digits || (exponent && !exponentDigits)) return std::nullopt;  // "" too

  double value = 0;
  const char* end = number.data() + number.size();
  const auto [stop, ec] = std::from_chars(number.data(), end, value, std::chars_format::general);
  if (ec != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace tolvane::ui
