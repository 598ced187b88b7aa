// The Linux echo service, with a choice of socket for tests.
#pragma once

#include <cstdint>
#include <memory>

#include "platform.h"

namespace tolvane::probe {

enum class IcmpSocketKind {
  Any,       // an ICMP datagram socket, else a raw socket
  Datagram,  // unprivileged ping socket only (net.ipv4.ping_group_range)
  Raw,       // raw socket only (root or CAP_NET_RAW)
};

std::unique_ptr<IcmpService> MakeLinuxIcmpService(IcmpSocketKind kind);

// ICMP packets this process received while waiting for a reply and set
// aside as not its own (other pingers' traffic, strays, duplicates).
std::uint64_t ForeignPacketsDiscarded();

}  // namespace tolvane::probe
