// The About dialog's fitting rule, on a measurer whose text takes 12 pixels
// of height per point.
#include <gtest/gtest.h>

#include <vector>

#include "app/about_layout.h"

namespace tolvane::ui::about {
namespace {

TEST(FittedPoints, ShrinksByHalfPointsToTheFirstSizeThatFitsDownToSix) {
  const struct {
    double start;
    int box;
    double fitted;
    std::vector<double> measured;
  } cases[] = {
      {8, 100, 8, {8}},                         // fits as it is
      {9, 100, 8, {9, 8.5, 8}},                 // 108, 102, then 96 pixels
      {8, 10, 6, {8, 7.5, 7, 6.5}},             // never fits: the smallest
      {6.25, 10, 6.25, {}},                     // no smaller step stays at six or above
      {5, 10, 5, {}},                           // already below: left alone
  };
  for (const auto& c : cases) {
    std::vector<double> measured;
    const double fitted = FittedPoints(c.start, c.box, [&](double points) {
      measured.push_back(points);
      return static_cast<int>(points * 12);
    });
    EXPECT_EQ(fitted, c.fitted) << c.start << " pt in " << c.box << " px";
    EXPECT_EQ(measured, c.measured) << c.start << " pt in " << c.box << " px";
  }
}

}  // namespace
}  // namespace tolvane::ui::about
