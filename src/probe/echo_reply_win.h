// The reply record in the packed form IcmpSendEcho fills: the platform's
// ICMP_ECHO_REPLY (28 bytes on 32-bit Windows, 40 on x64), then the 250
// bytes of DataBuffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tolvane::probe {

struct EchoReply;

namespace win {

std::size_t ReplyHeaderSize();
std::size_t PackedReplySize();

// The least a reply buffer may hold for `requestSize` bytes of data: one
// reply, the echoed data and 8 bytes for an ICMP error.
std::size_t MinimumReplyBuffer(std::size_t requestSize);

// Status, RoundTripTime and DataBuffer into their places in `packed`
// (which the caller has zeroed); as much of DataBuffer as fits, right after
// the header, with Data and DataSize saying so.
void PackReply(const EchoReply& reply, std::span<std::byte> packed);

// And back: the same fields, RoundTripMicroseconds from the whole
// milliseconds the service reports, DataBuffer from the reply's own Data
// and DataSize (zero-padded). `packed` holds at least the header.
void UnpackReply(std::span<const std::byte> packed, EchoReply& reply);

// The service counts whole milliseconds. The time the call took, which
// holds the call's own cost as well, narrows the round trip down within
// that millisecond; it never moves it out of it.
std::int64_t FinerRoundTrip(std::int32_t roundTripMs, std::int64_t callMicroseconds);

}  // namespace win
}  // namespace tolvane::probe
