// Real echoes through IcmpSendEcho to the test bed's hosts.
#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>

#include "probe/echo_reply_win.h"
#include "probe/echo_win.h"
#include "probe/probe.h"
#include "support/fakes.h"
#include "testbed/testbed_gtest.h"

namespace tolvane::probe {
namespace {

namespace bed = tolvane::testbed;

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

class EchoWinNetTest : public ::testing::Test {
 protected:
  void SetUp() override { TOLVANE_REQUIRE_TESTBED(); }

  std::unique_ptr<SocketLibrary> sockets = MakeSystemSocketLibrary();
  std::unique_ptr<IcmpService> icmp = MakeSystemIcmpService();
  testing::RecordingSink sink;
  Platform platform{*sockets, *icmp, sink};
  Checker checker{platform};
};

TEST_F(EchoWinNetTest, KernelHostAnswersWithOurData) {
  EXPECT_GE(checker.check(bed::kKernelHost), 0) << checker.statusText;
  EXPECT_EQ(checker.reply.Status, kIpSuccess);
  EXPECT_EQ(std::string_view(checker.reply.DataBuffer.data(), kEchoData.size()), kEchoData);
  EXPECT_EQ(checker.reply.RoundTripMicroseconds / 1000, checker.reply.RoundTripTime);
  EXPECT_TRUE(sink.shown.empty()) << "the real socket library starts and cleans up without a word";
}

TEST_F(EchoWinNetTest, ADelayedHostsTimeIncludesItsDelay) {
  for (const auto& [host, delay] : {std::pair{bed::kResponder12, 12}, {bed::kResponder20, 20}}) {
    EXPECT_GE(checker.check(host), delay) << host << ": " << checker.statusText;
    EXPECT_LT(checker.reply.RoundTripTime, static_cast<std::int32_t>(kEchoTimeoutMs)) << host;
  }
}

TEST_F(EchoWinNetTest, SilentHostTimesOut) {
  EchoReply reply;
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  EXPECT_EQ(ProbeHost(bed::kSilentHost, reply, platform), -kIpReqTimedOut);
  // A figure for the record, not a test: how long the service waited.
  std::cout << "silent host: status " << reply.Status << " after " << MillisecondsSince(start)
            << " ms (time-out " << kEchoTimeoutMs << " ms)\n";
  EXPECT_EQ(checker.check(bed::kSilentHost), kNoReply);
  EXPECT_EQ(checker.statusText, "11010   [ ip req timed out ]");
}

TEST_F(EchoWinNetTest, AReplyAfterTheTimeOutIsNotTakenByTheNextProbe) {
  bed::ScriptReplies({260, 5});  // the first answer comes too late, then 5 ms
  EXPECT_EQ(checker.check(bed::kScriptedHost), kNoReply);
  EXPECT_EQ(checker.reply.Status, kIpReqTimedOut);
  Sleep(100);  // the late reply arrives meanwhile
  EXPECT_GE(checker.check(bed::kScriptedHost), 5) << checker.statusText;
  EXPECT_EQ(bed::RequestTimesNs().size(), 2u);
}

// The router's host unreachable comes back as IP_DEST_HOST_UNREACHABLE, on
// Windows and under Wine alike.
TEST_F(EchoWinNetTest, AnUnreachableHostIsNoReplyAndSaysWhy) {
  EXPECT_EQ(checker.check(bed::kUnreachableHost), kNoReply);
  EXPECT_EQ(checker.statusText, "11003   [ ip dest host unreachable ]");
}

TEST_F(EchoWinNetTest, AShortReplyBufferSendsNothing) {
  bed::ScriptReplies({1});
  const auto service = MakeWindowsIcmpService(win::MinimumReplyBuffer(kEchoData.size()) - 1);
  EchoReply reply;
  const auto destination = static_cast<std::uint32_t>(DottedToAddress(bed::kScriptedHost));
  EXPECT_EQ(service->Open()->SendEcho(destination, {kEchoData.data(), kEchoData.size()}, reply, kEchoTimeoutMs), 0u);
  EXPECT_EQ(reply.Status, kIpBufTooSmall);
  EXPECT_TRUE(bed::RequestTimesNs().empty());
  // The log does see a request that is sent.
  EXPECT_GE(checker.check(bed::kScriptedHost), 1) << checker.statusText;
  EXPECT_EQ(bed::RequestTimesNs().size(), 1u);
}

}  // namespace
}  // namespace tolvane::probe
