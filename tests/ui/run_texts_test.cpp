// The result labels' texts; statistics over answered samples only.
#include <gtest/gtest.h>

#include "ui/main/run_texts.h"

namespace tolvane::ui {
namespace {

TEST(RunTexts, ShowsADashForAStatisticWithNoAnsweredSample) {
  EXPECT_EQ(ResultsText(12, 15), "Min Rt:12 Max Rt:15");
  EXPECT_EQ(ResultsText(0, 0), "Min Rt:0 Max Rt:0");
  EXPECT_EQ(ResultsText(kNoStatistic, kNoStatistic), "Min Rt:- Max Rt:-");
  EXPECT_EQ(AverageText(std::nullopt), "Avr:-");
  EXPECT_EQ(AverageText(16), "Avr:16");
  EXPECT_EQ(AverageText(0), "Avr:0");
}

TEST(RunTexts, TellsALostSampleFromAFastReply) {
  EXPECT_EQ(CurrentText(12), "12ms");
  EXPECT_EQ(CurrentText(0), "0ms");
  EXPECT_EQ(CurrentText(-1), "no reply");
}

TEST(RunTexts, AveragesRoundHalvesToEven) {
  EXPECT_EQ(AverageOf(47, 3), 16);  // 12, 15, lost, 20
  EXPECT_EQ(AverageOf(21, 2), 10);  // 10.5
  EXPECT_EQ(AverageOf(23, 2), 12);  // 11.5
  EXPECT_EQ(AverageOf(0, 4), 0);
  EXPECT_EQ(AverageOf(7, 1), 7);
  EXPECT_EQ(AverageOf(0, 0), std::nullopt);
}

}  // namespace
}  // namespace tolvane::ui
