// The pieces of the bed that need no network: checksums, scripts, counters.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "testbed/icmp_wire.h"
#include "testbed/reply_script.h"
#include "testbed/responder_stats.h"

namespace tolvane::testbed {
namespace {

TEST(Wire, ChecksumKnownAnswersIncludingOddLength) {
  // RFC 1071's worked example.
  const std::vector<std::uint8_t> even = {0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7};
  EXPECT_EQ(InternetChecksum(even), 0x220d);
  // An odd last byte counts as the high half of a word: 0xddf2 + 0x1200.
  const std::vector<std::uint8_t> odd = {0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7, 0x12};
  EXPECT_EQ(InternetChecksum(odd), 0x100d);
  // With a carry to fold back in: 0xddf2 + 0x3000 = 0x10df2 -> 0x0df3.
  const std::vector<std::uint8_t> carry = {0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7, 0x30};
  EXPECT_EQ(InternetChecksum(carry), 0xf20c);
}

TEST(Wire, EchoRoundTripsAndCorruptionIsSeen) {
  const Echo echo{kEchoReply, 0, 0xbeef, 513, {'E', 'c', 'h', 'o', ' ', 'T', 'h', 'i', 's'}};
  std::vector<std::uint8_t> bytes = BuildEcho(echo);
  ASSERT_EQ(bytes.size(), 17u);
  EXPECT_TRUE(ChecksumValid(bytes));
  const auto back = ParseEcho(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->id, 0xbeef);
  EXPECT_EQ(back->seq, 513);
  EXPECT_EQ(back->payload, echo.payload);
  bytes[16] ^= 0x01;
  EXPECT_FALSE(ChecksumValid(bytes));
  EXPECT_FALSE(ParseEcho(std::vector<std::uint8_t>(7)));
}

TEST(Script, TokensInOrderThenTheLastRepeats) {
  std::string why;
  auto script = ReplyScript::Parse("12 x  30", &why);
  ASSERT_TRUE(script) << why;
  EXPECT_EQ(script->Next(), 12);
  EXPECT_EQ(script->Next(), std::nullopt);
  EXPECT_EQ(script->Next(), 30);
  EXPECT_EQ(script->Next(), 30);
  EXPECT_EQ(script->Next(), 30);

  auto drops = ReplyScript::Parse("5 x", &why);
  ASSERT_TRUE(drops);
  EXPECT_EQ(drops->Next(), 5);
  EXPECT_EQ(drops->Next(), std::nullopt);
  EXPECT_EQ(drops->Next(), std::nullopt);
}

TEST(Script, RejectsWhatItCannotDo) {
  std::string why;
  for (const char* bad : {"", "   ", "12 y", "-1", "1.5", "60001", "12x"}) {
    EXPECT_FALSE(ReplyScript::Parse(bad, &why)) << "'" << bad << "'";
    EXPECT_FALSE(why.empty());
  }
}

TEST(Stats, FormatThenParseKeepsEveryCounter) {
  ResponderStats s;
  s.requests = 1;
  s.replies = 2;
  s.dropped = 3;
  s.wrong_source = 4;
  s.duplicate = 5;
  s.late_max_ns = 1234567890123;
  s.fifo = 1;
  EXPECT_EQ(ParseStats(FormatStats(s)), s);
  EXPECT_EQ(ParseStats("requests=7 from_a_newer_responder=1")->requests, 7);
  EXPECT_FALSE(ParseStats("requests"));
  EXPECT_FALSE(ParseStats("requests=seven"));
}

}  // namespace
}  // namespace tolvane::testbed
