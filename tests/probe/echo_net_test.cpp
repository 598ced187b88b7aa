// Real echoes to the test bed's hosts, through both kinds of Linux socket.
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "probe/checker_on_socket.h"
#include "probe/probe.h"
#include "support/fakes.h"
#include "testbed/testbed_gtest.h"

namespace tolvane::probe {
namespace {

namespace bed = tolvane::testbed;

class EchoNetTest : public CheckerOnSocket {
 protected:
  std::int32_t Check(const std::string& host) { return checker.check(host); }
};

TEST_P(EchoNetTest, KernelHostAnswersWithOurData) {
  EXPECT_GE(Check(bed::kKernelHost), 0);
  EXPECT_EQ(checker.reply.Status, kIpSuccess);
  EXPECT_EQ(std::string_view(checker.reply.DataBuffer.data(), kEchoData.size()), kEchoData);
  EXPECT_EQ(checker.reply.RoundTripTime, checker.reply.RoundTripMicroseconds / 1000);
  EXPECT_TRUE(sink.shown.empty());
}

TEST_P(EchoNetTest, RoundTripTimeIsTheHostsDelayNeverLess) {
  // The responder answers a fixed time after the request arrives; allow
  // lateness under load, never earliness.
  for (const auto& [host, delay] : {std::pair{bed::kResponder12, 12}, {bed::kResponder15, 15}, {bed::kResponder20, 20}}) {
    const std::int32_t rtt = Check(host);
    EXPECT_GE(rtt, delay) << host;
    EXPECT_LT(rtt, delay + 10) << host;
    EXPECT_GE(checker.reply.RoundTripMicroseconds, delay * 1000) << host;
  }
}

TEST_P(EchoNetTest, SilentHostTimesOut) {
  EchoReply reply;
  EXPECT_EQ(ProbeHost(bed::kSilentHost, reply, platform), -kIpReqTimedOut);
  EXPECT_EQ(Check(bed::kSilentHost), kNoReply);
  EXPECT_EQ(checker.statusText, "11010   [ ip req timed out ]");
}

TEST_P(EchoNetTest, RouterErrorsGiveTheirStatusNeverATime) {
  EXPECT_EQ(Check(bed::kUnreachableHost), kNoReply);
  EXPECT_EQ(checker.statusText, "11003   [ ip dest host unreachable ]");
  EXPECT_EQ(Check(bed::kNetUnreachableHost), kNoReply);
  EXPECT_EQ(checker.reply.Status, kIpDestNetUnreachable);
  EXPECT_EQ(Check(bed::kLoopHost), kNoReply);
  EXPECT_EQ(checker.reply.Status, kIpTtlExpiredTransit);
}

TEST_P(EchoNetTest, StraysAndDuplicatesAreNotOurReply) {
  bed::ResetStats();
  for (int i = 0; i < 5; ++i) {
    EXPECT_GE(Check(bed::kNoisyHost), bed::kNoisyDelayMs) << "a stray came " << bed::kNoisyStrayDelayMs << " ms in";
    EXPECT_EQ(std::string_view(checker.reply.DataBuffer.data(), kEchoData.size()), kEchoData);
  }
  // The strays were really there to be rejected.
  const bed::ResponderStats stats = bed::Stats();
  EXPECT_EQ(stats.noisy, 5);
  EXPECT_EQ(stats.wrong_id, 5);
  EXPECT_EQ(stats.wrong_seq, 5);
  EXPECT_EQ(stats.wrong_payload, 5);
  EXPECT_EQ(stats.bad_checksum, 5);
  EXPECT_EQ(stats.wrong_source, 5);
}

TEST_P(EchoNetTest, ScriptedDropIsATimeOutAndTheNextReplyCounts) {
  bed::ScriptReplies({-1, 12});
  EXPECT_EQ(Check(bed::kScriptedHost), kNoReply);
  EXPECT_EQ(checker.reply.Status, kIpReqTimedOut);
  EXPECT_GE(Check(bed::kScriptedHost), 12);
  // Both reached the host: the first was dropped there, not on the way.
  EXPECT_EQ(bed::RequestTimesNs().size(), 2u);
}

TEST_P(EchoNetTest, AWallClockStepIsNeverTakenForTheRoundTrip) {
  constexpr std::int64_t kSecond = 1'000'000'000, kDay = 86'400 * kSecond;
  for (const std::int64_t step : {5 * kSecond, -5 * kSecond, 30 * kDay, -30 * kDay}) {
    // The clock read at the send is `step` off from the one the kernel
    // stamps the reply on: as if it stepped by -step in between.
    LinuxEchoOptions options;
    options.clocks.realtime = [step, real = SystemClocks().realtime] { return real() + step; };
    const auto stepped = MakeLinuxIcmpService(GetParam(), options);
    Platform steppedPlatform{*sockets, *stepped, sink};
    Checker steppedChecker(steppedPlatform);
    const std::int32_t rtt = steppedChecker.check(bed::kResponder15);
    EXPECT_GE(rtt, 15) << step;
    EXPECT_LT(rtt, 25) << step;
    EXPECT_EQ(steppedChecker.reply.RoundTripTime, steppedChecker.reply.RoundTripMicroseconds / 1000) << step;
  }
}

TOLVANE_ON_BOTH_SOCKETS(EchoNetTest);

// Who may send ICMP: a plain user can through a ping socket where the
// system allows it, and is told plainly when neither socket opens.
class PermissionTest : public ::testing::Test {
 protected:
  static constexpr char kRange[] = "/proc/sys/net/ipv4/ping_group_range";

  void SetUp() override {
    TOLVANE_REQUIRE_TESTBED();
    std::ifstream(kRange) >> low >> high;
  }
  void TearDown() override {
    if (!low.empty()) SetRange(low + " " + high);
  }

  static void SetRange(const std::string& range) { std::ofstream(kRange) << range << '\n'; }

  // The status of one echo to the kernel host, sent by user nobody.
  static std::int32_t StatusAsNobody() {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
      close(pipeFds[0]);
      std::int32_t status = -1;
      if (setgid(65534) == 0 && setuid(65534) == 0) {
        auto sockets = MakeSystemSocketLibrary();
        auto icmp = MakeSystemIcmpService();
        testing::RecordingSink sink;
        Platform platform{*sockets, *icmp, sink};
        Checker checker(platform);
        checker.check(bed::kKernelHost);
        status = checker.reply.Status;
      }
      (void)!write(pipeFds[1], &status, sizeof status);
      _exit(0);
    }
    close(pipeFds[1]);
    std::int32_t status = -1;
    if (read(pipeFds[0], &status, sizeof status) != sizeof status) status = -1;
    close(pipeFds[0]);
    waitpid(child, nullptr, 0);
    return status;
  }

  std::string low, high;
};

TEST_F(PermissionTest, APlainUserPingsThroughAPingSocketWhereAllowed) {
  SetRange("0 2147483647");
  EXPECT_EQ(StatusAsNobody(), kIpSuccess);
}

TEST_F(PermissionTest, APlainUserWithoutPingSocketsIsToldSoNotTimedOut) {
  SetRange("1 0");
  EXPECT_EQ(StatusAsNobody(), kIcmpNotPermitted);
}

}  // namespace

}  // namespace tolvane::probe
