// One echo, and the check the rest of the program calls.
#include "probe.h"

#include <algorithm>

namespace tolvane::probe {

namespace {

// One echo of either family between the socket library's start-up and
// clean-up; `send` opens the handle and closes it again before it returns.
template <typename Send>
std::int32_t Probe(EchoReply& reply, Platform& platform, Send send) {
  SocketsStart(platform.sockets, platform.messages);  // a failure was shown; probe anyway
  const std::uint32_t replies = send();
  // A service that failed without saying why must not read as a success.
  if (replies == 0 && reply.Status == kIpSuccess) reply.Status = kIpGeneralFailure;
  // An ICMP error counts as a reply to some services: it has a status, not a time.
  const std::int32_t result = replies != 0 && reply.Status == kIpSuccess ? reply.RoundTripTime : -reply.Status;
  SocketsStop(platform.sockets, platform.messages);
  return result;
}

bool Sendable(const Address6& address) {
  const auto& b = address.bytes;
  const bool unspecified = std::all_of(b.begin(), b.end(), [](std::uint8_t x) { return x == 0; });
  const bool mapped = std::all_of(b.begin(), b.begin() + 10, [](std::uint8_t x) { return x == 0; }) && b[10] == 0xFF &&
                      b[11] == 0xFF;
  return !unspecified && !mapped && b[0] != 0xFF;
}

}  // namespace

std::int32_t ProbeHost6(const Address6& host, EchoReply& reply, Platform& platform) {
  return Probe(reply, platform, [&]() -> std::uint32_t {
    if (!Sendable(host)) return FailEcho(reply, kIpBadDestination);
    const auto handle = platform.icmp.Open6();
    if (!handle) return 0;  // no IPv6 here: a general failure
    return handle->SendEcho(host, std::span<const char>(kEchoData), reply, kEchoTimeoutMs);
  });
}

std::int32_t ProbeHost(const std::string& host, EchoReply& reply, Platform& platform) {
  const auto address = static_cast<std::uint32_t>(DottedToAddress(host));
  if (address == 0) {
    if (const auto v6 = ParseAddress6(host)) return ProbeHost6(*v6, reply, platform);
  }
  return Probe(reply, platform, [&] {
    const auto handle = platform.icmp.Open();
    return handle->SendEcho(address, std::span<const char>(kEchoData), reply, kEchoTimeoutMs);
  });
}

std::int32_t Checker::check(std::string Vnewip_address) {
  curhost = Vnewip_address;
  reply = EchoReply{};
  ProbeHost(Vnewip_address, reply, platform_);
  statusText = EchoStatusText(reply.Status);
  return reply.Status == kIpSuccess ? reply.RoundTripTime : kNoReply;
}

}  // namespace tolvane::probe
