// The leading-number and strict readings of typed numbers, and rounding.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <utility>

#include "app/rounding.h"
#include "app/typed_number.h"

namespace tolvane::ui {
namespace {

TEST(LeadingNumber, ReadsTheLongestNumberAtTheStart) {
  const double infinity = INFINITY;
  const std::pair<const char*, double> cases[] = {
      {"50", 50}, {"50.5", 50.5}, {"-3", -3}, {"+7", 7}, {".5", 0.5}, {"5.", 5}, {"12abc", 12}, {"1.2.3", 1.2},
      {"1,000", 1}, {"2,5", 2},  // a thousands separator ends it, and so does a decimal comma
      // Blanks, tabs and line feeds are ignored anywhere.
      {"  4 2 ", 42}, {"\t1\n0", 10}, {"- 5", -5}, {"1 e 2", 100},
      // Exponents by E or D, with digits.
      {"1e2", 100}, {"1E+2", 100}, {"25d-1", 2.5}, {"3D1", 30}, {"7e", 7}, {"7e+x", 7}, {"1e999", infinity},
      {"1e-999", 0},
      // Hexadecimal and octal after an ampersand (9 is no octal digit).
      {"&H10", 16}, {"&hff", 255}, {"&O17", 15}, {"&o19", 1}, {"&12", 0}, {"&H", 0},
      // Zero where no number starts the text.
      {"", 0}, {"abc", 0}, {"-", 0}, {".", 0}, {"--5", 0}, {"x50", 0},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(LeadingNumber(text), value) << text;
}

TEST(StrictNumber, TakesTheWholeTextWithTheLocalesDecimalSeparator) {
  const NumberSeparators english{"."}, german{","}, french{","}, none{""};
  const std::optional<double> refused;
  struct Case {
    const char* text;
    const NumberSeparators& separators;
    std::optional<double> value;
  };
  const Case cases[] = {
      {" 2.5 ", english, 2.5}, {"-3", english, -3}, {"+5", english, 5}, {"\u22125", english, -5},
      {"1e2", english, 100}, {"1E+2", english, 100}, {".5", english, 0.5}, {"5.", english, 5},
      {"\t7\n", english, 7}, {"\u00A07\u3000", english, 7}, {"2,5", german, 2.5},
      {"0,25", german, 0.25}, {"2,5", french, 2.5}, {"2.5", none, 2.5},  // none reported: the point
      {"", english, refused}, {"  ", english, refused}, {"12abc", english, refused},
      {"2,5,", english, refused}, {"nan", english, refused}, {"inf", english, refused},
      {"1e", english, refused}, {"e5", english, refused}, {"++5", english, refused},
      {"5-", english, refused}, {"1.2.3", english, refused}, {"1e999", english, refused},
      {"2.5", german, refused}, {"&H10", english, refused},
      // A group separator is never taken: it would read 0,050 s as 50 s.
      {"1,000", english, refused}, {"0,050", english, refused}, {"0,001", english, refused},
      {"1.000", german, refused}, {"0.050", german, refused}, {"1\u202F000", french, refused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(StrictNumber(c.text, c.separators), c.value);
  }
}

TEST(Rounding, RoundsHalvesToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven16(2.5), 2);
  EXPECT_EQ(RoundHalfEven16(3.5), 4);
  EXPECT_EQ(RoundHalfEven16(-2.5), -2);
  EXPECT_EQ(RoundHalfEven16(-3.5), -4);
  EXPECT_EQ(RoundHalfEven16(2.4999), 2);
  EXPECT_EQ(RoundHalfEven16(2.5001), 3);
  EXPECT_EQ(RoundHalfEven32(0.5 * 1000), 500);
  EXPECT_EQ(RoundHalfEven32(0.0005 * 1000), 0);
  EXPECT_EQ(RoundHalfEven32(0.0015 * 1000), 2);
  EXPECT_EQ(RoundHalfEven32(60.0 * 1000), 60000);
}

TEST(Rounding, RefusesWhatDoesNotFit) {
  EXPECT_EQ(RoundHalfEven16(32767.4), 32767);
  EXPECT_EQ(RoundHalfEven16(-32768.5), -32768);
  EXPECT_FALSE(RoundHalfEven16(32767.5));
  EXPECT_FALSE(RoundHalfEven16(-32769));
  EXPECT_FALSE(RoundHalfEven32(3e9));
  EXPECT_FALSE(RoundHalfEven32(std::nan("")));
  EXPECT_FALSE(RoundHalfEven32(INFINITY));
}

}  // namespace
}  // namespace tolvane::ui
