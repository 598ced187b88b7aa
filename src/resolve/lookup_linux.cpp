// Name lookups through the system resolver: one getaddrinfo for both
// families, which sends the A and the AAAA question together.
#include <arpa/inet.h>
#include <locale.h>
#include <netdb.h>
#include <sys/socket.h>

#include <array>

#include "resolve.h"

namespace tolvane::resolve {
namespace {

// glibc converts a name beyond ASCII (AI_IDN) from the thread's LC_CTYPE
// charset; the engine's texts are UTF-8 whatever the program's locale is.
class Utf8Characters {
 public:
  Utf8Characters() : utf8_(newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{})) {
    if (utf8_ != locale_t{}) previous_ = uselocale(utf8_);
  }
  ~Utf8Characters() {
    if (utf8_ == locale_t{}) return;
    uselocale(previous_);
    freelocale(utf8_);
  }
  Utf8Characters(const Utf8Characters&) = delete;
  Utf8Characters& operator=(const Utf8Characters&) = delete;

 private:
  locale_t utf8_;
  locale_t previous_ = LC_GLOBAL_LOCALE;
};

class LinuxHostLookup final : public HostLookup {
 public:
  HostAddresses FirstAddresses(const std::string& name) override {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_RAW;  // one entry per address, not one per socket type
    // No AI_ADDRCONFIG: with only loopback configured it makes even
    // "localhost" fail. A name beyond ASCII goes out in its ASCII-compatible
    // form, as name servers and hosts files hold it.
    hints.ai_flags = AI_IDN;
    addrinfo* found = nullptr;
    {
      const Utf8Characters utf8;
      // The name ends at its first NUL, as a C string does.
      if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return {};
    }
    HostAddresses first;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
      if (entry->ai_addr == nullptr) continue;
      if (entry->ai_family == AF_INET && !first.ipv4 && entry->ai_addrlen >= sizeof(sockaddr_in)) {
        first.ipv4 = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
      } else if (entry->ai_family == AF_INET6 && !first.ipv6 && entry->ai_addrlen >= sizeof(sockaddr_in6)) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(entry->ai_addr);
        first.ipv6 = probe::Address6{std::to_array(in6->sin6_addr.s6_addr), in6->sin6_scope_id};
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
