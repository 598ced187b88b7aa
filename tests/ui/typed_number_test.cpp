// The leading-number and strict readings of typed numbers, and rounding.
#include <gtest/gtest.h>

#include <QLocale>
#include <QString>

#include <cmath>

#include "ui/main/rounding.h"
#include "ui/main/typed_number.h"

namespace tolvane::ui {
namespace {

TEST(LeadingNumber, ReadsTheLongestNumberAtTheStart) {
  EXPECT_EQ(LeadingNumber("50"), 50);
  EXPECT_EQ(LeadingNumber("50.5"), 50.5);
  EXPECT_EQ(LeadingNumber("-3"), -3);
  EXPECT_EQ(LeadingNumber("+7"), 7);
  EXPECT_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_EQ(LeadingNumber("5."), 5);
  EXPECT_EQ(LeadingNumber("12abc"), 12);
  EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);
  EXPECT_EQ(LeadingNumber("1,000"), 1);    // a thousands separator ends it
  EXPECT_EQ(LeadingNumber("2,5"), 2);      // so does a decimal comma
}

TEST(LeadingNumber, IgnoresBlanksTabsAndLineFeedsAnywhere) {
  EXPECT_EQ(LeadingNumber("  4 2 "), 42);
  EXPECT_EQ(LeadingNumber("\t1\n0"), 10);
  EXPECT_EQ(LeadingNumber("- 5"), -5);
  EXPECT_EQ(LeadingNumber("1 e 2"), 100);
}

TEST(LeadingNumber, ReadsExponentsByEOrD) {
  EXPECT_EQ(LeadingNumber("1e2"), 100);
  EXPECT_EQ(LeadingNumber("1E+2"), 100);
  EXPECT_EQ(LeadingNumber("25d-1"), 2.5);
  EXPECT_EQ(LeadingNumber("3D1"), 30);
  EXPECT_EQ(LeadingNumber("7e"), 7);  // an exponent needs digits
  EXPECT_EQ(LeadingNumber("7e+x"), 7);
  EXPECT_TRUE(std::isinf(LeadingNumber("1e999")));
  EXPECT_EQ(LeadingNumber("1e-999"), 0);
}

TEST(LeadingNumber, ReadsHexadecimalAndOctalAfterAnAmpersand) {
  EXPECT_EQ(LeadingNumber("&H10"), 16);
  EXPECT_EQ(LeadingNumber("&hff"), 255);
  EXPECT_EQ(LeadingNumber("&O17"), 15);
  EXPECT_EQ(LeadingNumber("&o19"), 1);  // 9 is no octal digit
  EXPECT_EQ(LeadingNumber("&12"), 0);
  EXPECT_EQ(LeadingNumber("&H"), 0);
}

TEST(LeadingNumber, ReadsZeroWhenNoNumberStartsTheText) {
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber("-"), 0);
  EXPECT_EQ(LeadingNumber("."), 0);
  EXPECT_EQ(LeadingNumber("--5"), 0);
  EXPECT_EQ(LeadingNumber("x50"), 0);
}

TEST(StrictNumber, TakesTheWholeTextInTheLocalesConventions) {
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  EXPECT_EQ(StrictNumber(" 2.5 ", english), 2.5);
  EXPECT_EQ(StrictNumber("-3", english), -3);
  EXPECT_EQ(StrictNumber("1e2", english), 100);
  EXPECT_EQ(StrictNumber("1,000", english), 1000);
  EXPECT_FALSE(StrictNumber("", english));
  EXPECT_FALSE(StrictNumber("12abc", english));
  EXPECT_FALSE(StrictNumber("2,5,", english));
  EXPECT_FALSE(StrictNumber("nan", english));
  EXPECT_FALSE(StrictNumber("inf", english));

  const QLocale german(QLocale::German, QLocale::Germany);
  EXPECT_EQ(StrictNumber("2,5", german), 2.5);
  EXPECT_EQ(StrictNumber("1.000", german), 1000);
  EXPECT_FALSE(StrictNumber("2.5", german));
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
