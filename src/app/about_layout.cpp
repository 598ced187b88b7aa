#include "app/about_layout.h"

namespace tolvane::ui::about {

double FittedPoints(double points, int boxHeight, const TextHeight& heightAt) {
  // Whole steps from the start, so that no sum of rounding errors skips
  // the smallest size.
  for (int step = 0;; ++step) {
    const double size = points - step * kPointsStep;
    const bool last = size - kPointsStep < kSmallestPoints;
    if (last || heightAt(size) <= boxHeight) return size;
  }
}

}  // namespace tolvane::ui::about
