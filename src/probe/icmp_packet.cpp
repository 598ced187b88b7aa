#include "icmp_packet.h"

#include <algorithm>

#include "probe.h"

namespace tolvane::probe::icmp {
namespace {

constexpr std::uint8_t kEchoReply = 0;
constexpr std::uint8_t kDestUnreachable = 3;
constexpr std::uint8_t kSourceQuench = 4;
constexpr std::uint8_t kEchoRequest = 8;
constexpr std::uint8_t kTimeExceeded = 11;
constexpr std::uint8_t kParameterProblem = 12;
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kMinIpHeader = 20;
constexpr std::uint8_t kProtocolIcmp = 1;

// An address as it lies in memory: the first byte on the wire is the
// least significant byte, as DottedToAddress builds it.
std::uint32_t Address(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// The IPv4 header at the front of `b`: its length, or 0 when it isn't one.
std::size_t IpHeaderLength(std::span<const std::uint8_t> b) {
  if (b.size() < kMinIpHeader || b[0] >> 4 != 4) return 0;
  const std::size_t length = static_cast<std::size_t>(b[0] & 0x0F) * 4;
  return length >= kMinIpHeader && length <= b.size() ? length : 0;
}

// Does this quoted original datagram (IP header + at least 8 bytes of
// ICMP) show our request?
bool QuotesOurRequest(std::span<const std::uint8_t> quoted, const Expected& sent) {
  const std::size_t ip = IpHeaderLength(quoted);
  if (ip == 0 || quoted.size() < ip + kHeaderSize) return false;
  if (quoted[9] != kProtocolIcmp || Address(quoted, 16) != sent.destination) return false;
  const auto request = quoted.subspan(ip);
  return request[0] == kEchoRequest && Be16(request, 4) == sent.id && Be16(request, 6) == sent.sequence;
}

}  // namespace

std::uint16_t Checksum(std::span<const std::uint8_t> bytes) {
  std::uint32_t sum = 0;
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) sum += static_cast<std::uint32_t>(bytes[i] << 8 | bytes[i + 1]);
  if (i < bytes.size()) sum += static_cast<std::uint32_t>(bytes[i] << 8);
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint16_t>(~sum);
}

std::vector<std::uint8_t> EchoRequest(std::uint16_t id, std::uint16_t sequence,
                                      std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> packet(kHeaderSize + data.size());
  packet[0] = kEchoRequest;
  packet[4] = static_cast<std::uint8_t>(id >> 8);
  packet[5] = static_cast<std::uint8_t>(id);
  packet[6] = static_cast<std::uint8_t>(sequence >> 8);
  packet[7] = static_cast<std::uint8_t>(sequence);
  std::copy(data.begin(), data.end(), packet.begin() + kHeaderSize);
  const std::uint16_t sum = Checksum(packet);
  packet[2] = static_cast<std::uint8_t>(sum >> 8);
  packet[3] = static_cast<std::uint8_t>(sum);
  return packet;
}

std::int32_t ErrorStatus(std::uint8_t type, std::uint8_t code) {
  switch (type) {
    case kDestUnreachable:
      switch (code) {
        case 0: case 6: case 9: case 11: return kIpDestNetUnreachable;
        case 2: return kIpDestProtUnreachable;
        case 3: return kIpDestPortUnreachable;
        case 4: return kIpPacketTooBig;
        case 5: return kIpBadRoute;
        default: return kIpDestHostUnreachable;  // host, host unknown, prohibited, ...
      }
    case kSourceQuench: return kIpSourceQuench;
    case kTimeExceeded: return code == 0 ? kIpTtlExpiredTransit : kIpTtlExpiredReassem;
    case kParameterProblem: return kIpParamProblem;
    default: return 0;
  }
}

Match Classify(std::span<const std::uint8_t> message, std::uint32_t source, const Expected& sent,
               bool verifyChecksum) {
  if (verifyChecksum && Checksum(message) != 0) return {};
  return ClassifyEcho(message, source, sent, kEchoReply, ErrorStatus, QuotesOurRequest);
}

Match ClassifyDatagram(std::span<const std::uint8_t> datagram, const Expected& sent) {
  const std::size_t ip = IpHeaderLength(datagram);
  if (ip == 0 || datagram[9] != kProtocolIcmp) return {};
  const std::size_t total = Be16(datagram, 2);
  if (total < ip || total > datagram.size()) return {};
  return Classify(datagram.subspan(ip, total - ip), Address(datagram, 12), sent, true);
}

}  // namespace tolvane::probe::icmp
