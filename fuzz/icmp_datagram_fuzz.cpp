// Whatever a raw socket may receive: an IPv4 datagram of any shape. Only a
// well-formed echo reply carrying our request's id, sequence and data from
// the destination may be taken for the reply.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "probe/icmp_packet.h"
#include "probe/probe.h"

namespace icmp = tolvane::probe::icmp;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto payload = tolvane::probe::kEchoData;
  const std::span<const std::uint8_t> ours(reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size());
  // The destination and ids come from the input's first bytes when there
  // are enough, so the fuzzer can line them up with the datagram.
  std::uint32_t destination = 0x0201A8C0;
  std::uint16_t id = 0x1234, sequence = 7;
  if (size >= 8) {
    destination = data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    id = static_cast<std::uint16_t>(data[4] << 8 | data[5]);
    sequence = static_cast<std::uint16_t>(data[6] << 8 | data[7]);
    data += 8;
    size -= 8;
  }
  const icmp::Expected sent{destination, id, sequence, ours};
  const icmp::Match match = icmp::ClassifyDatagram(std::span(data, size), sent);
  if (match.verdict == icmp::Verdict::Reply) {
    if (!std::equal(match.data.begin(), match.data.end(), ours.begin(), ours.end())) std::abort();
    if (match.data.data() < data || match.data.data() + match.data.size() > data + size) std::abort();
  }
  if (match.verdict == icmp::Verdict::Error && match.status == 0) std::abort();
  return 0;
}
