// ICMP echo packets on the wire: checksum, building and parsing, shared by
// the responder and the tests that talk to it with raw sockets.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include <netinet/in.h>

namespace tolvane::testbed {

inline constexpr std::uint8_t kEchoReply = 0;
inline constexpr std::uint8_t kDestUnreachable = 3;
inline constexpr std::uint8_t kEchoRequest = 8;
inline constexpr std::uint8_t kTimeExceeded = 11;

// RFC 1071 one's-complement sum, folded and inverted; an odd last byte is
// padded with zero on the right. In host order.
std::uint16_t InternetChecksum(std::span<const std::uint8_t> bytes);

// True when the message sums to zero with its own checksum field.
bool ChecksumValid(std::span<const std::uint8_t> icmp);

struct Echo {
  std::uint8_t type = kEchoRequest;
  std::uint8_t code = 0;
  std::uint16_t id = 0;
  std::uint16_t seq = 0;
  std::vector<std::uint8_t> payload;
};

// An ICMP echo message (request or reply) with a correct checksum.
std::vector<std::uint8_t> BuildEcho(const Echo& echo);

// Reads the 8-byte header and the payload; nullopt when too short.
std::optional<Echo> ParseEcho(std::span<const std::uint8_t> icmp);

// An IPv4 datagram as a raw socket hands it over.
struct Ipv4View {
  in_addr src{};
  in_addr dst{};
  std::uint8_t protocol = 0;
  std::uint8_t ttl = 0;
  std::span<const std::uint8_t> payload;
};

std::optional<Ipv4View> ParseIpv4(std::span<const std::uint8_t> datagram);

}  // namespace tolvane::testbed
