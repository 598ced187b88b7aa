// Typed IPv6 text to the address an ICMPv6 echo goes to, and back.
#ifdef _WIN32
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
// clang-format on
#else
#include <arpa/inet.h>
#include <net/if.h>
#endif

#include <string>

#include "probe.h"

namespace tolvane::probe {
namespace {

// Longer than any address with any interface name; a longer text isn't one.
constexpr std::size_t kMaxText = 96;
constexpr std::size_t kMaxScopeDigits = 10;

// The interface index a scope text names: digits are the index itself,
// anything else an interface's name. 0 when it names none.
std::uint32_t ScopeIndex(std::string_view scope) {
  if (scope.empty()) return 0;
  if (scope.find_first_not_of("0123456789") == std::string_view::npos) {
    if (scope.size() > kMaxScopeDigits) return 0;
    const unsigned long long index = std::stoull(std::string(scope));
    return index <= 0xFFFFFFFFULL ? static_cast<std::uint32_t>(index) : 0;
  }
  return if_nametoindex(std::string(scope).c_str());
}

// fe80::/10, and the multicast scopes that are no wider than one link.
bool NeedsScope(const Address6& address) {
  const auto& b = address.bytes;
  return (b[0] == 0xFE && (b[1] & 0xC0) == 0x80) || (b[0] == 0xFF && ((b[1] & 0x0F) == 1 || (b[1] & 0x0F) == 2));
}

}  // namespace

bool LooksLikeAddress6(std::string_view text) {
  const std::string_view address = text.substr(0, text.find('%'));
  if (address.find(':') == std::string_view::npos || address.size() > kMaxText) return false;
  return address.find_first_not_of("0123456789abcdefABCDEF:.") == std::string_view::npos;
}

std::optional<Address6> ParseAddress6(std::string_view text) {
  if (text.size() > kMaxText || text.find('\0') != std::string_view::npos || !LooksLikeAddress6(text)) return {};
  const std::size_t percent = text.find('%');
  Address6 address;
  if (inet_pton(AF_INET6, std::string(text.substr(0, percent)).c_str(), address.bytes.data()) != 1) return {};
  if (percent != std::string_view::npos) {
    address.scope = ScopeIndex(text.substr(percent + 1));
    if (address.scope == 0) return {};
  }
  if (address.scope == 0 && NeedsScope(address)) return {};
  return address;
}

std::string Address6ToText(const Address6& address) {
  char text[INET6_ADDRSTRLEN] = {};
  if (inet_ntop(AF_INET6, address.bytes.data(), text, sizeof text) == nullptr) return {};
  std::string result(text);
  if (address.scope != 0) {
#ifdef _WIN32
    // Windows writes scopes as numbers ("fe80::1%12").
    result += '%' + std::to_string(address.scope);
#else
    char name[IF_NAMESIZE + 1] = {};
    const char* known = if_indextoname(address.scope, name);
    result += '%' + (known != nullptr ? std::string(known) : std::to_string(address.scope));
#endif
  }
  return result;
}

}  // namespace tolvane::probe
