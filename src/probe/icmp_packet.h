// ICMP echo messages: building requests and reading what comes back.
// Pure functions over bytes, shared by the Linux sockets and their tests.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tolvane::probe::icmp {

// The Internet checksum (RFC 1071); an odd last byte is the high byte of a
// zero-padded word.
std::uint16_t Checksum(std::span<const std::uint8_t> bytes);

// The big-endian 16-bit word at `at` (ICMPv6 reads it the same way).
inline std::uint16_t Be16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] << 8 | b[at + 1]);
}

// An echo request: type 8, code 0, checksum, id, sequence, data.
std::vector<std::uint8_t> EchoRequest(std::uint16_t id, std::uint16_t sequence,
                                      std::span<const std::uint8_t> data);

// What we sent, to recognise its answer among everything a socket receives.
struct Expected {
  std::uint32_t destination;  // network order, as on the wire
  std::uint16_t id;           // ignored when checkId is false (ping sockets filter by id)
  std::uint16_t sequence;
  std::span<const std::uint8_t> data;
  bool checkId = true;
};

enum class Verdict { Foreign, Reply, Error };

struct Match {
  Verdict verdict = Verdict::Foreign;
  std::int32_t status = 0;  // IP status code of an error
  std::span<const std::uint8_t> data;  // echoed data of a reply
};

// The IP status code of an ICMP error type and code (destination
// unreachable, time exceeded, ...); 0 for types that are not errors.
std::int32_t ErrorStatus(std::uint8_t type, std::uint8_t code);

// An ICMP message (no IP header) that arrived from `source`. A reply must
// come from the destination, carry our id, sequence and data, and have a
// good checksum when verifyChecksum is set. An error must quote our request.
Match Classify(std::span<const std::uint8_t> message, std::uint32_t source, const Expected& sent,
               bool verifyChecksum);

// The same for a whole IPv4 datagram, as a raw socket receives it.
Match ClassifyDatagram(std::span<const std::uint8_t> datagram, const Expected& sent);

}  // namespace tolvane::probe::icmp
