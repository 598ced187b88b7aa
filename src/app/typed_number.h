// The two readings of a number typed into a text box.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tolvane::ui {

// The decimal separator of the user's locale, as the toolkit reports it (UTF-8).
struct NumberSeparators {
  std::string decimal = ".";
};

// The decimal separator the strict reading takes: the locale's, or the
// point where the toolkit reports none.
std::string_view DecimalSeparator(const NumberSeparators& separators);

// Leading-number reading, used for the limit tests. Blanks, tabs and line
// feeds are ignored wherever they stand; then the longest decimal number at
// the start is read (sign, digits, one point, exponent by E or D), the point
// being the separator in every locale; "&H" and "&O" start hexadecimal and
// octal whole numbers. Anything else reads as 0. Never fails; a number too
// large for a double reads as an infinity.
double LeadingNumber(std::string_view text);

// Strict reading, used for the values a run takes: the whole UTF-8 text,
// white space around it aside, must be a finite number written with the
// locale's decimal separator (sign, digits, exponent by E). A group
// separator is refused: no count or interval needs one, and read as such it
// would turn "0,050" into 50.
std::optional<double> StrictNumber(std::string_view text, const NumberSeparators& separators);

}  // namespace tolvane::ui
