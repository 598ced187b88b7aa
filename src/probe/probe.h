// The echo probe: one ICMP echo to an IPv4 host (or ICMPv6 echo to an IPv6
// host where no IPv4 address applies), and its round-trip time.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform.h"

namespace tolvane::probe {

// IP status codes, as the Windows ICMP echo service reports them.
inline constexpr std::int32_t kIpSuccess = 0;
inline constexpr std::int32_t kIpBufTooSmall = 11001;
inline constexpr std::int32_t kIpDestNetUnreachable = 11002;
inline constexpr std::int32_t kIpDestHostUnreachable = 11003;
inline constexpr std::int32_t kIpDestProtUnreachable = 11004;
inline constexpr std::int32_t kIpDestPortUnreachable = 11005;
inline constexpr std::int32_t kIpNoResources = 11006;
inline constexpr std::int32_t kIpPacketTooBig = 11009;
inline constexpr std::int32_t kIpReqTimedOut = 11010;
inline constexpr std::int32_t kIpBadRoute = 11012;
inline constexpr std::int32_t kIpTtlExpiredTransit = 11013;
inline constexpr std::int32_t kIpTtlExpiredReassem = 11014;
inline constexpr std::int32_t kIpParamProblem = 11015;
inline constexpr std::int32_t kIpSourceQuench = 11016;
inline constexpr std::int32_t kIpBadDestination = 11018;
inline constexpr std::int32_t kIpGeneralFailure = 11050;
// The names the service gives the same codes for ICMPv6 errors, and the
// codes only ICMPv6 has.
inline constexpr std::int32_t kIpDestNoRoute = 11002;
inline constexpr std::int32_t kIpDestAddrUnreachable = 11003;
inline constexpr std::int32_t kIpDestProhibited = 11004;
inline constexpr std::int32_t kIpHopLimitExceeded = 11013;
inline constexpr std::int32_t kIpReassemblyTimeExceeded = 11014;
inline constexpr std::int32_t kIpParameterProblem = 11015;
inline constexpr std::int32_t kIpUnrecognizedNextHeader = 11043;
inline constexpr std::int32_t kIpDestScopeMismatch = 11045;
// Not a Windows code: this process may not send ICMP at all (on Linux,
// neither a ping socket nor a raw socket could be opened).
inline constexpr std::int32_t kIcmpNotPermitted = 11900;

// The reply record the echo service fills.
struct EchoReply {
  std::int32_t Status = 0;
  std::int32_t RoundTripTime = 0;           // whole milliseconds, truncated
  std::int64_t RoundTripMicroseconds = 0;   // the same time, finer where the platform can tell
  std::array<char, 250> DataBuffer{};       // the echoed request data
};

// An echo that failed before or without a reply: `reply` gets `status`,
// and the count of replies an echo service returns is 0.
inline std::uint32_t FailEcho(EchoReply& reply, std::int32_t status) {
  reply.Status = status;
  return 0;
}

// What `check` returns when no successful reply came (a reply of 0 ms is
// an answer, and returns 0).
inline constexpr std::int32_t kNoReply = -1;

// The request data of every echo.
inline constexpr std::string_view kEchoData = "Echo This";
inline constexpr std::uint32_t kEchoTimeoutMs = 200;

// The dotted text "a.b.c.d" as a 32-bit address whose least significant
// byte is a (so that it lies in memory in network order). Each part is a
// decimal number, blanks around it and a sign allowed, taken modulo 256.
// Anything but exactly four such parts gives 0.
std::int32_t DottedToAddress(std::string_view text);

// A typed IPv6 address, "2001:db8::7" or with a scope, "fe80::1%eth0" or
// "fe80::1%2" (an interface's name or index). Nothing for any other text,
// for a scope that names no interface, and for a link-local address
// without a scope, which could be on any link.
std::optional<Address6> ParseAddress6(std::string_view text);
// The address as text, with "%" and its interface's name (or index) when
// it has a scope.
std::string Address6ToText(const Address6& address);
// Whether `text` is written as an IPv6 address (possibly one ParseAddress6
// refuses), and so must never be taken for a host name.
bool LooksLikeAddress6(std::string_view text);

// Start the socket library, asking for version 1.1; false (after telling
// the user) when it did not start, is older than 1.1 or has no sockets.
bool SocketsStart(SocketLibrary& sockets, MessageSink& messages);
// Clean the socket library up; false (after telling the user) on failure.
bool SocketsStop(SocketLibrary& sockets, MessageSink& messages);

// A status code in words: "11010   [ ip req timed out ]"; and the words
// alone ("ip req timed out"), none for a code without a name.
std::string EchoStatusText(std::int32_t status);
std::string_view EchoStatusWords(std::int32_t status);

struct Platform {
  SocketLibrary& sockets;
  IcmpService& icmp;
  MessageSink& messages;
};

// One echo to `host` with the 200 ms time-out, the socket library started
// and cleaned up around it. Returns the round-trip time when a reply came,
// otherwise the negated reply status. A text that isn't a dotted IPv4
// address but is an IPv6 one (ParseAddress6) gets an ICMPv6 echo instead.
std::int32_t ProbeHost(const std::string& host, EchoReply& reply, Platform& platform);
// The ICMPv6 echo itself, the same way. The unspecified address, multicast
// and IPv4-mapped addresses are never sent to (status kIpBadDestination).
std::int32_t ProbeHost6(const Address6& host, EchoReply& reply, Platform& platform);

// The probe as the program uses it: remembers the host text it was last
// given (every sample of a run probes it again) and the last reply.
class Checker {
 public:
  explicit Checker(Platform& platform) : platform_(platform) {}

  // Round-trip time in ms of a successful reply (0 included), kNoReply
  // otherwise. Stores the text as curhost before probing.
  std::int32_t check(std::string Vnewip_address);

  std::string curhost;
  EchoReply reply;          // the record of the last check
  std::string statusText;   // EchoStatusText of the last reply

 private:
  Platform& platform_;
};

}  // namespace tolvane::probe
