// The platform services the echo probe stands on. One implementation per
// platform (sockets_linux.cpp, echo_linux.cpp, ...); tests bring fakes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tolvane::probe {

struct EchoReply;

// Modal user messages. The window implements this with message boxes; the
// engine only says what to show.
enum class MessageIcon { None, Exclamation };

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void Show(const std::string& text, MessageIcon icon) = 0;
};

// What the socket library reports at start-up: the granted version (major in
// the low byte, minor in the high byte) and how many sockets it supports.
struct WsaData {
  std::uint16_t wVersion = 0;
  std::int16_t iMaxSockets = 0;
};

// The socket library's start-up and clean-up (WSAStartup/WSACleanup on
// Windows). Both return 0 on success.
class SocketLibrary {
 public:
  virtual ~SocketLibrary() = default;
  virtual int Startup(std::uint16_t requested, WsaData& data) = 0;
  virtual int Cleanup() = 0;
};

// One opened ICMP echo handle. SendEcho sends `request` once to
// `destination` (network byte order in memory), waits at most `timeout_ms`
// and fills `reply`: Status (0 on success, an IP status code otherwise) and,
// on success, RoundTripTime. Returns the number of replies received (0 or 1).
class IcmpHandle {
 public:
  virtual ~IcmpHandle() = default;
  virtual std::uint32_t SendEcho(std::uint32_t destination, std::span<const char> request,
                                 EchoReply& reply, std::uint32_t timeout_ms) = 0;
};

// An IPv6 address: its 16 bytes in network order, and the scope (interface
// index) a link-local address needs; 0 for none.
struct Address6 {
  std::array<std::uint8_t, 16> bytes{};
  std::uint32_t scope = 0;
};

// The same for ICMPv6: one echo to `destination`, as IcmpHandle::SendEcho.
class Icmp6Handle {
 public:
  virtual ~Icmp6Handle() = default;
  virtual std::uint32_t SendEcho(const Address6& destination, std::span<const char> request, EchoReply& reply,
                                 std::uint32_t timeout_ms) = 0;
};

// The echo service: opens a handle per probe; closing is the handle's
// destruction. Opening never fails outright: a handle that could not get
// its socket reports why from SendEcho.
class IcmpService {
 public:
  virtual ~IcmpService() = default;
  virtual std::unique_ptr<IcmpHandle> Open() = 0;
  // An ICMPv6 handle, likewise; nothing from a service without IPv6.
  virtual std::unique_ptr<Icmp6Handle> Open6() { return nullptr; }
};

// The services of the platform this was built for.
std::unique_ptr<SocketLibrary> MakeSystemSocketLibrary();
std::unique_ptr<IcmpService> MakeSystemIcmpService();

}  // namespace tolvane::probe
