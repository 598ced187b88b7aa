#include "app/run_texts.h"

#include "app/rounding.h"

namespace tolvane::ui {
namespace {

std::string Statistic(std::int32_t value) {
  return value == kNoStatistic ? "-" : std::to_string(value);
}

}  // namespace

std::string ResultsText(std::int32_t mint, std::int32_t maxt) {
  return "Min Rt:" + Statistic(mint) + " Max Rt:" + Statistic(maxt);
}

std::string CurrentText(std::int32_t roundTripMs) {
  return roundTripMs < 0 ? "no reply" : std::to_string(roundTripMs) + "ms";
}

std::optional<std::int32_t> AverageOf(std::int32_t sum, std::int32_t count) {
  if (count <= 0) return std::nullopt;
  return RoundHalfEven32(static_cast<double>(sum) / count);
}

std::string AverageText(std::optional<std::int32_t> average) {
  return "Avr:" + (average ? std::to_string(*average) : std::string("-"));
}

}  // namespace tolvane::ui
