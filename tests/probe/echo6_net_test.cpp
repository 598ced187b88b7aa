// Real ICMPv6 echoes to the test bed's IPv6 hosts, through both kinds of
// Linux socket, as the program sends them: through Checker::check with the
// address text.
#include <string>

#include "probe/checker_on_socket.h"
#include "probe/echo_linux.h"
#include "probe/probe.h"
#include "testbed/testbed_gtest.h"

namespace tolvane::probe {
namespace {

namespace bed = tolvane::testbed;

class Echo6NetTest : public CheckerOnSocket {};

std::string_view Data(const EchoReply& reply) { return {reply.DataBuffer.data(), kEchoData.size()}; }

TEST_P(Echo6NetTest, HostsAnswerWithOurDataAfterTheirDelay) {
  EXPECT_GE(checker.check(bed::kKernelHost6), 0) << checker.statusText;
  EXPECT_EQ(Data(checker.reply), kEchoData);
  EXPECT_EQ(checker.reply.RoundTripTime, checker.reply.RoundTripMicroseconds / 1000);
  // The responder answers 15 ms after the request arrived: never less.
  for (int i = 0; i < 3; ++i) {
    const std::int32_t rtt = checker.check(bed::kResponder15Host6);
    EXPECT_GE(rtt, 15) << checker.statusText;
    EXPECT_LT(rtt, 25);
    EXPECT_GE(checker.reply.RoundTripMicroseconds, 15'000);
  }
  EXPECT_EQ(checker.curhost, bed::kResponder15Host6);
  EXPECT_TRUE(sink.shown.empty());
}

TEST_P(Echo6NetTest, SilentHostTimesOut) {
  EchoReply reply;
  EXPECT_EQ(ProbeHost(bed::kSilentHost6, reply, platform), -kIpReqTimedOut);
  EXPECT_EQ(checker.check(bed::kSilentHost6), kNoReply);
  EXPECT_EQ(checker.statusText, "11010   [ ip req timed out ]");
}

TEST_P(Echo6NetTest, RouterErrorsGiveTheirStatusNeverATime) {
  struct {
    const char* host;
    std::int32_t status;
  } const rows[] = {{bed::kNoRouteHost6, kIpDestNoRoute},
                    {bed::kProhibitedHost6, kIpDestProhibited},
                    {bed::kLoopHost6, kIpHopLimitExceeded}};
  for (const auto& row : rows) {
    EchoReply reply;
    EXPECT_EQ(ProbeHost(row.host, reply, platform), -row.status) << row.host;
    EXPECT_EQ(checker.check(row.host), kNoReply) << row.host;
  }
}

TEST_P(Echo6NetTest, StraysAndDuplicatesAreNotOurReply) {
  bed::ResetStats();
  for (int i = 0; i < 5; ++i) {
    EXPECT_GE(checker.check(bed::kNoisyHost6), bed::kNoisyDelayMs)
        << "a stray came " << bed::kNoisyStrayDelayMs << " ms in: " << checker.statusText;
    EXPECT_EQ(Data(checker.reply), kEchoData);
  }
  const bed::ResponderStats stats = bed::Stats();
  EXPECT_EQ(stats.noisy, 5);
  EXPECT_EQ(stats.wrong_id, 5);
  EXPECT_EQ(stats.wrong_seq, 5);
  EXPECT_EQ(stats.wrong_payload, 5);
  EXPECT_EQ(stats.wrong_source, 5);
}

TEST_P(Echo6NetTest, AWallClockStepIsNeverTakenForTheRoundTrip) {
  constexpr std::int64_t kSecond = 1'000'000'000;
  for (const std::int64_t step : {5 * kSecond, -5 * kSecond}) {
    LinuxEchoOptions options;
    options.clocks.realtime = [step, real = SystemClocks().realtime] { return real() + step; };
    const auto stepped = MakeLinuxIcmpService(GetParam(), options);
    Platform steppedPlatform{*sockets, *stepped, sink};
    Checker steppedChecker(steppedPlatform);
    const std::int32_t rtt = steppedChecker.check(bed::kResponder15Host6);
    EXPECT_GE(rtt, 15) << step;
    EXPECT_LT(rtt, 25) << step;
  }
}

TEST_P(Echo6NetTest, WhatIsNeverSentIsRefusedUnsent) {
  for (const char* host : {"::", "ff02::1%1", "::ffff:10.77.1.2", "fe80::1", "fd4c:7f1e:a7b0:1::2%no-such-if"}) {
    EchoReply reply;
    const std::int32_t result = ProbeHost(host, reply, platform);
    EXPECT_LT(result, 0) << host;
    EXPECT_NE(reply.Status, kIpReqTimedOut) << host << " was sent";
  }
}

TOLVANE_ON_BOTH_SOCKETS(Echo6NetTest);

}  // namespace
}  // namespace tolvane::probe
