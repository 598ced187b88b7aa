// ICMP echo messages: building requests and reading what comes back.
// Pure functions over bytes, shared by the Linux sockets and their tests.
#pragma once

#include <algorithm>
#include <cstdint>
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
// A ping socket's id is the one the kernel put in.
template <typename Address>
struct ExpectedOf {
  Address destination;  // network order, as on the wire
  std::uint16_t id;
  std::uint16_t sequence;
  std::span<const std::uint8_t> data;
};
using Expected = ExpectedOf<std::uint32_t>;

enum class Verdict { Foreign, Reply, Error };

struct Match {
  Verdict verdict = Verdict::Foreign;
  std::int32_t status = 0;  // IP status code of an error
  std::span<const std::uint8_t> data;  // echoed data of a reply
};

// The IP status code of an ICMP error type and code (destination
// unreachable, time exceeded, ...); 0 for types that are not errors.
std::int32_t ErrorStatus(std::uint8_t type, std::uint8_t code);

// What both families ask of a message that arrived from `source`: a reply
// of `replyType` must come from the destination and carry our id, sequence
// and data; an error (a type `errorStatus` knows) must be one whose quoted
// request `quotesOurs` takes for ours.
template <typename Address, typename QuotesOurs>
Match ClassifyEcho(std::span<const std::uint8_t> message, const Address& source, const ExpectedOf<Address>& sent,
                   std::uint8_t replyType, std::int32_t (*errorStatus)(std::uint8_t, std::uint8_t),
                   QuotesOurs quotesOurs) {
  if (message.size() < 8) return {};
  const auto data = message.subspan(8);
  if (message[0] == replyType) {
    const bool ours = message[1] == 0 && source == sent.destination && Be16(message, 4) == sent.id &&
                      Be16(message, 6) == sent.sequence && std::ranges::equal(data, sent.data);
    return ours ? Match{Verdict::Reply, 0, data} : Match{};
  }
  const std::int32_t status = errorStatus(message[0], message[1]);
  return status != 0 && quotesOurs(data, sent) ? Match{Verdict::Error, status, {}} : Match{};
}

// An ICMP message (no IP header) that arrived from `source`, as
// ClassifyEcho; a reply also needs a good checksum when verifyChecksum is set.
Match Classify(std::span<const std::uint8_t> message, std::uint32_t source, const Expected& sent,
               bool verifyChecksum);

// The same for a whole IPv4 datagram, as a raw socket receives it.
Match ClassifyDatagram(std::span<const std::uint8_t> datagram, const Expected& sent);

}  // namespace tolvane::probe::icmp
