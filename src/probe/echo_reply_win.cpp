#include "echo_reply_win.h"

// clang-format off
#include <winsock2.h>
#include <iphlpapi.h>
// clang-format on

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "probe.h"

namespace tolvane::probe::win {
namespace {

// Field by field through memcpy: the buffer is bytes, not a struct.
template <typename T>
void Put(std::span<std::byte> packed, std::size_t offset, const T& value) {
  std::memcpy(packed.data() + offset, &value, sizeof value);
}

template <typename T>
T Get(std::span<const std::byte> packed, std::size_t offset) {
  T value;
  std::memcpy(&value, packed.data() + offset, sizeof value);
  return value;
}

constexpr std::size_t kErrorRoom = 8;  // an ICMP error's header, as the service asks

}  // namespace

std::size_t ReplyHeaderSize() { return sizeof(ICMP_ECHO_REPLY); }
std::size_t PackedReplySize() { return ReplyHeaderSize() + std::tuple_size_v<decltype(EchoReply::DataBuffer)>; }
std::size_t MinimumReplyBuffer(std::size_t requestSize) { return ReplyHeaderSize() + requestSize + kErrorRoom; }

void PackReply(const EchoReply& reply, std::span<std::byte> packed) {
  Put(packed, offsetof(ICMP_ECHO_REPLY, Status), static_cast<ULONG>(reply.Status));
  Put(packed, offsetof(ICMP_ECHO_REPLY, RoundTripTime), static_cast<ULONG>(reply.RoundTripTime));
  const std::size_t room = packed.size() - std::min(packed.size(), ReplyHeaderSize());
  const std::size_t count = std::min(room, reply.DataBuffer.size());
  Put(packed, offsetof(ICMP_ECHO_REPLY, DataSize), static_cast<USHORT>(count));
  Put(packed, offsetof(ICMP_ECHO_REPLY, Data), static_cast<PVOID>(packed.data() + ReplyHeaderSize()));
  std::memcpy(packed.data() + ReplyHeaderSize(), reply.DataBuffer.data(), count);
}

void UnpackReply(std::span<const std::byte> packed, EchoReply& reply) {
  reply.Status = static_cast<std::int32_t>(Get<ULONG>(packed, offsetof(ICMP_ECHO_REPLY, Status)));
  reply.RoundTripTime = static_cast<std::int32_t>(Get<ULONG>(packed, offsetof(ICMP_ECHO_REPLY, RoundTripTime)));
  reply.RoundTripMicroseconds = std::int64_t{reply.RoundTripTime} * 1000;
  // The echoed data lies where the reply says, not necessarily right after
  // it (an error reply, or several replies, move it); only what lies inside
  // the buffer is read.
  const auto data = reinterpret_cast<std::uintptr_t>(Get<PVOID>(packed, offsetof(ICMP_ECHO_REPLY, Data)));
  const auto begin = reinterpret_cast<std::uintptr_t>(packed.data());
  const auto end = begin + packed.size();
  std::size_t count = 0;
  if (data >= begin && data <= end) {
    count = std::min<std::size_t>({Get<USHORT>(packed, offsetof(ICMP_ECHO_REPLY, DataSize)), end - data,
                                    reply.DataBuffer.size()});
    std::memcpy(reply.DataBuffer.data(), packed.data() + (data - begin), count);
  }
  std::fill(reply.DataBuffer.begin() + count, reply.DataBuffer.end(), '\0');
}

std::int64_t FinerRoundTrip(std::int32_t roundTripMs, std::int64_t callMicroseconds) {
  const std::int64_t whole = std::int64_t{std::max(roundTripMs, 0)} * 1000;
  return std::clamp(callMicroseconds, whole, whole + 999);
}

}  // namespace tolvane::probe::win
