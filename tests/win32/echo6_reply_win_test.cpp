// The reply buffer of Icmp6SendEcho2, built byte by byte as Windows lays
// it out, read back with its bounds. Plain bytes: it runs on Linux as well.
#include "probe/echo6_reply.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "probe/probe.h"

namespace tolvane::probe::win {
namespace {

void PutLe32(std::vector<std::byte>& b, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::byte>(value >> (8 * i));
}

// One reply: the replying address, status, round trip and echoed data,
// in a buffer of `size` bytes (at least the header) filled with 0xA5 past it.
std::vector<std::byte> Buffer(std::uint32_t status, std::uint32_t ms, std::string_view data, std::size_t size) {
  std::vector<std::byte> b(size, std::byte{0xA5});
  std::fill_n(b.begin(), kReply6HeaderSize, std::byte{0});
  const std::uint8_t replier[16] = {0xfd, 0x4c, 0x7f, 0x1e, 0xa7, 0xb0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0x15};
  std::memcpy(b.data() + kReply6AddressOffset, replier, sizeof replier);
  PutLe32(b, kReply6StatusOffset, status);
  PutLe32(b, kReply6RoundTripOffset, ms);
  const std::size_t room = size - kReply6HeaderSize;
  std::memcpy(b.data() + kReply6HeaderSize, data.data(), std::min(room, data.size()));
  return b;
}

std::string_view Data(const EchoReply& reply, std::size_t n) { return {reply.DataBuffer.data(), n}; }

TEST(Reply6Buffer, ReadsStatusTimeAndOurDataWithinTheBuffer) {
  const std::size_t full = Reply6BufferSize(kEchoData.size());
  EXPECT_EQ(full, kReply6HeaderSize + 9 + 8 + 2 * sizeof(void*));
  struct {
    std::uint32_t status, ms;
    std::size_t size;
    std::uint32_t taken;
    std::int32_t readStatus, readMs;
    std::string_view data;  // what lands in DataBuffer
  } const rows[] = {
      {0, 15, full, 1, 0, 15, "Echo This"},
      {0, 0, full, 1, 0, 0, "Echo This"},                      // under a millisecond
      {0, 7, kReply6HeaderSize + 4, 1, 0, 7, "Echo"},           // data cut by the buffer's end
      {0, 7, kReply6HeaderSize, 1, 0, 7, ""},                   // room for the header only
      {11010, 0, full, 1, 11010, 0, "Echo This"},
      {11002, 3, full, 1, 11002, 3, "Echo This"},               // an error: status, no time used
      {0, 0xFFFFFFFF, full, 1, 0, 0x7FFFFFFF, "Echo This"},     // saturated, never negative
      {0, 15, kReply6HeaderSize - 1, 0, 0, 0, ""},              // not even a header
      {0, 15, 0, 0, 0, 0, ""},
  };
  for (const auto& row : rows) {
    const auto buffer = Buffer(row.status, row.ms, kEchoData, std::max(row.size, kReply6HeaderSize));
    EchoReply reply;
    reply.DataBuffer.fill('x');
    const std::span<const std::byte> given(buffer.data(), row.size);
    EXPECT_EQ(ReadReply6(given, 1, kEchoData.size(), reply), row.taken) << row.size;
    EXPECT_EQ(reply.Status, row.readStatus) << row.size;
    EXPECT_EQ(reply.RoundTripTime, row.readMs) << row.size;
    if (row.taken == 1) {
      EXPECT_EQ(reply.RoundTripMicroseconds, std::int64_t{row.readMs} * 1000);
      EXPECT_EQ(Data(reply, row.data.size()), row.data);
      // Nothing past what was read: the rest is cleared, not left over.
      EXPECT_EQ(reply.DataBuffer[row.data.size()], '\0') << row.size;
    }
  }
}

TEST(Reply6Buffer, NoRepliesMeansNothingIsRead) {
  const auto buffer = Buffer(0, 15, kEchoData, Reply6BufferSize(kEchoData.size()));
  EchoReply reply;
  reply.Status = 11010;
  EXPECT_EQ(ReadReply6(buffer, 0, kEchoData.size(), reply), 0u);
  EXPECT_EQ(reply.Status, 11010);
  EXPECT_EQ(reply.RoundTripTime, 0);
}

TEST(Reply6Buffer, ABigRequestSizeNeverReadsPastTheBufferOrTheRecord) {
  const auto buffer = Buffer(0, 1, kEchoData, kReply6HeaderSize + 9);
  EchoReply reply;
  EXPECT_EQ(ReadReply6(buffer, 1, 100000, reply), 1u);
  EXPECT_EQ(Data(reply, 9), kEchoData);
  EXPECT_EQ(reply.DataBuffer[9], '\0');
  std::vector<std::byte> big(kReply6HeaderSize + 1000, std::byte{'z'});
  std::fill_n(big.begin(), kReply6HeaderSize, std::byte{0});
  EXPECT_EQ(ReadReply6(big, 1, 1000, reply), 1u);
  EXPECT_EQ(reply.DataBuffer.back(), 'z');  // 250 bytes, no more
}

}  // namespace
}  // namespace tolvane::probe::win
