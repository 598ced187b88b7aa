// What the start-up removes from the command line in secure mode. (The
// reading of the command line itself is the core's: tests/app.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "probe/privileges_linux.h"
#include "qt/toolkit_options.h"

namespace tolvane::ui {
namespace {

struct Arguments {
  std::vector<std::string> given, kept;
};

void PrintTo(const Arguments& arguments, std::ostream* out) {
  for (const std::string& arg : arguments.given) *out << ' ' << arg;
}

class PluginOverridesTest : public ::testing::TestWithParam<Arguments> {};

TEST_P(PluginOverridesTest, LeaveNoWayToLoadCodeFromElsewhere) {
  std::vector<std::string> given = GetParam().given;
  std::vector<char*> argv;
  for (std::string& arg : given) argv.push_back(arg.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(given.size());
  for (const char* name : {"QT_PLUGIN_PATH", "QT_STYLE_OVERRIDE", "QT_QPA_PLATFORM_PLUGIN_PATH", "GTK_MODULES",
                           "GTK_PATH", "GIO_EXTRA_MODULES", "LIBGL_DRIVERS_PATH", "QT_QPA_PLATFORM", "TOLVANE_KEPT"})
    setenv(name, "/tmp/somewhere", 1);
  probe::RemovePluginOverrides(argc, argv.data(), kToolkitOverrides);
  EXPECT_EQ(std::vector<std::string>(argv.begin(), argv.begin() + argc), GetParam().kept);
  EXPECT_EQ(argv[argc], nullptr);
  std::string left;
  for (char** variable = environ; *variable != nullptr; ++variable)
    if (std::string(*variable).find("=/tmp/somewhere") != std::string::npos) left += std::string(*variable) + " ";
  EXPECT_EQ(left, "QT_QPA_PLATFORM=/tmp/somewhere TOLVANE_KEPT=/tmp/somewhere ");
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, PluginOverridesTest,
    ::testing::Values(Arguments{{"tolvane", "-style", "evil", "10.77.1.2"}, {"tolvane", "10.77.1.2"}},
                      Arguments{{"tolvane", "--style=evil", "-platformpluginpath", "/tmp/x", "-stylesheet=a.qss", "5"},
                                {"tolvane", "5"}},
                      Arguments{{"tolvane", "-platformtheme", "gtk3", "--plugin", "evdev", "-session", "s"},
                                {"tolvane"}},
                      Arguments{{"tolvane", "-platform", "offscreen", "-reverse", "-styles", "-plugin"},
                                {"tolvane", "-platform", "offscreen", "-reverse", "-styles"}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace tolvane::ui
