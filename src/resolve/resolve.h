// Host name resolution: a name to the dotted text of its first IPv4 address.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "probe/platform.h"

namespace tolvane::resolve {

// The platform's host-name service (gethostbyname on Windows, getaddrinfo
// restricted to IPv4 on Linux).
class HostLookup {
 public:
  virtual ~HostLookup() = default;
  // The first IPv4 address of `name` (network byte order in memory), or
  // nothing when the name is not found or has no address.
  virtual std::optional<std::uint32_t> FirstAddress(const std::string& name) = 0;
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

bool ResolverStartup(probe::SocketLibrary& sockets);
void ResolverCleanup(probe::SocketLibrary& sockets, probe::MessageSink& messages);
std::string LookupHostName(const std::string& name, HostLookup& lookup);

// Platform text helpers (inet_ntoa and the copy of a C string on Windows).
std::string AddressToText(std::uint32_t address);
std::string AnsiPointerToText(const char* text);

}  // namespace tolvane::resolve
