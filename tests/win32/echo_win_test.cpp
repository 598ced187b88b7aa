// The Windows echo service's own guards, over the real IcmpSendEcho to
// loopback: what must never be sent is refused before the call.
#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>

#include "probe/echo_reply_win.h"
#include "probe/echo_win.h"
#include "probe/probe.h"
#include "support/fakes.h"

namespace tolvane::probe {
namespace {

constexpr std::uint32_t kLoopback = 0x0100007F;  // 127.0.0.1 in memory order

std::span<const char> Request() { return {kEchoData.data(), kEchoData.size()}; }

struct Sent {
  std::uint32_t replies;
  EchoReply reply;
};

Sent Send(std::uint32_t destination, std::size_t bufferSize = win::PackedReplySize()) {
  const auto service = MakeWindowsIcmpService(bufferSize);
  Sent sent{0, {}};
  sent.replies = service->Open()->SendEcho(destination, Request(), sent.reply, kEchoTimeoutMs);
  return sent;
}

TEST(WindowsEcho, LoopbackAnswersWithOurDataWithinTheServicesMillisecond) {
  const Sent sent = Send(kLoopback);
  ASSERT_EQ(sent.replies, 1u) << EchoStatusText(sent.reply.Status);
  EXPECT_EQ(sent.reply.Status, kIpSuccess);
  EXPECT_EQ(std::string_view(sent.reply.DataBuffer.data(), kEchoData.size()), kEchoData);
  // Finer than the service's milliseconds, but inside the same one.
  EXPECT_EQ(sent.reply.RoundTripMicroseconds / 1000, sent.reply.RoundTripTime);
}

// DottedToAddress gives 0 for a name; sent, 0.0.0.0 could be answered by
// this very machine and a name would look like a live host.
TEST(WindowsEcho, AnUnconvertibleAddressOrTheLimitedBroadcastIsNeverSent) {
  for (const auto destination : {0u, static_cast<std::uint32_t>(DottedToAddress("255.255.255.255"))}) {
    const Sent sent = Send(destination);
    EXPECT_EQ(sent.replies, 0u) << destination;
    EXPECT_EQ(sent.reply.Status, kIpBadDestination) << destination;
  }
}

TEST(WindowsEcho, AReplyBufferOneByteShortIsRefusedAndOneThatFitsIsUsed) {
  const std::size_t least = win::MinimumReplyBuffer(kEchoData.size());
  const Sent refused = Send(kLoopback, least - 1);
  EXPECT_EQ(refused.replies, 0u);
  EXPECT_EQ(refused.reply.Status, kIpBufTooSmall);
  EXPECT_EQ(EchoStatusText(refused.reply.Status), "11001   [ ip buf too_small ]");
  EXPECT_EQ(Send(kLoopback, 0).reply.Status, kIpBufTooSmall);

  const Sent used = Send(kLoopback, least);
  EXPECT_EQ(used.replies, 1u) << EchoStatusText(used.reply.Status);
  EXPECT_EQ(used.reply.Status, kIpSuccess);
  EXPECT_EQ(std::string_view(used.reply.DataBuffer.data(), kEchoData.size()), kEchoData);
}

TEST(WindowsEcho, OneServiceOpensAFreshHandleForEachProbe) {
  const auto service = MakeSystemIcmpService();
  for (int i = 0; i < 3; ++i) {
    EchoReply reply;
    EXPECT_EQ(service->Open()->SendEcho(kLoopback, Request(), reply, kEchoTimeoutMs), 1u) << i;
    EXPECT_EQ(reply.Status, kIpSuccess) << i;
  }
}

TEST(WindowsEcho, ProbeHostOfANameSendsNothingAndSaysWhy) {
  testing::FakeSocketLibrary sockets;
  const auto icmp = MakeSystemIcmpService();
  testing::RecordingSink sink;
  Platform platform{sockets, *icmp, sink};
  EchoReply reply;
  EXPECT_EQ(ProbeHost("localhost", reply, platform), -kIpBadDestination);
  EXPECT_EQ(ProbeHost("127.0.0", reply, platform), -kIpBadDestination);
  EXPECT_EQ(ProbeHost("127.0.0.1", reply, platform), reply.RoundTripTime);
  EXPECT_EQ(reply.Status, kIpSuccess);
}

}  // namespace
}  // namespace tolvane::probe

namespace tolvane::probe {
namespace {

// Wine (8.0) has Icmp6CreateFile and Icmp6SendEcho2 as stubs only: no
// handle, ERROR_CALL_NOT_IMPLEMENTED.
bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// ICMPv6 through Icmp6SendEcho2 to the loopback address; under Wine, whose
// service can't send it, a plain failure, never a reply.
TEST(WindowsEcho6, LoopbackAnswersWithOurDataOrFailsPlainlyUnderWine) {
  testing::FakeSocketLibrary sockets;
  const auto icmp = MakeSystemIcmpService();
  testing::RecordingSink sink;
  Platform platform{sockets, *icmp, sink};
  Checker checker(platform);
  const std::int32_t rtt = checker.check("::1");
  if (UnderWine()) {
    EXPECT_EQ(rtt, kNoReply);
    EXPECT_EQ(checker.statusText, "11050   [ ip general failure ]");
    std::cout << "Wine: no ICMPv6 echo service (Icmp6CreateFile is a stub)\n";
    return;
  }
  EXPECT_GE(rtt, 0) << checker.statusText;
  EXPECT_EQ(std::string_view(checker.reply.DataBuffer.data(), kEchoData.size()), kEchoData);
  EXPECT_EQ(checker.reply.RoundTripMicroseconds / 1000, checker.reply.RoundTripTime);
}

}  // namespace
}  // namespace tolvane::probe
