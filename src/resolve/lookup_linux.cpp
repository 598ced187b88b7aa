// Name lookups through the system resolver (getaddrinfo, IPv4 only).
#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>


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
