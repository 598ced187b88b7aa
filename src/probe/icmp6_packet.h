// ICMPv6 echo messages: building requests and reading what comes back.
// Pure functions over bytes, shared by the Linux sockets, the fuzzer and
// the tests. ICMPv6 sockets hand over the message without the IPv6 header,
// and the kernel has checked its checksum (which covers the addresses)
// before any socket sees it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "icmp_packet.h"

namespace tolvane::probe::icmp6 {

using Bytes16 = std::array<std::uint8_t, 16>;
using icmp::Match;
using icmp::Verdict;

inline constexpr std::uint8_t kDestUnreachable = 1;
inline constexpr std::uint8_t kPacketTooBig = 2;
inline constexpr std::uint8_t kTimeExceeded = 3;
inline constexpr std::uint8_t kParameterProblem = 4;
inline constexpr std::uint8_t kEchoRequest = 128;
inline constexpr std::uint8_t kEchoReply = 129;

// An echo request: type 128, code 0, id, sequence, data. The checksum is
// left 0: it covers the addresses, and the kernel fills it in.
std::vector<std::uint8_t> EchoRequest(std::uint16_t id, std::uint16_t sequence, std::span<const std::uint8_t> data);

using Expected = icmp::ExpectedOf<Bytes16>;

// The status the Windows echo service gives an ICMPv6 error type and code;
// 0 for types that are not errors.
std::int32_t ErrorStatus(std::uint8_t type, std::uint8_t code);

// An ICMPv6 message that arrived from `source`, as icmp::ClassifyEcho; an
// error must quote our request (IPv6 header and echo header) to the
// destination.
Match Classify(std::span<const std::uint8_t> message, const Bytes16& source, const Expected& sent);

}  // namespace tolvane::probe::icmp6
