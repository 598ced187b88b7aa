#include "echo6_reply.h"

#include <algorithm>
#include <cstring>

#include "probe.h"

namespace tolvane::probe::win {
namespace {

constexpr std::size_t kErrorRoom = 8;
constexpr std::size_t kIoStatusBlock = 2 * sizeof(void*);

// Little-endian, as Windows stores it.
std::uint32_t Le32(std::span<const std::byte> b, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value |= std::to_integer<std::uint32_t>(b[at + i]) << (8 * i);
  return value;
}

}  // namespace

std::size_t Reply6BufferSize(std::size_t requestSize) {
  return kReply6HeaderSize + requestSize + kErrorRoom + kIoStatusBlock;
}

std::uint32_t ReadReply6(std::span<const std::byte> buffer, std::uint32_t replies, std::size_t requestSize,
                         EchoReply& reply) {
  if (replies == 0 || buffer.size() < kReply6HeaderSize) return 0;
  reply.Status = static_cast<std::int32_t>(Le32(buffer, kReply6StatusOffset));
  const std::uint32_t ms = Le32(buffer, kReply6RoundTripOffset);
  reply.RoundTripTime = static_cast<std::int32_t>(std::min<std::uint32_t>(ms, 0x7FFFFFFF));
  reply.RoundTripMicroseconds = std::int64_t{reply.RoundTripTime} * 1000;
  const std::size_t count =
      std::min({requestSize, buffer.size() - kReply6HeaderSize, reply.DataBuffer.size()});
  std::memcpy(reply.DataBuffer.data(), buffer.data() + kReply6HeaderSize, count);
  std::fill(reply.DataBuffer.begin() + static_cast<std::ptrdiff_t>(count), reply.DataBuffer.end(), '\0');
  return 1;
}

}  // namespace tolvane::probe::win
