// The "not permitted" box's commands are safe to paste into a shell.
#include <gtest/gtest.h>

#include <ostream>

#include "app/messages.h"

namespace tolvane::ui {
namespace {

struct Hint {
  const char* program;
  bool folderWritable;
  const char* command;  // the setcap line, or nothing when it must not be offered
};

void PrintTo(const Hint& hint, std::ostream* out) { *out << hint.program; }

class NotPermittedTest : public ::testing::TestWithParam<Hint> {};

TEST_P(NotPermittedTest, QuotesTheProgramAndOffersSetcapOnlyWhereSafe) {
  const std::string text = NotPermittedMessage(GetParam().program, GetParam().folderWritable);
  const std::string setcap = "sudo setcap cap_net_raw+ep ";
  const std::size_t at = text.find(setcap);
  if (*GetParam().command == '\0') {
    EXPECT_EQ(at, std::string::npos) << text;
    EXPECT_NE(text.find("folder you can write to"), std::string::npos) << text;
  } else {
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.substr(at + setcap.size(), text.find('\n', at) - at - setcap.size()), GetParam().command);
  }
  EXPECT_NE(text.find("net.ipv4.ping_group_range=\"0 2147483647\""), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, NotPermittedTest,
    ::testing::Values(Hint{"/usr/bin/tolvane", false, "'/usr/bin/tolvane'"},
                      Hint{"/opt/my apps/tolvane", false, "'/opt/my apps/tolvane'"},
                      Hint{"/opt/$(reboot)/`id`;tolvane", false, "'/opt/$(reboot)/`id`;tolvane'"},
                      Hint{"/opt/it's/tolvane", false, "'/opt/it'\\''s/tolvane'"},
                      Hint{"/home/me/build/tolvane", true, ""}),
    [](const auto& info) { return "Path" + std::to_string(info.index); });

}  // namespace
}  // namespace tolvane::ui
