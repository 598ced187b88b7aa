// Name lookups through Windows Sockets (gethostbyname, inet_ntoa; and
// getaddrinfo for IPv6, asked only for a name that gethostbyname found no
// IPv4 address for, and not after a name server that never answered). The
// engine's texts are UTF-8; the socket library's are in the ANSI code page.
// gethostbyname and inet_ntoa are the Windows Sockets 1.1 calls meant here;
// MSVC calls them deprecated.
#define _WINSOCK_DEPRECATED_NO_WARNINGS
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "lookup_win.h"
#include "resolve.h"

namespace tolvane::resolve {
namespace {

// Longer than a refusal takes, shorter than the resolver's first time-out
// (1 s on Windows).
constexpr std::uint64_t kWaitedMs = 500;

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
  HostAddresses FirstAddresses(const std::string& name) override {
    const std::string lookupName = LookupName(name);
    HostAddresses first;
    const ULONGLONG asked = GetTickCount64();
    const hostent* host = gethostbyname(lookupName.c_str());
    if (host != nullptr && host->h_addr_list != nullptr && host->h_addr_list[0] != nullptr) {
      std::uint32_t address = 0;
      std::memcpy(&address, host->h_addr_list[0], sizeof address);
      first.ipv4 = address;
      return first;
    }
    if (!AsksForIPv6After(host == nullptr ? WSAGetLastError() : 0, GetTickCount64() - asked)) return first;
    addrinfo hints{};
    hints.ai_family = AF_INET6;
    addrinfo* found = nullptr;
    if (getaddrinfo(lookupName.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return first;
    if (found->ai_family == AF_INET6 && found->ai_addr != nullptr && found->ai_addrlen >= sizeof(sockaddr_in6)) {
      const auto* in6 = reinterpret_cast<const sockaddr_in6*>(found->ai_addr);
      first.ipv6 = probe::Address6{std::to_array(in6->sin6_addr.s6_addr), in6->sin6_scope_id};
    }
    freeaddrinfo(found);
    return first;
  }
};

}  // namespace

bool AsksForIPv6After(int error, std::uint64_t waitedMs) { return error != WSATRY_AGAIN || waitedMs < kWaitedMs; }

std::string LookupName(const std::string& name) {
  const std::wstring wide = Widen(std::string(name.c_str()), CP_UTF8);
  if (std::any_of(wide.begin(), wide.end(), [](wchar_t c) { return c > 0x7F; })) {
    const int size = static_cast<int>(wide.size());
    const int length = IdnToAscii(0, wide.data(), size, nullptr, 0);
    std::wstring ascii(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    // A name it can't convert goes on as typed, to be found or not.
    if (length > 0 && IdnToAscii(0, wide.data(), size, ascii.data(), length) == length) return Narrow(ascii, CP_ACP);
  }
  return Narrow(wide, CP_ACP);
}

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
