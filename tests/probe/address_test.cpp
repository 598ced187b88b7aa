#include <gtest/gtest.h>

#include <ostream>

#include "probe/probe.h"

namespace tolvane::probe {
namespace {

struct Case {
  const char* text;
  std::int32_t expected;
  friend std::ostream& operator<<(std::ostream& out, const Case& c) { return out << '"' << c.text << '"'; }
};

class DottedToAddressTest : public ::testing::TestWithParam<Case> {};

TEST_P(DottedToAddressTest, Converts) {
  EXPECT_EQ(DottedToAddress(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(DottedTexts, DottedToAddressTest,
                         ::testing::Values(Case{"127.0.0.1", 16777343},            // 0100007F
                                           Case{"192.168.1.10", 167880896},        // 0A01A8C0
                                           Case{"192.168.1.200", -939415360},      // C801A8C0
                                           Case{"300.1.2.3", 50463020},            // 0302012C
                                           Case{"0.0.0.0", 0}));

INSTANTIATE_TEST_SUITE_P(PartsKeepTheirLowByte, DottedToAddressTest,
                         ::testing::Values(Case{"256.0.0.1", 16777216},  // same as 0.0.0.1
                                           Case{"0.0.0.1", 16777216},
                                           Case{"-1.0.0.0", 0xFF},      // two's complement
                                           Case{"1.2.3.-1", static_cast<std::int32_t>(0xFF030201)},
                                           Case{"99999999999999999999.0.0.0", 0xFF},  // 10^20 - 1 = 255 (mod 256)
                                           Case{" 10 .+20. 30\t.40", 0x281E140A}));

INSTANTIATE_TEST_SUITE_P(NotFourNumbersGivesZero, DottedToAddressTest,
                         ::testing::Values(Case{"", 0}, Case{"localhost", 0}, Case{"www.example.test", 0},
                                           Case{"1.2.3", 0}, Case{"1.2.3.4.5", 0}, Case{"1.2.3.", 0},
                                           Case{"1..3.4", 0}, Case{"a.b.c.d", 0}, Case{"1.2.3.4x", 0},
                                           Case{"1.2.3.0x1", 0}, Case{"1.2.3.+", 0}, Case{"1.2.3.- 4", 0},
                                           Case{"kernel.tolvane.test", 0}));

TEST(DottedToAddress, HighFourthPartIsNegativeWithBytesInOrder) {
  const auto value = static_cast<std::uint32_t>(DottedToAddress("10.20.30.200"));
  EXPECT_LT(DottedToAddress("10.20.30.200"), 0);
  EXPECT_EQ(value & 0xFF, 10u);
  EXPECT_EQ(value >> 8 & 0xFF, 20u);
  EXPECT_EQ(value >> 16 & 0xFF, 30u);
  EXPECT_EQ(value >> 24, 200u);
}

}  // namespace
}  // namespace tolvane::probe
