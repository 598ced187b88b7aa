#include "app/typed_number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tolvane::ui {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

double WholeInBase(std::string_view digits, int base) {
  double value = 0;
  for (char c : digits) {
    int d;
    if (IsDigit(c)) {
      d = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      d = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      d = c - 'A' + 10;
    } else {
      break;
    }
    if (d >= base) break;
    value = value * base + d;
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
  std::string s;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') s += c;
  }
  if (s.size() >= 2 && s[0] == '&') {
    if (s[1] == 'H' || s[1] == 'h') return WholeInBase(std::string_view(s).substr(2), 16);
    if (s[1] == 'O' || s[1] == 'o') return WholeInBase(std::string_view(s).substr(2), 8);
    return 0;
  }

  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  std::string number;  // what from_chars gets: digits, point, e, exponent
  bool anyDigit = false;
  while (i < s.size() && IsDigit(s[i])) {
    number += s[i++];
    anyDigit = true;
  }
  if (i < s.size() && s[i] == '.') {
    number += s[i++];
    while (i < s.size() && IsDigit(s[i])) {
      number += s[i++];
      anyDigit = true;
    }
  }
  if (!anyDigit) return 0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
    if (j < s.size() && IsDigit(s[j])) {
      while (j < s.size() && IsDigit(s[j])) exponent += s[j++];
      number += exponent;
    }
  }

  double value = 0;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                   std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small: tell which by the exponent's sign.
    auto e = number.find('e');
    bool tiny = e != std::string::npos && e + 1 < number.size() && number[e + 1] == '-';
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (ec != std::errc()) {
    value = 0;
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
  const char* begin = number.data();
  const char* end = number.data() + number.size();
  const auto [stop, ec] = std::from_chars(begin, end, value, std::chars_format::general);
  if (ec != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace tolvane::ui
