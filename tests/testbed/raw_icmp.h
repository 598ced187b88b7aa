// A raw ICMP socket for tests that look at the packets themselves: sends
// echo requests with ids of its own choosing and hands over every ICMP
// packet that reaches the namespace, with the kernel's receive time.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include <netinet/in.h>

namespace tolvane::testbed {

struct IcmpPacket {
  in_addr src{};
  std::uint8_t ttl = 0;
  std::int64_t rxNs = 0;               // CLOCK_REALTIME, kernel receive time
  std::vector<std::uint8_t> icmp;      // ICMP message, header included
};

class RawIcmp {
 public:
  RawIcmp();  // throws std::system_error (needs CAP_NET_RAW)
  ~RawIcmp();
  RawIcmp(const RawIcmp&) = delete;
  RawIcmp& operator=(const RawIcmp&) = delete;

  // Sends one echo request; returns CLOCK_REALTIME (ns) taken just before.
  std::int64_t SendEcho(const char* dst, std::uint16_t id, std::uint16_t seq,
                        std::span<const std::uint8_t> payload);

  // The next ICMP packet, or nullopt after timeoutMs.
  std::optional<IcmpPacket> Receive(int timeoutMs);

 private:
  int fd_ = -1;
};

std::int64_t RealtimeNs();

}  // namespace tolvane::testbed
