// The round trip reported when the wall clock steps between send and reply.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "probe/echo_linux.h"

namespace tolvane::probe {
namespace {

TEST(RoundTrip, TheKernelStampCountsOnlyWithinTheMonotonicTime) {
  constexpr std::int64_t kMs = 1'000'000;
  struct {
    std::int64_t stamped, elapsed, reported;
  } const rows[] = {{12 * kMs, 13 * kMs, 12 * kMs},          // the kernel's finer stamp
                    {0, 1 * kMs, 0},                         // a 0 ms reply is a reply
                    {5012 * kMs, 13 * kMs, 13 * kMs},        // stepped back 5 s
                    {-4988 * kMs, 13 * kMs, 13 * kMs},       // stepped forward 5 s
                    {2592000012 * kMs, 13 * kMs, 13 * kMs},  // stepped back 30 days
                    {-1, 13 * kMs, 13 * kMs}};               // no stamp came
  for (const auto& row : rows) EXPECT_EQ(RoundTripNanoseconds(row.stamped, row.elapsed), row.reported) << row.stamped;
  // Whole milliseconds saturate rather than wrap.
  EXPECT_EQ(WholeMilliseconds(12'999), 12);
  EXPECT_EQ(WholeMilliseconds(2'592'000'012'000), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(WholeMilliseconds(-5'000'000), 0);
}

}  // namespace
}  // namespace tolvane::probe
