// The probe's contract with its callers, over the real echo service to
// loopback, and a fake only where this machine can't fail.
#include <gtest/gtest.h>

#include <utility>

#include "probe/probe.h"
#include "support/fakes.h"

namespace tolvane::probe {
namespace {

using testing::FakeSocketLibrary;
using testing::RecordingSink;

// An echo service whose send fails without writing the reply, as a
// platform service may.
class SilentFailureService final : public IcmpService {
  class Handle final : public IcmpHandle {
    std::uint32_t SendEcho(std::uint32_t, std::span<const char>, EchoReply&, std::uint32_t) override { return 0; }
  };

 public:
  std::unique_ptr<IcmpHandle> Open() override { return std::make_unique<Handle>(); }
};

// A service that counts an ICMP error as a reply, time and all, as
// IcmpSendEcho does.
class ErrorAsReplyService final : public IcmpService {
  class Handle final : public IcmpHandle {
    std::uint32_t SendEcho(std::uint32_t, std::span<const char>, EchoReply& reply, std::uint32_t) override {
      reply.Status = kIpDestHostUnreachable;
      reply.RoundTripTime = 3;
      return 1;
    }
  };

 public:
  std::unique_ptr<IcmpHandle> Open() override { return std::make_unique<Handle>(); }
};

class CheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EchoReply probe;
    ProbeHost("127.0.0.1", probe, platform);
    if (probe.Status == kIcmpNotPermitted) GTEST_SKIP() << "this user may not send ICMP here";
    sockets = FakeSocketLibrary{};
  }

  FakeSocketLibrary sockets;
  std::unique_ptr<IcmpService> icmp = MakeSystemIcmpService();
  RecordingSink sink;
  Platform platform{sockets, *icmp, sink};
};

TEST_F(CheckTest, LoopbackAnswersInZeroMillisecondsAndThatIsAnAnswer) {
  Checker checker(platform);
  EXPECT_EQ(checker.check("127.0.0.1"), 0);
  EXPECT_EQ(checker.reply.Status, kIpSuccess);
  EXPECT_LT(checker.reply.RoundTripMicroseconds, 1000);
  EXPECT_EQ(std::string_view(checker.reply.DataBuffer.data(), kEchoData.size()), kEchoData);
  EXPECT_EQ(checker.statusText, "0   [ ip success ]");
  EXPECT_EQ(sockets.startups, 1);
  EXPECT_EQ(sockets.cleanups, 1);
  EXPECT_TRUE(sink.shown.empty());
}

TEST_F(CheckTest, StoresTheHostTextWhetherOrNotItAnswers) {
  Checker checker(platform);
  checker.check("127.0.0.1");
  EXPECT_EQ(checker.curhost, "127.0.0.1");
  // A name is not an address: nothing is sent, the caller resolves it.
  EXPECT_EQ(checker.check("kernel.tolvane.test"), kNoReply);
  EXPECT_EQ(checker.curhost, "kernel.tolvane.test");
  EXPECT_EQ(checker.reply.Status, kIpBadDestination);
  EXPECT_EQ(sockets.startups, 2);
  EXPECT_EQ(sockets.cleanups, 2);
}

TEST_F(CheckTest, ProbesEvenWhenTheSocketLibraryFailsAndStillCleansUp) {
  sockets.startupResult = 10091;  // WSASYSNOTREADY
  sockets.cleanupResult = -1;     // so the clean-up that follows fails too
  EchoReply reply;
  EXPECT_EQ(ProbeHost("127.0.0.1", reply, platform), 0);
  EXPECT_EQ(reply.Status, kIpSuccess);
  ASSERT_EQ(sink.shown.size(), 2u);
  EXPECT_EQ(sink.shown[0].first, "Windows Sockets for 32 bit Windows environments is not successfully responding.");
  EXPECT_EQ(sink.shown[1].first, "Windows Sockets error -1 occurred in Cleanup.");
}

TEST(ProbeHost, AFailureIsNeverATime) {
  SilentFailureService silent;
  ErrorAsReplyService error;
  for (const auto& [icmp, status] : {std::pair<IcmpService*, std::int32_t>{&silent, kIpGeneralFailure},
                                     {&error, kIpDestHostUnreachable}}) {
    FakeSocketLibrary sockets;
    RecordingSink sink;
    Platform platform{sockets, *icmp, sink};
    EchoReply reply;
    EXPECT_EQ(ProbeHost("10.77.1.2", reply, platform), -status);
    Checker checker(platform);
    EXPECT_EQ(checker.check("10.77.1.2"), kNoReply);
    EXPECT_EQ(checker.reply.Status, status);
  }
}

}  // namespace
}  // namespace tolvane::probe
