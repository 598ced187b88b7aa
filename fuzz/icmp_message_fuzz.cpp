// Whatever a ping socket may hand over: an ICMP message without IP header,
// a reply or an error quoting a request.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "probe/icmp_packet.h"
#include "probe/probe.h"

namespace icmp = tolvane::probe::icmp;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto payload = tolvane::probe::kEchoData;
  const std::span<const std::uint8_t> ours(reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size());
  if (size < 5) return 0;
  const std::uint32_t source = data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
  const bool verify = data[4] & 1;
  const std::span<const std::uint8_t> message(data + 5, size - 5);
  const icmp::Expected sent{0x0201A8C0, 0x1234, 7, ours};
  const icmp::Match match = icmp::Classify(message, source, sent, verify);
  if (match.verdict == icmp::Verdict::Reply) {
    if (source != sent.destination) std::abort();
    if (!std::equal(match.data.begin(), match.data.end(), ours.begin(), ours.end())) std::abort();
    if (verify && icmp::Checksum(message) != 0) std::abort();
  }
  if (match.verdict == icmp::Verdict::Error && match.status == 0) std::abort();
  return 0;
}
