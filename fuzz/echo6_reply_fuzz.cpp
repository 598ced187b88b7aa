// Whatever Icmp6SendEcho2 may leave in its reply buffer, read as the
// Windows echo reads it: never past the buffer, never more than the request
// or the reply record holds.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "probe/echo6_reply.h"
#include "probe/probe.h"

namespace win = tolvane::probe::win;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first two bytes are the request size and the reply count.
  if (size < 2) return 0;
  const std::size_t requestSize = data[0];
  const std::uint32_t replies = data[1] % 3;
  // An exact-size copy, so that AddressSanitizer sees every byte past it.
  std::vector<std::byte> buffer(size - 2);
  if (!buffer.empty()) std::memcpy(buffer.data(), data + 2, buffer.size());
  tolvane::probe::EchoReply reply;
  const std::uint32_t taken = win::ReadReply6(buffer, replies, requestSize, reply);
  if (taken > 1 || (taken == 1 && (replies == 0 || buffer.size() < win::kReply6HeaderSize))) std::abort();
  if (reply.RoundTripTime < 0 || reply.RoundTripMicroseconds != std::int64_t{reply.RoundTripTime} * 1000) std::abort();
  if (taken == 1) {
    const std::size_t copied = std::min({requestSize, buffer.size() - win::kReply6HeaderSize, reply.DataBuffer.size()});
    if (std::memcmp(reply.DataBuffer.data(), buffer.data() + win::kReply6HeaderSize, copied) != 0) std::abort();
  }
  return 0;
}
