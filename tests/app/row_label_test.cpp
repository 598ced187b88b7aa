// The row label's number format, in any locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "app/row_label.h"

namespace tolvane::ui {
namespace {

TEST(RowLabel, WritesSecondsAfterABlankOrAMinus) {
  const std::pair<double, const char*> cases[] = {
      {2, " 2"}, {12, " 12"}, {3000, " 3000"}, {0, " 0"}, {-0.0, " 0"}, {-4, "-4"},
      // Fractions without a leading zero or trailing zeros; 15 significant
      // digits hide the binary error of 0.1 * 3.
      {0.5, " .5"}, {-0.5, "-.5"}, {1.25, " 1.25"}, {2.50, " 2.5"}, {0.1 * 3, " .3"}, {1.0 / 3, " .333333333333333"},
      {0.0001, " .0001"},
      // An exponent for very large or small values.
      {123456789012345.0, " 123456789012345"}, {1e15, " 1E+15"}, {2.5e20, " 2.5E+20"}, {0.00001, " 1E-05"},
      {-1.5e-7, "-1.5E-07"},
  };
  for (const auto& [seconds, label] : cases) EXPECT_EQ(RowLabel(seconds), label) << seconds;
}

// A German locale, compiled into a folder of our own (LOCPATH) so that the
// test doesn't depend on which locales the machine has generated.
bool UseGermanLocale() {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) return true;
  const auto dir = std::filesystem::temp_directory_path() / "tolvane-ui-locales";
  std::filesystem::create_directories(dir);
  const std::string command =
      "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0 && !std::filesystem::exists(dir / "de_DE.UTF-8")) return false;
  setenv("LOCPATH", dir.c_str(), 1);
  return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

TEST(RowLabel, KeepsThePointUnderADecimalCommaLocale) {
  if (!UseGermanLocale()) GTEST_SKIP() << "no German locale and no localedef to make one";
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%.1f", 0.5);
  ASSERT_STREQ(buffer, "0,5");  // the locale really is in force
  EXPECT_EQ(RowLabel(0.5), " .5");
  EXPECT_EQ(RowLabel(2.25), " 2.25");
  EXPECT_EQ(RowLabel(1e-5), " 1E-05");
  std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace tolvane::ui
