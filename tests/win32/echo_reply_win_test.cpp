// The reply record's packed form, against the platform's own struct.
// clang-format off
#include <winsock2.h>
#include <iphlpapi.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "probe/echo_reply_win.h"
#include "probe/probe.h"

namespace tolvane::probe::win {
namespace {

// Bytes aligned for the struct, with a marked tail to catch overruns.
class Buffer {
 public:
  explicit Buffer(std::size_t size) : size_(size), words_((size + kTail + 7) / 8) {
    auto* bytes = reinterpret_cast<unsigned char*>(words_.data());
    std::fill_n(bytes + size_, kTail, kMark);
  }
  std::span<std::byte> span() { return {reinterpret_cast<std::byte*>(words_.data()), size_}; }
  ICMP_ECHO_REPLY& header() { return *reinterpret_cast<ICMP_ECHO_REPLY*>(words_.data()); }
  unsigned char* bytes() { return reinterpret_cast<unsigned char*>(words_.data()); }
  bool tailIntact() { return std::all_of(bytes() + size_, bytes() + size_ + kTail, [](unsigned char b) { return b == kMark; }); }

 private:
  static constexpr std::size_t kTail = 64;
  static constexpr unsigned char kMark = 0xA5;
  std::size_t size_;
  std::vector<std::uint64_t> words_;
};

TEST(PackedReply, IsThePlatformsHeaderThenTheDataBuffer) {
  // 28 + 250 on 32-bit Windows; the pointers in the header make it 40 on x64.
  EXPECT_EQ(ReplyHeaderSize(), sizeof(void*) == 8 ? 40u : 28u);
  EXPECT_EQ(PackedReplySize(), ReplyHeaderSize() + 250);
  // One reply, "Echo This", and an ICMP error's 8 bytes.
  EXPECT_EQ(MinimumReplyBuffer(kEchoData.size()), ReplyHeaderSize() + 9 + 8);
  EXPECT_LE(MinimumReplyBuffer(kEchoData.size()), PackedReplySize());
}

TEST(PackedReply, PackPutsEachFieldWhereTheServiceHasIt) {
  EchoReply reply;
  reply.Status = 11010;
  reply.RoundTripTime = 17;
  reply.RoundTripMicroseconds = 99;  // not part of the packed form
  std::fill(reply.DataBuffer.begin(), reply.DataBuffer.end(), 'x');
  reply.DataBuffer[0] = 'E';
  reply.DataBuffer[249] = 'z';
  Buffer buffer(PackedReplySize());
  PackReply(reply, buffer.span());
  EXPECT_EQ(buffer.header().Status, 11010u);
  EXPECT_EQ(buffer.header().RoundTripTime, 17u);
  EXPECT_EQ(buffer.header().Address, 0u) << "untouched fields stay zero";
  EXPECT_EQ(buffer.header().DataSize, 250u);
  EXPECT_EQ(buffer.header().Data, buffer.bytes() + ReplyHeaderSize());
  EXPECT_EQ(buffer.bytes()[ReplyHeaderSize()], 'E');
  EXPECT_EQ(buffer.bytes()[ReplyHeaderSize() + 249], 'z');
  EXPECT_TRUE(buffer.tailIntact());
}

TEST(PackedReply, UnpackReadsWhatTheServiceWrote) {
  Buffer buffer(PackedReplySize());
  ICMP_ECHO_REPLY& header = buffer.header();
  header.Address = 0x0201A8C0;
  header.Status = 0;
  header.RoundTripTime = 23;
  header.DataSize = 9;
  header.Data = buffer.bytes() + ReplyHeaderSize();
  std::memcpy(buffer.bytes() + ReplyHeaderSize(), kEchoData.data(), kEchoData.size());
  EchoReply reply;
  reply.Status = 11050;
  reply.DataBuffer.fill('?');
  UnpackReply(buffer.span(), reply);
  EXPECT_EQ(reply.Status, kIpSuccess);
  EXPECT_EQ(reply.RoundTripTime, 23);
  EXPECT_EQ(reply.RoundTripMicroseconds, 23000) << "Windows reports whole milliseconds";
  EXPECT_EQ(std::string_view(reply.DataBuffer.data(), kEchoData.size()), kEchoData);
  EXPECT_EQ(reply.DataBuffer[9], '\0') << "the rest is zero";
}

// Where the service puts the echoed data, and how much of it there is,
// only the reply's Data and DataSize say.
struct Placement {
  std::ptrdiff_t offset;  // from the header's end; out of the buffer when far off
  unsigned short size;
  std::size_t read;       // bytes of "Echo This" that come back
};

class DataPlacementTest : public ::testing::TestWithParam<Placement> {};

TEST_P(DataPlacementTest, DataIsReadThroughTheRepliesOwnPointerAndSize) {
  Buffer buffer(PackedReplySize());
  const Placement placement = GetParam();
  const auto at = reinterpret_cast<std::uintptr_t>(buffer.bytes() + ReplyHeaderSize()) + placement.offset;
  if (placement.offset >= 0 && placement.offset + 9 <= 250)
    std::memcpy(buffer.bytes() + ReplyHeaderSize() + placement.offset, kEchoData.data(), 9);
  buffer.header().Data = reinterpret_cast<void*>(at);
  buffer.header().DataSize = placement.size;
  EchoReply reply;
  reply.DataBuffer.fill('?');
  UnpackReply(buffer.span(), reply);
  EXPECT_EQ(std::string_view(reply.DataBuffer.data(), placement.read), kEchoData.substr(0, placement.read));
  EXPECT_EQ(std::count(reply.DataBuffer.begin(), reply.DataBuffer.end(), '\0'), 250 - static_cast<std::ptrdiff_t>(placement.read));
  EXPECT_TRUE(buffer.tailIntact());
}

INSTANTIATE_TEST_SUITE_P(Replies, DataPlacementTest,
                         ::testing::Values(Placement{0, 9, 9}, Placement{100, 9, 9}, Placement{0, 4, 4},
                                           Placement{241, 9, 9},            // ends at the buffer's end
                                           Placement{245, 9, 0},            // runs past it: only the 5 inside
                                           Placement{100000, 9, 0}, Placement{-100000, 9, 0}));

TEST(PackedReply, AStatusWithTheTopBitSetIsNegative) {
  Buffer buffer(PackedReplySize());
  buffer.header().Status = 0xFFFFD4FE;  // -11010 as the service's ULONG
  EchoReply reply;
  UnpackReply(buffer.span(), reply);
  EXPECT_EQ(reply.Status, -11010);
}

TEST(PackedReply, RoundTripsThroughAShortBufferWithoutOverrunningIt) {
  const std::size_t size = MinimumReplyBuffer(kEchoData.size());
  Buffer buffer(size);
  EchoReply in;
  in.Status = 11003;
  in.RoundTripTime = 5;
  in.DataBuffer.fill('d');
  PackReply(in, buffer.span());
  EXPECT_TRUE(buffer.tailIntact());
  EchoReply out;
  UnpackReply(buffer.span(), out);
  EXPECT_EQ(out.Status, 11003);
  EXPECT_EQ(out.RoundTripTime, 5);
  const std::size_t kept = size - ReplyHeaderSize();
  EXPECT_EQ(std::count(out.DataBuffer.begin(), out.DataBuffer.end(), 'd'), static_cast<std::ptrdiff_t>(kept));
  EXPECT_EQ(out.DataBuffer[kept], '\0');
}

TEST(FinerRoundTrip, StaysWithinTheServicesMillisecond) {
  const struct {
    std::int32_t ms;
    std::int64_t call, expected;
  } cases[] = {{0, 312, 312}, {12, 12'480, 12'480}, {12, 11'950, 12'000}, {12, 14'100, 12'999}, {-1, 50, 50}};
  for (const auto& c : cases) EXPECT_EQ(FinerRoundTrip(c.ms, c.call), c.expected) << c.ms << " ms, " << c.call << " us";
}

}  // namespace
}  // namespace tolvane::probe::win
