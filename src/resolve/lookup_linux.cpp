// Name lookups through the system resolver: one getaddrinfo for both
// families, which sends the A and the AAAA question together.
#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <iterator>

#include "resolve.h"

namespace tolvane::resolve {
namespace {

class LinuxHostLookup final : public HostLookup {
 public:
  HostAddresses FirstAddresses(const std::string& name) override {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_RAW;  // one entry per address, not one per socket type
    // No AI_ADDRCONFIG: with only loopback configured it makes even
    // "localhost" fail.
    addrinfo* found = nullptr;
    // The name ends at its first NUL, as a C string does.
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return {};
    HostAddresses first;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
      if (entry->ai_addr == nullptr) continue;
      if (entry->ai_family == AF_INET && !first.ipv4 && entry->ai_addrlen >= sizeof(sockaddr_in)) {
        first.ipv4 = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
      } else if (entry->ai_family == AF_INET6 && !first.ipv6 && entry->ai_addrlen >= sizeof(sockaddr_in6)) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(entry->ai_addr);
        first.ipv6.emplace();
        std::copy(std::begin(in6->sin6_addr.s6_addr), std::end(in6->sin6_addr.s6_addr), first.ipv6->bytes.begin());
        first.ipv6->scope = in6->sin6_scope_id;
      }
    }
    freeaddrinfo(found);
    return first;
  }
};

}  // namespace

std::unique_ptr<HostLookup> MakeSystemHostLookup() { return std::make_unique<LinuxHostLookup>(); }

std::string AddressToText(std::uint32_t address) {
  in_addr in{};
  in.s_addr = address;
  char text[INET_ADDRSTRLEN] = {};
  return AnsiPointerToText(inet_ntop(AF_INET, &in, text, sizeof text));
}

std::string AnsiPointerToText(const char* text) { return text != nullptr ? std::string(text) : std::string(); }

}  // namespace tolvane::resolve
