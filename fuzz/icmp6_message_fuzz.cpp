// Whatever an ICMPv6 socket (ping or raw) may hand over: a message of any
// shape from any source. Only our echo reply from the destination may be
// taken for the reply, and only an error quoting our request for an error.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "probe/icmp6_packet.h"
#include "probe/probe.h"

namespace icmp6 = tolvane::probe::icmp6;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto payload = tolvane::probe::kEchoData;
  const std::span<const std::uint8_t> ours(reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size());
  // The first 16 bytes are the sender, the next one says whether the id is
  // checked (a raw socket) or not (a ping socket); the rest is the message.
  if (size < 17) return 0;
  icmp6::Bytes16 source{};
  std::copy_n(data, 16, source.begin());
  static const icmp6::Bytes16 destination{0xfd, 0x4c, 0x7f, 0x1e, 0xa7, 0xb0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0x15};
  const icmp6::Expected sent{destination, 0x1234, 7, ours};
  const std::span<const std::uint8_t> message(data + 17, size - 17);
  const icmp6::Match match = icmp6::Classify(message, source, sent);
  if (match.verdict == icmp6::Verdict::Reply) {
    if (source != destination || message[0] != icmp6::kEchoReply) std::abort();
    if (!std::equal(match.data.begin(), match.data.end(), ours.begin(), ours.end())) std::abort();
    if (match.data.data() < message.data() || match.data.data() + match.data.size() > message.data() + message.size())
      std::abort();
  }
  if (match.verdict == icmp6::Verdict::Error && (match.status == 0 || message[0] >= 128)) std::abort();
  return 0;
}
