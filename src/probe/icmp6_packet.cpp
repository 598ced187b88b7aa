#include "icmp6_packet.h"

#include <algorithm>

#include "probe.h"

namespace tolvane::probe::icmp6 {
namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kIpv6HeaderSize = 40;
constexpr std::uint8_t kNextHeaderIcmpv6 = 58;

using icmp::Be16;

// The quoted packet: our IPv6 header (no extension headers: we send none),
// then at least the 8 bytes of our echo request's header.
bool QuotesOurRequest(std::span<const std::uint8_t> quoted, const Expected& sent) {
  if (quoted.size() < kIpv6HeaderSize + kHeaderSize || quoted[0] >> 4 != 6) return false;
  if (quoted[6] != kNextHeaderIcmpv6 || !std::ranges::equal(quoted.subspan(24, 16), sent.destination)) return false;
  const auto request = quoted.subspan(kIpv6HeaderSize);
  return request[0] == kEchoRequest && request[1] == 0 && Be16(request, 4) == sent.id &&
         Be16(request, 6) == sent.sequence;
}

}  // namespace

std::vector<std::uint8_t> EchoRequest(std::uint16_t id, std::uint16_t sequence, std::span<const std::uint8_t> data) {
  // ICMP's echo with ICMPv6's type; the kernel sums it over the
  // pseudo-header, so the checksum is left at 0.
  std::vector<std::uint8_t> packet = icmp::EchoRequest(id, sequence, data);
  packet[0] = kEchoRequest;
  packet[2] = packet[3] = 0;
  return packet;
}

std::int32_t ErrorStatus(std::uint8_t type, std::uint8_t code) {
  switch (type) {
    case kDestUnreachable:
      switch (code) {
        case 0: return kIpDestNoRoute;
        case 2: return kIpDestScopeMismatch;
        case 3: return kIpDestAddrUnreachable;
        case 4: return kIpDestPortUnreachable;
        default: return kIpDestProhibited;  // 1 prohibited, 5 source policy, 6 reject route
      }
    case kPacketTooBig: return kIpPacketTooBig;
    case kTimeExceeded: return code == 0 ? kIpHopLimitExceeded : kIpReassemblyTimeExceeded;
    case kParameterProblem: return code == 1 ? kIpUnrecognizedNextHeader : kIpParameterProblem;
    default: return 0;
  }
}

Match Classify(std::span<const std::uint8_t> message, const Bytes16& source, const Expected& sent) {
  return icmp::ClassifyEcho(message, source, sent, kEchoReply, ErrorStatus, QuotesOurRequest);
}

}  // namespace tolvane::probe::icmp6
