// Host name to the dotted text of its first address, with the socket
// library started and cleaned up around each lookup.
#include "resolve.h"

namespace tolvane::resolve {

bool ResolverStartup(probe::SocketLibrary& sockets) {
  probe::WsaData unused;
  return sockets.Startup(0x0101, unused) == 0;
}

void ResolverCleanup(probe::SocketLibrary& sockets, probe::MessageSink& messages) {
  if (sockets.Cleanup() != 0)
    messages.Show("Windows Sockets error occurred during Cleanup.", probe::MessageIcon::Exclamation);
}

std::string LookupHostName(const std::string& name, HostLookup& lookup) {
  const auto address = lookup.FirstAddress(name);
  return address ? AddressToText(*address) : std::string();
}

std::string ResolveHostAddress(const std::string& name, Resolver& resolver) {
  if (!ResolverStartup(resolver.sockets)) return " ";
  std::string result = LookupHostName(name, resolver.lookup);
  ResolverCleanup(resolver.sockets, resolver.messages);
  return result;
}

std::string ResolveHostAddress6(const std::string& name, Resolver& resolver) {
  // The text ends at its first NUL, as a name handed to the resolver does.
  const std::string text(name.c_str());
  if (probe::ParseAddress6(text)) return text;
  // An IPv6 text that was refused is no name to look up either.
  if (probe::LooksLikeAddress6(text) || !ResolverStartup(resolver.sockets)) return {};
  std::string result;
  if (!resolver.lookup.FirstAddress(name)) {
    if (const auto address = resolver.lookup.FirstAddress6(name)) result = probe::Address6ToText(*address);
  }
  ResolverCleanup(resolver.sockets, resolver.messages);
  return result;
}

}  // namespace tolvane::resolve
