// Host name to the dotted text of its first address, with the socket
// library started and cleaned up around each lookup.
#include "resolve.h"

namespace tolvane::resolve {

ResolvedHost ResolveHost(const std::string& name, Resolver& resolver) {
  probe::WsaData unused;
  if (resolver.sockets.Startup(0x0101, unused) != 0) return {" ", {}};
  const HostAddresses found = resolver.lookup.FirstAddresses(name);
  ResolvedHost result;
  // The text ends at its first NUL, as a name handed to the resolver does.
  // An IPv6 address the user typed was probed as typed already; one that
  // was refused (a link-local one without its scope, say) is no name either.
  if (found.ipv4)
    result.address = AddressToText(*found.ipv4);
  else if (found.ipv6 && !probe::LooksLikeAddress6(name.c_str()))
    result.address6 = probe::Address6ToText(*found.ipv6);
  if (resolver.sockets.Cleanup() != 0)
    resolver.messages.Show("Windows Sockets error occurred during Cleanup.", probe::MessageIcon::Exclamation);
  return result;
}

}  // namespace tolvane::resolve
