// The reply buffer Windows' Icmp6SendEcho2 fills, read byte by byte with
// bounds checks. Plain bytes in, so it builds and is tested (and fuzzed)
// on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tolvane::probe {

struct EchoReply;

namespace win {

// ICMPV6_ECHO_REPLY as the Windows SDK lays it out: IPV6_ADDRESS_EX (packed:
// port, flow info, the 16 address bytes, scope id; 26 bytes), the status
// and the round trip in ms (4 bytes each, aligned to 4); the echoed data
// right after it.
inline constexpr std::size_t kReply6AddressOffset = 6;
inline constexpr std::size_t kReply6StatusOffset = 28;
inline constexpr std::size_t kReply6RoundTripOffset = 32;
inline constexpr std::size_t kReply6HeaderSize = 36;

// A reply buffer for `requestSize` bytes of data: one reply, the echoed
// data, an ICMP error's 8 bytes and the service's IO_STATUS_BLOCK.
std::size_t Reply6BufferSize(std::size_t requestSize);

// The first reply in `buffer` (`replies` is what Icmp6SendEcho2 returned):
// Status, RoundTripTime (and RoundTripMicroseconds from it) and the echoed
// data, at most `requestSize` bytes and only those inside the buffer.
// Nothing is read from a buffer without replies or too short for one; the
// result is the number of replies taken, 0 or 1.
std::uint32_t ReadReply6(std::span<const std::byte> buffer, std::uint32_t replies, std::size_t requestSize,
                         EchoReply& reply);

}  // namespace win
}  // namespace tolvane::probe
