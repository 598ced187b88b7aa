// What the result labels say about a run. Statistics cover answered
// samples only; a statistic with no answered sample behind it shows "-".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tolvane::ui {

// maxt and mint before the first answered sample of a run.
inline constexpr std::int32_t kNoStatistic = -1;

// "Min Rt:12 Max Rt:15"
std::string ResultsText(std::int32_t mint, std::int32_t maxt);
// "12ms", or "no reply" for a lost sample (a negative time).
std::string CurrentText(std::int32_t roundTripMs);
// The average of `count` answered samples summing to `sum`, rounded half to
// even; nothing when there were none.
std::optional<std::int32_t> AverageOf(std::int32_t sum, std::int32_t count);
// "Avr:16", or "Avr:-".
std::string AverageText(std::optional<std::int32_t> average);

}  // namespace tolvane::ui
