// The Linux echo service (ICMP and ICMPv6), with a choice of socket for tests.
#pragma once

#include <sys/socket.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "platform.h"

namespace tolvane::probe {

enum class IcmpSocketKind {
  Any,       // an ICMP datagram socket, else a raw socket
  Datagram,  // unprivileged ping socket only (net.ipv4.ping_group_range)
  Raw,       // raw socket only (root or CAP_NET_RAW)
};

// The clocks an echo is timed by, in ns: CLOCK_REALTIME, on which the kernel
// stamps replies, and CLOCK_MONOTONIC, which no one can step. Tests shift
// the first to play a clock step between send and reply.
struct EchoClocks {
  std::function<std::int64_t()> realtime;
  std::function<std::int64_t()> monotonic;
};
EchoClocks SystemClocks();

struct LinuxEchoOptions {
  EchoClocks clocks = SystemClocks();
  // Raw sockets opened per probe get the id filter; off only to measure
  // what it saves.
  bool filterRaw = true;
};

std::unique_ptr<IcmpService> MakeLinuxIcmpService(IcmpSocketKind kind, LinuxEchoOptions options = {});

// The round trip to report: the kernel-stamped one (`stamped`, reply stamp
// minus realtime send time) when it lies within the monotonic time from
// send to receipt (`elapsed`), else that elapsed time.
std::int64_t RoundTripNanoseconds(std::int64_t stamped, std::int64_t elapsed);
// Whole milliseconds, truncated, saturated to what the reply record holds.
std::int32_t WholeMilliseconds(std::int64_t microseconds);

// `family` is AF_INET (ICMP) or AF_INET6 (ICMPv6) below.
// Whether this process may open an unprivileged ping socket now.
bool PingSocketAllowed(int family = AF_INET);
// A raw ICMP socket whose locked filter passes only echo replies carrying
// this process's id and ICMP errors quoting one of its requests: the
// descriptor, or -errno when it can't be opened. The ICMPv6 one also lets
// only those five types through ICMP6_FILTER.
int OpenFilteredRawSocket(int family = AF_INET);
// From now on every probe of that family that needs a raw socket borrows
// `fd` instead of opening its own (which it could no longer do once
// privileges are gone).
void LendRawSocket(int fd, int family = AF_INET);

// ICMP packets this process received while waiting for a reply and set
// aside as not its own (other pingers' traffic, strays, duplicates).
std::uint64_t ForeignPacketsDiscarded();

}  // namespace tolvane::probe
