#include "probe/icmp_packet.h"

#include <gtest/gtest.h>

#include <string_view>

#include "probe/probe.h"

namespace tolvane::probe::icmp {
namespace {

constexpr std::uint32_t kDestination = 0x0201A8C0;  // 192.168.1.2 in memory order
constexpr std::uint32_t kOther = 0x0301A8C0;
constexpr std::uint16_t kId = 0x1234;
constexpr std::uint16_t kSeq = 7;

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

const Expected kSent{kDestination, kId, kSeq, Bytes(kEchoData)};

std::vector<std::uint8_t> Reply(std::uint16_t id, std::uint16_t seq, std::string_view data) {
  auto packet = EchoRequest(id, seq, Bytes(data));
  packet[0] = 0;  // echo reply
  packet[2] = packet[3] = 0;
  const std::uint16_t fixed = Checksum(packet);
  packet[2] = static_cast<std::uint8_t>(fixed >> 8);
  packet[3] = static_cast<std::uint8_t>(fixed);
  return packet;
}

std::vector<std::uint8_t> IpHeader(std::uint32_t source, std::uint32_t destination, std::size_t payload) {
  std::vector<std::uint8_t> h(20);
  h[0] = 0x45;
  const std::size_t total = 20 + payload;
  h[2] = static_cast<std::uint8_t>(total >> 8);
  h[3] = static_cast<std::uint8_t>(total);
  h[8] = 64;
  h[9] = 1;
  for (int i = 0; i < 4; ++i) {
    h[12 + i] = static_cast<std::uint8_t>(source >> (8 * i));
    h[16 + i] = static_cast<std::uint8_t>(destination >> (8 * i));
  }
  return h;
}

std::vector<std::uint8_t> Join(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// An ICMP error from a router quoting the request it was sent.
std::vector<std::uint8_t> Error(std::uint8_t type, std::uint8_t code, std::uint32_t quotedDestination,
                                std::uint16_t id, std::uint16_t seq) {
  auto request = EchoRequest(id, seq, Bytes(kEchoData));
  request.resize(8);
  std::vector<std::uint8_t> message(8);
  message[0] = type;
  message[1] = code;
  message = Join(message, Join(IpHeader(kDestination - 1, quotedDestination, 17), request));
  const std::uint16_t sum = Checksum(message);
  message[2] = static_cast<std::uint8_t>(sum >> 8);
  message[3] = static_cast<std::uint8_t>(sum);
  return message;
}

TEST(Checksum, PadsAnOddLastByteAsTheHighByte) {
  // 0x0102 + 0x0300 = 0x0402 -> ~ = 0xFBFD
  const std::uint8_t odd[] = {0x01, 0x02, 0x03};
  EXPECT_EQ(Checksum(odd), 0xFBFD);
  // A request with the 9-byte data checks out to zero over its whole length.
  EXPECT_EQ(Checksum(EchoRequest(kId, kSeq, Bytes(kEchoData))), 0);
  EXPECT_EQ(EchoRequest(kId, kSeq, Bytes(kEchoData)).size(), 17u);
}

TEST(Classify, AcceptsOnlyOurReplyFromTheDestination) {
  const auto ours = Reply(kId, kSeq, kEchoData);
  const Match match = Classify(ours, kDestination, kSent, true);
  EXPECT_EQ(match.verdict, Verdict::Reply);
  EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(match.data.data()), match.data.size()), kEchoData);

  EXPECT_EQ(Classify(Reply(kId + 1, kSeq, kEchoData), kDestination, kSent, true).verdict, Verdict::Foreign);
  EXPECT_EQ(Classify(Reply(kId, kSeq + 1, kEchoData), kDestination, kSent, true).verdict, Verdict::Foreign);
  EXPECT_EQ(Classify(Reply(kId, kSeq, "Echo That"), kDestination, kSent, true).verdict, Verdict::Foreign);
  EXPECT_EQ(Classify(Reply(kId, kSeq, "Echo Thi"), kDestination, kSent, true).verdict, Verdict::Foreign);
  EXPECT_EQ(Classify(Reply(kId, kSeq, "Echo This!"), kDestination, kSent, true).verdict, Verdict::Foreign);
  EXPECT_EQ(Classify(ours, kOther, kSent, true).verdict, Verdict::Foreign);
  // Our own request, as a raw socket sees it on loopback.
  EXPECT_EQ(Classify(EchoRequest(kId, kSeq, Bytes(kEchoData)), kDestination, kSent, true).verdict,
            Verdict::Foreign);

  auto corrupt = ours;
  corrupt[10] ^= 0x01;
  EXPECT_EQ(Classify(corrupt, kDestination, kSent, true).verdict, Verdict::Foreign);
  auto truncated = ours;
  truncated.resize(7);
  EXPECT_EQ(Classify(truncated, kDestination, kSent, true).verdict, Verdict::Foreign);
}

TEST(Classify, ErrorsQuotingOurRequestGiveTheirStatus) {
  const Match host = Classify(Error(3, 1, kDestination, kId, kSeq), kOther, kSent, true);
  EXPECT_EQ(host.verdict, Verdict::Error);
  EXPECT_EQ(host.status, kIpDestHostUnreachable);
  EXPECT_EQ(Classify(Error(11, 0, kDestination, kId, kSeq), kOther, kSent, true).status, kIpTtlExpiredTransit);
  // Someone else's request, to another host, or with another id or sequence.
  EXPECT_EQ(Classify(Error(3, 1, kOther, kId, kSeq), kOther, kSent, true).verdict, Verdict::Foreign);
  EXPECT_EQ(Classify(Error(3, 1, kDestination, kId + 1, kSeq), kOther, kSent, true).verdict, Verdict::Foreign);
  EXPECT_EQ(Classify(Error(3, 1, kDestination, kId, kSeq + 1), kOther, kSent, true).verdict, Verdict::Foreign);
  // A redirect is not an error of the echo.
  EXPECT_EQ(Classify(Error(5, 1, kDestination, kId, kSeq), kOther, kSent, true).verdict, Verdict::Foreign);
  auto cut = Error(3, 1, kDestination, kId, kSeq);
  cut.resize(8 + 20 + 7);
  EXPECT_EQ(Classify(cut, kOther, kSent, false).verdict, Verdict::Foreign);
}

TEST(ErrorStatus, MapsUnreachableAndTimeExceeded) {
  EXPECT_EQ(ErrorStatus(3, 0), kIpDestNetUnreachable);
  EXPECT_EQ(ErrorStatus(3, 1), kIpDestHostUnreachable);
  EXPECT_EQ(ErrorStatus(3, 2), kIpDestProtUnreachable);
  EXPECT_EQ(ErrorStatus(3, 3), kIpDestPortUnreachable);
  EXPECT_EQ(ErrorStatus(3, 4), kIpPacketTooBig);
  EXPECT_EQ(ErrorStatus(3, 13), kIpDestHostUnreachable);
  EXPECT_EQ(ErrorStatus(11, 0), kIpTtlExpiredTransit);
  EXPECT_EQ(ErrorStatus(11, 1), kIpTtlExpiredReassem);
  EXPECT_EQ(ErrorStatus(12, 0), kIpParamProblem);
  EXPECT_EQ(ErrorStatus(0, 0), 0);
  EXPECT_EQ(ErrorStatus(5, 0), 0);
}

TEST(ClassifyDatagram, ReadsTheIpHeaderForSourceAndLength) {
  const auto reply = Reply(kId, kSeq, kEchoData);
  const auto datagram = Join(IpHeader(kDestination, kOther, reply.size()), reply);
  EXPECT_EQ(ClassifyDatagram(datagram, kSent).verdict, Verdict::Reply);
  EXPECT_EQ(ClassifyDatagram(Join(IpHeader(kOther, kDestination, reply.size()), reply), kSent).verdict,
            Verdict::Foreign);

  auto padded = datagram;  // bytes past the IP total length are not data
  padded.push_back(0);
  EXPECT_EQ(ClassifyDatagram(padded, kSent).verdict, Verdict::Reply);
  auto overlong = datagram;
  overlong[3] += 1;  // total length beyond what arrived
  EXPECT_EQ(ClassifyDatagram(overlong, kSent).verdict, Verdict::Foreign);
  auto notIcmp = datagram;
  notIcmp[9] = 17;
  EXPECT_EQ(ClassifyDatagram(notIcmp, kSent).verdict, Verdict::Foreign);
  auto badIhl = datagram;
  badIhl[0] = 0x44;
  EXPECT_EQ(ClassifyDatagram(badIhl, kSent).verdict, Verdict::Foreign);
  EXPECT_EQ(ClassifyDatagram(std::span(datagram).first(19), kSent).verdict, Verdict::Foreign);
}

}  // namespace
}  // namespace tolvane::probe::icmp
