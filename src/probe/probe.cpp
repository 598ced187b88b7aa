// One echo, and the check the rest of the program calls.
#include "probe.h"

namespace tolvane::probe {

std::int32_t ProbeHost(const std::string& host, EchoReply& reply, Platform& platform) {
  const auto address = static_cast<std::uint32_t>(DottedToAddress(host));
  SocketsStart(platform.sockets, platform.messages);  // a failure was shown; probe anyway
  std::int32_t result;
  {
    const auto handle = platform.icmp.Open();
    const std::uint32_t replies = handle->SendEcho(
        address, std::span<const char>(kEchoData.data(), kEchoData.size()), reply, kEchoTimeoutMs);
    // A service that failed without saying why must not read as a success.
    if (replies == 0 && reply.Status == kIpSuccess) reply.Status = kIpGeneralFailure;
    // An ICMP error counts as a reply to some services: it has a status, not a time.
    result = replies != 0 && reply.Status == kIpSuccess ? reply.RoundTripTime : -reply.Status;
  }  // the handle closes here, before the clean-up
  SocketsStop(platform.sockets, platform.messages);
  return result;
}

std::int32_t Checker::check(std::string Vnewip_address) {
  curhost = Vnewip_address;
  reply = EchoReply{};
  ProbeHost(Vnewip_address, reply, platform_);
  statusText = EchoStatusText(reply.Status);
  return reply.Status == kIpSuccess ? reply.RoundTripTime : kNoReply;
}

}  // namespace tolvane::probe
