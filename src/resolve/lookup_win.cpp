// Name lookups through Windows Sockets (gethostbyname, inet_ntoa; and
// getaddrinfo for IPv6, which the resolver asks only for a name that
// gethostbyname found no IPv4 address for). The
// engine's texts are UTF-8; the socket library's are in the ANSI code page.
// gethostbyname and inet_ntoa are the Windows Sockets 1.1 calls meant here;
// MSVC calls them deprecated.
#define _WINSOCK_DEPRECATED_NO_WARNINGS
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "resolve.h"

namespace tolvane::resolve {
namespace {

std::wstring Widen(const std::string& text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string Narrow(const std::wstring& wide, UINT codePage) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

class WinHostLookup final : public HostLookup {
 public:
  std::optional<std::uint32_t> FirstAddress(const std::string& name) override {
    // The name ends at its first NUL, as a C string does.
    const std::string ansi = Narrow(Widen(std::string(name.c_str()), CP_UTF8), CP_ACP);
    const hostent* host = gethostbyname(ansi.c_str());
    if (host == nullptr || host->h_addr_list == nullptr || host->h_addr_list[0] == nullptr) return std::nullopt;
    std::uint32_t address = 0;
    std::memcpy(&address, host->h_addr_list[0], sizeof address);
    return address;
  }

  std::optional<probe::Address6> FirstAddress6(const std::string& name) override {
    const std::string ansi = Narrow(Widen(std::string(name.c_str()), CP_UTF8), CP_ACP);
    addrinfo hints{};
    hints.ai_family = AF_INET6;
    addrinfo* found = nullptr;
    if (getaddrinfo(ansi.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return std::nullopt;
    std::optional<probe::Address6> address;
    if (found->ai_family == AF_INET6 && found->ai_addr != nullptr && found->ai_addrlen >= sizeof(sockaddr_in6)) {
      const auto* in6 = reinterpret_cast<const sockaddr_in6*>(found->ai_addr);
      address.emplace();
      std::memcpy(address->bytes.data(), &in6->sin6_addr, address->bytes.size());
      address->scope = in6->sin6_scope_id;
    }
    freeaddrinfo(found);
    return address;
  }
};

}  // namespace

std::unique_ptr<HostLookup> MakeSystemHostLookup() { return std::make_unique<WinHostLookup>(); }

std::string AddressToText(std::uint32_t address) {
  in_addr in{};
  in.s_addr = address;
  return AnsiPointerToText(inet_ntoa(in));
}

std::string AnsiPointerToText(const char* text) {
  if (text == nullptr) return {};
  const int length = lstrlenA(text);
  std::vector<char> copy(static_cast<std::size_t>(length) + 1);
  lstrcpyA(copy.data(), text);
  return Narrow(Widen(std::string(copy.data(), static_cast<std::size_t>(length)), CP_ACP), CP_UTF8);
}

}  // namespace tolvane::resolve
