// Name lookups through the system resolver (getaddrinfo, one family at a
// time).
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
  std::optional<std::uint32_t> FirstAddress(const std::string& name) override {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_RAW;  // one entry per address, not one per socket type
    // No AI_ADDRCONFIG: with only loopback configured it makes even
    // "localhost" fail.
    addrinfo* found = nullptr;
    // The name ends at its first NUL, as a C string does.
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return std::nullopt;
    std::optional<std::uint32_t> address;
    if (found->ai_family == AF_INET && found->ai_addr != nullptr)
      address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return address;
  }

  std::optional<probe::Address6> FirstAddress6(const std::string& name) override {
    addrinfo hints{};
    hints.ai_family = AF_INET6;
    hints.ai_socktype = SOCK_RAW;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return std::nullopt;
    std::optional<probe::Address6> address;
    if (found->ai_family == AF_INET6 && found->ai_addr != nullptr && found->ai_addrlen >= sizeof(sockaddr_in6)) {
      const auto* in6 = reinterpret_cast<const sockaddr_in6*>(found->ai_addr);
      address.emplace();
      std::copy(std::begin(in6->sin6_addr.s6_addr), std::end(in6->sin6_addr.s6_addr), address->bytes.begin());
      address->scope = in6->sin6_scope_id;
    }
    freeaddrinfo(found);
    return address;
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
