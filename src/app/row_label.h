// The chart's row label: elapsed seconds as text.
#pragma once

#include <string>

namespace tolvane::ui {

// A blank (or "-" when negative), then at most 15 significant digits, no
// trailing zeros, no zero before the point, the point whatever the locale,
// and an exponent for very large or small values: 2 -> " 2", 0.5 -> " .5",
// -1.25 -> "-1.25", 1e15 -> " 1E+15", 1e-5 -> " 1E-05".
std::string RowLabel(double seconds);

}  // namespace tolvane::ui
