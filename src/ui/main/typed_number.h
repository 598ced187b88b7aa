// The two readings of a number typed into a text box.
#pragma once

#include <optional>
#include <string_view>

class QLocale;
class QString;

namespace tolvane::ui {

// Leading-number reading, used for the limit tests. Blanks, tabs and line
// feeds are ignored wherever they stand; then the longest decimal number at
// the start is read (sign, digits, one point, exponent by E or D), the point
// being the separator in every locale; "&H" and "&O" start hexadecimal and
// octal whole numbers. Anything else reads as 0. Never fails; a number too
// large for a double reads as an infinity.
double LeadingNumber(std::string_view text);

// Strict reading, used for the values a run takes: the whole text, blanks
// around it aside, must be a finite number in `locale`'s conventions
// (decimal and thousands separators, sign, exponent).
std::optional<double> StrictNumber(const QString& text, const QLocale& locale);

}  // namespace tolvane::ui
