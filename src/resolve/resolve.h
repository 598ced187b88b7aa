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

// What one lookup of a name found.
struct HostAddresses {
  std::optional<std::uint32_t> ipv4;    // network byte order in memory
  std::optional<probe::Address6> ipv6;  // with its scope, where it has one
};

// The platform's host-name service: getaddrinfo for both families at once
// on Linux; gethostbyname on Windows, and getaddrinfo for IPv6 where that
// finds no IPv4 address.
class HostLookup {
 public:
  virtual ~HostLookup() = default;
  // One lookup of `name` (UTF-8; a name beyond ASCII is looked up in its
  // ASCII-compatible form): its first IPv4 address and, at least
  // where it has none, its first IPv6 address in the resolver's order. A
  // name the resolver doesn't answer for costs one lookup's wait, not one
  // per family.
  virtual HostAddresses FirstAddresses(const std::string& name) = 0;
};

std::unique_ptr<HostLookup> MakeSystemHostLookup();

struct Resolver {
  probe::SocketLibrary& sockets;
  HostLookup& lookup;
  probe::MessageSink& messages;
};

// A name's address texts, from one lookup.
struct ResolvedHost {
  // The dotted text of its first IPv4 address; "" when the name has none or
  // is not found; " " when the socket library can't be started.
  std::string address;
  // Where `address` is "": the text of its first IPv6 address, with its
  // scope. "" otherwise, and for a text written as an IPv6 address (probed
  // as typed, or refused; see probe::ParseAddress6).
  std::string address6;
};

// The socket library started, `name` looked up once, the library cleaned up.
ResolvedHost ResolveHost(const std::string& name, Resolver& resolver);

// Platform text helpers (inet_ntoa and the copy of a C string on Windows).
std::string AddressToText(std::uint32_t address);
std::string AnsiPointerToText(const char* text);

}  // namespace tolvane::resolve
