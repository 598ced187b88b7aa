#include <gtest/gtest.h>

#include <ostream>

#include "probe/probe.h"
#include "support/fakes.h"

namespace tolvane::probe {
namespace {

using testing::FakeSocketLibrary;
using testing::RecordingSink;

struct StartCase {
  const char* name;
  int startupResult;
  std::uint16_t version;  // major in the low byte
  std::int16_t maxSockets;
  bool started;
  const char* message;  // nullptr: none
  MessageIcon icon;
  friend std::ostream& operator<<(std::ostream& out, const StartCase& c) { return out << c.name; }
};

class SocketsStartTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(SocketsStartTest, TestsInOrderAndShowsOneMessage) {
  const StartCase& c = GetParam();
  FakeSocketLibrary sockets;
  sockets.startupResult = c.startupResult;
  sockets.version = c.version;
  sockets.maxSockets = c.maxSockets;
  RecordingSink sink;
  EXPECT_EQ(SocketsStart(sockets, sink), c.started);
  EXPECT_EQ(sockets.lastRequested, 0x0101);
  EXPECT_EQ(sockets.cleanups, 0) << "a failed start-up is not cleaned up here";
  if (c.message == nullptr) {
    EXPECT_TRUE(sink.shown.empty());
  } else {
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].first, c.message);
    EXPECT_EQ(sink.shown[0].second, c.icon);
  }
}

constexpr const char* kNotResponding =
    "Windows Sockets for 32 bit Windows environments is not successfully responding.";
constexpr const char* kTooFewSockets = "This application requires a minimum of 1 supported sockets.";

INSTANTIATE_TEST_SUITE_P(
    Cases, SocketsStartTest,
    ::testing::Values(
        StartCase{"v1_1", 0, 0x0101, 100, true, nullptr, MessageIcon::None},
        StartCase{"v2_2", 0, 0x0202, 1, true, nullptr, MessageIcon::None},
        StartCase{"v2_0", 0, 0x0002, 1, true, nullptr, MessageIcon::None},
        StartCase{"v1_0", 0, 0x0001, 100, false,
                  "Windows Sockets Version 1.0 is not supported by Windows Sockets for 32 bit Windows "
                  "environments.",
                  MessageIcon::Exclamation},
        StartCase{"v0_9", 0, 0x0900, 100, false,
                  "Windows Sockets Version 0.9 is not supported by Windows Sockets for 32 bit Windows "
                  "environments.",
                  MessageIcon::Exclamation},
        StartCase{"noSockets", 0, 0x0101, 0, false, kTooFewSockets, MessageIcon::Exclamation},
        StartCase{"negativeSockets", 0, 0x0101, -32768, false, kTooFewSockets, MessageIcon::Exclamation},
        // The start-up result decides before the version, the version before the count.
        StartCase{"startupFailsFirst", 10091, 0x0000, 0, false, kNotResponding, MessageIcon::None},
        StartCase{"versionBeforeCount", 0, 0x0001, 0, false,
                  "Windows Sockets Version 1.0 is not supported by Windows Sockets for 32 bit Windows "
                  "environments.",
                  MessageIcon::Exclamation}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SocketsStop, ReportsTheValueCleanupReturned) {
  FakeSocketLibrary sockets;
  RecordingSink sink;
  EXPECT_TRUE(SocketsStop(sockets, sink));
  EXPECT_TRUE(sink.shown.empty());
  sockets.cleanupResult = -1;
  EXPECT_FALSE(SocketsStop(sockets, sink));
  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].first, "Windows Sockets error -1 occurred in Cleanup.");
  EXPECT_EQ(sink.shown[0].second, MessageIcon::Exclamation);
}

TEST(SystemSocketLibrary, GrantsOneOneAndPairsCleanupWithStartup) {
  const auto sockets = MakeSystemSocketLibrary();
  RecordingSink sink;
  EXPECT_FALSE(SocketsStop(*sockets, sink)) << "a clean-up without a start-up fails";
  EXPECT_TRUE(SocketsStart(*sockets, sink));
  EXPECT_TRUE(SocketsStart(*sockets, sink));
  EXPECT_TRUE(SocketsStop(*sockets, sink));
  EXPECT_TRUE(SocketsStop(*sockets, sink));
  EXPECT_FALSE(SocketsStop(*sockets, sink));
  ASSERT_EQ(sink.shown.size(), 2u);
  EXPECT_EQ(sink.shown[0].first, "Windows Sockets error -1 occurred in Cleanup.");
}

TEST(EchoStatusText, DescribesKnownCodesAndOnlyThose) {
  EXPECT_EQ(EchoStatusText(0), "0   [ ip success ]");
  EXPECT_EQ(EchoStatusText(200), "200   [ ping timeout ]");
  EXPECT_EQ(EchoStatusText(11003), "11003   [ ip dest host unreachable ]");
  EXPECT_EQ(EchoStatusText(11010), "11010   [ ip req timed out ]");
  EXPECT_EQ(EchoStatusText(11255), "11255   [ ip pending ]");
  EXPECT_EQ(EchoStatusText(kIcmpNotPermitted), "11900   [ icmp not permitted ]");
  for (const std::int32_t unknown : {-11010, 1, 11024, 11049, 11051, 11254})
    EXPECT_EQ(EchoStatusText(unknown), "unknown  msg returned") << unknown;
}

}  // namespace
}  // namespace tolvane::probe
