// The round trip reported when the wall clock steps between send and reply.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "probe/echo_linux.h"

namespace tolvane::probe {
namespace {

constexpr std::int64_t kMs = 1'000'000;

struct Times {
  std::int64_t stamped, elapsed, reported;
};

class RoundTripTest : public ::testing::TestWithParam<Times> {};

TEST_P(RoundTripTest, TheStampCountsOnlyWithinTheMonotonicTime) {
  EXPECT_EQ(RoundTripNanoseconds(GetParam().stamped, GetParam().elapsed), GetParam().reported);
}

INSTANTIATE_TEST_SUITE_P(
    ClockSteps, RoundTripTest,
    ::testing::Values(Times{12 * kMs, 13 * kMs, 12 * kMs},            // the kernel's finer stamp
                      Times{13 * kMs, 13 * kMs, 13 * kMs},            //
                      Times{0, 1 * kMs, 0},                           // a 0 ms reply is a reply
                      Times{5012 * kMs, 13 * kMs, 13 * kMs},          // stepped back 5 s
                      Times{-4988 * kMs, 13 * kMs, 13 * kMs},         // stepped forward 5 s
                      Times{2592000012 * kMs, 13 * kMs, 13 * kMs},    // stepped back 30 days
                      Times{-1, 13 * kMs, 13 * kMs}));                // no stamp came

TEST(WholeMilliseconds, TruncateAndSaturateInsteadOfWrapping) {
  EXPECT_EQ(WholeMilliseconds(12'999), 12);
  EXPECT_EQ(WholeMilliseconds(0), 0);
  EXPECT_EQ(WholeMilliseconds(2'592'000'012'000), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(WholeMilliseconds(-5'000'000), 0);
}

}  // namespace
}  // namespace tolvane::probe
