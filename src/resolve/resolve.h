// Host name resolution: a name to the dotted text of its first IPv4 address,
// and, for a name without one, to the text of its first IPv6 address.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "probe/platform.h"
#include "probe/probe.h"

namespace tolvane::resolve {

// The platform's host-name service (gethostbyname on Windows, getaddrinfo
// restricted to IPv4 on Linux).
class HostLookup {
 public:
  virtual ~HostLookup() = default;
  // The first IPv4 address of `name` (network byte order in memory), or
  // nothing when the name is not found or has no address.
  virtual std::optional<std::uint32_t> FirstAddress(const std::string& name) = 0;
  // The first IPv6 address of `name` in the resolver's order (getaddrinfo
  // for AF_INET6); nothing when it has none, or the lookup has no IPv6.
  virtual std::optional<probe::Address6> FirstAddress6(const std::string& name) {
    (void)name;
    return std::nullopt;
  }
};

std::unique_ptr<HostLookup> MakeSystemHostLookup();

struct Resolver {
  probe::SocketLibrary& sockets;
  HostLookup& lookup;
  probe::MessageSink& messages;
};

// The dotted text of the first address of `name`; "" when the name is not
// found; " " when the socket library can't be started.
std::string ResolveHostAddress(const std::string& name, Resolver& resolver);

// The IPv6 text to probe where the IPv4 path found nothing: `name` itself,
// as typed, when it is an IPv6 address (probe::ParseAddress6: a link-local
// one needs its scope); otherwise, when the name has no IPv4 address, the
// text of its first IPv6 address, with its scope where it has one. "" in
// every other case (no IPv6 address, an IPv4 address, a refused IPv6
// text, no socket library).
std::string ResolveHostAddress6(const std::string& name, Resolver& resolver);

bool ResolverStartup(probe::SocketLibrary& sockets);
void ResolverCleanup(probe::SocketLibrary& sockets, probe::MessageSink& messages);
std::string LookupHostName(const std::string& name, HostLookup& lookup);

// Platform text helpers (inet_ntoa and the copy of a C string on Windows).
std::string AddressToText(std::uint32_t address);
std::string AnsiPointerToText(const char* text);

}  // namespace tolvane::resolve
