// ICMPv6 replies and errors as the sockets hand them over, and typed IPv6
// addresses.
#include "probe/icmp6_packet.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#ifdef _WIN32
#include <winsock2.h>
#include <iphlpapi.h>
#else
#include <net/if.h>
#endif

#include "probe/probe.h"

namespace tolvane::probe::icmp6 {
namespace {

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

Bytes16 Address(std::uint8_t last) {
  Bytes16 a{0xfd, 0x4c, 0x7f, 0x1e, 0xa7, 0xb0, 0, 3};
  a[15] = last;
  return a;
}

const Bytes16 kDestination = Address(0x15);
const Bytes16 kOther = Address(0x66);
constexpr std::uint16_t kId = 0x1234;
constexpr std::uint16_t kSeq = 7;
const Expected kSent{kDestination, kId, kSeq, Bytes(kEchoData)};

std::vector<std::uint8_t> Reply(std::uint16_t id, std::uint16_t seq, std::string_view data, std::uint8_t code = 0) {
  auto packet = EchoRequest(id, seq, Bytes(data));
  packet[0] = kEchoReply;
  packet[1] = code;
  return packet;
}

// An error quoting a request to `quotedDestination`: IPv6 header (next
// header 58), then the echo header and as much data as `quotedData` says.
std::vector<std::uint8_t> Error(std::uint8_t type, std::uint8_t code, const Bytes16& quotedDestination,
                                std::uint16_t id, std::uint16_t seq, std::size_t quotedData = 9,
                                std::uint8_t nextHeader = 58) {
  std::vector<std::uint8_t> message(8 + 40);
  message[0] = type;
  message[1] = code;
  message[8] = 0x60;
  message[8 + 6] = nextHeader;
  message[8 + 7] = 64;
  std::copy(kOther.begin(), kOther.end(), message.begin() + 8 + 8);
  std::copy(quotedDestination.begin(), quotedDestination.end(), message.begin() + 8 + 24);
  auto request = EchoRequest(id, seq, Bytes(kEchoData));
  request.resize(8 + quotedData);
  message.insert(message.end(), request.begin(), request.end());
  return message;
}

TEST(Icmp6Classify, TakesOnlyOurReplyFromTheDestination) {
  const auto ours = Reply(kId, kSeq, kEchoData);
  const Match match = Classify(ours, kDestination, kSent);
  ASSERT_EQ(match.verdict, Verdict::Reply);
  EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(match.data.data()), match.data.size()), kEchoData);
  EXPECT_EQ(EchoRequest(kId, kSeq, Bytes(kEchoData)).size(), 17u);

  struct {
    std::vector<std::uint8_t> message;
    Bytes16 source;
    const char* why;
  } const foreign[] = {
      {Reply(kId + 1, kSeq, kEchoData), kDestination, "another pinger's id"},
      {Reply(kId, kSeq + 1, kEchoData), kDestination, "an older sequence"},
      {Reply(kId, kSeq, "Echo That"), kDestination, "other data"},
      {Reply(kId, kSeq, "Echo Thi"), kDestination, "data cut short"},
      {Reply(kId, kSeq, "Echo This!"), kDestination, "data too long"},
      {Reply(kId, kSeq, kEchoData, 1), kDestination, "a code that isn't 0"},
      {ours, kOther, "from another host"},
      {EchoRequest(kId, kSeq, Bytes(kEchoData)), kDestination, "our own request, seen on loopback"},
      {std::vector<std::uint8_t>(ours.begin(), ours.begin() + 7), kDestination, "shorter than a header"},
      {Error(kEchoRequest, 0, kDestination, kId, kSeq), kOther, "not an error type"},
  };
  for (const auto& row : foreign) EXPECT_EQ(Classify(row.message, row.source, kSent).verdict, Verdict::Foreign) << row.why;
}

TEST(Icmp6Classify, ErrorsQuotingOurRequestGiveTheServicesStatus) {
  struct {
    std::uint8_t type, code;
    std::int32_t status;
    const char* text;
  } const rows[] = {
      {1, 0, kIpDestNoRoute, "11002   [ ip dest net unreachable ]"},
      {1, 1, kIpDestProhibited, "11004   [ ip dest prot unreachable ]"},
      {1, 2, kIpDestScopeMismatch, nullptr},
      {1, 3, kIpDestAddrUnreachable, "11003   [ ip dest host unreachable ]"},
      {1, 4, kIpDestPortUnreachable, nullptr},
      {1, 5, kIpDestProhibited, nullptr},
      {1, 6, kIpDestProhibited, nullptr},
      {2, 0, kIpPacketTooBig, "11009   [ ip packet too_big ]"},
      {3, 0, kIpHopLimitExceeded, "11013   [ ip ttl expired transit ]"},
      {3, 1, kIpReassemblyTimeExceeded, nullptr},
      {4, 0, kIpParameterProblem, "11015   [ ip param_problem ]"},
      {4, 1, kIpUnrecognizedNextHeader, nullptr},
      {4, 2, kIpParameterProblem, nullptr},
  };
  for (const auto& row : rows) {
    // Only the echo header is quoted, or all of the request.
    for (const std::size_t quoted : {std::size_t{0}, std::size_t{9}}) {
      const Match match = Classify(Error(row.type, row.code, kDestination, kId, kSeq, quoted), kOther, kSent);
      EXPECT_EQ(match.verdict, Verdict::Error) << int(row.type) << "/" << int(row.code);
      EXPECT_EQ(match.status, row.status) << int(row.type) << "/" << int(row.code);
    }
    if (row.text) {
      EXPECT_EQ(EchoStatusText(row.status), row.text);
    }
  }
  EXPECT_EQ(ErrorStatus(kEchoReply, 0), 0);
  EXPECT_EQ(ErrorStatus(137, 0), 0);  // a redirect is no answer
}

TEST(Icmp6Classify, ErrorsAboutSomeoneElsesPacketAreForeign) {
  struct {
    std::vector<std::uint8_t> message;
    const char* why;
  } const rows[] = {
      {Error(1, 0, kOther, kId, kSeq), "a request to another host"},
      {Error(1, 0, kDestination, kId + 1, kSeq), "another pinger's request"},
      {Error(1, 0, kDestination, kId, kSeq + 1), "an older request"},
      {Error(1, 0, kDestination, kId, kSeq, 9, 17), "a UDP packet"},
  };
  for (const auto& row : rows) EXPECT_EQ(Classify(row.message, kOther, kSent).verdict, Verdict::Foreign) << row.why;
  auto truncated = Error(1, 0, kDestination, kId, kSeq, 0);
  truncated.pop_back();  // the echo header one byte short
  EXPECT_EQ(Classify(truncated, kOther, kSent).verdict, Verdict::Foreign);
  auto notIpv6 = Error(1, 0, kDestination, kId, kSeq);
  notIpv6[8] = 0x45;
  EXPECT_EQ(Classify(notIpv6, kOther, kSent).verdict, Verdict::Foreign);
}

}  // namespace
}  // namespace tolvane::probe::icmp6

namespace tolvane::probe {
namespace {

// An interface every machine has, by its name.
const char* LoopbackName() {
#ifdef _WIN32
  return "loopback_0";
#else
  return "lo";
#endif
}

TEST(ParseAddress6, TakesIpv6TextsAndTheirScopesOnly) {
  const std::uint32_t loopbackIndex = if_nametoindex(LoopbackName());
  struct {
    std::string text;
    bool taken;
    std::uint32_t scope;
  } const rows[] = {
      {"::1", true, 0},
      {"2001:db8::7", true, 0},
      {"FD4C:7F1E:A7B0:3::15", true, 0},
      {"::ffff:10.77.1.2", true, 0},  // taken here, never sent to (ProbeHost6)
      {"fe80::1%1", true, 1},
      {"fe80::1%4294967295", true, 4294967295U},
      {"fe80::1", false, 0},          // which link?
      {"FE80::1", false, 0},
      {"febf::1", false, 0},
      {"ff02::1", false, 0},
      {"fe80::1%", false, 0},
      {"fe80::1%0", false, 0},
      {"fe80::1%4294967296", false, 0},
      {"fe80::1%99999999999999999999", false, 0},
      {"fe80::1%no-such-interface", false, 0},
      {"10.77.1.2", false, 0},
      {"localhost", false, 0},
      {"", false, 0},
      {" ::1", false, 0},
      {"::1 ", false, 0},
      {":::1", false, 0},
      {"1:2:3:4:5:6:7:8:9", false, 0},
      {std::string("::1\0:2", 6), false, 0},
      {"::1%lo%lo", false, 0},
      {std::string(200, ':'), false, 0},
  };
  for (const auto& row : rows) {
    const auto parsed = ParseAddress6(row.text);
    EXPECT_EQ(parsed.has_value(), row.taken) << row.text;
    if (parsed && row.taken) {
      EXPECT_EQ(parsed->scope, row.scope) << row.text;
    }
  }
  if (loopbackIndex != 0) {
    const auto named = ParseAddress6(std::string("fe80::1%") + LoopbackName());
    ASSERT_TRUE(named);
    EXPECT_EQ(named->scope, loopbackIndex);
  }
}

TEST(ParseAddress6, TextAndBackGiveTheCanonicalText) {
  EXPECT_EQ(Address6ToText(*ParseAddress6("FD4C:7F1E:A7B0:0003:0000:0000:0000:0015")), "fd4c:7f1e:a7b0:3::15");
  EXPECT_EQ(Address6ToText(*ParseAddress6("::1")), "::1");
  const auto scoped = ParseAddress6("fe80::1%1");
  ASSERT_TRUE(scoped);
  const std::string text = Address6ToText(*scoped);
  EXPECT_EQ(text.substr(0, 8), "fe80::1%");
  EXPECT_EQ(ParseAddress6(text)->scope, 1u) << text;
  EXPECT_TRUE(LooksLikeAddress6("fe80::1"));
  EXPECT_FALSE(LooksLikeAddress6("host.example"));
}

}  // namespace
}  // namespace tolvane::probe
