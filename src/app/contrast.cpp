#include "app/contrast.h"

#include <algorithm>
#include <cmath>

namespace tolvane::ui {
namespace {

double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(Colour colour) {
  return 0.2126 * Linear(Red(colour)) + 0.7152 * Linear(Green(colour)) + 0.0722 * Linear(Blue(colour));
}

}  // namespace

double ContrastRatio(Colour a, Colour b) {
  const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Colour ReadableText(Colour text, Colour background, Colour ordinaryText) {
  if (ContrastRatio(text, background) >= kLeastReadableContrast) return text;
  if (ContrastRatio(ordinaryText, background) >= kLeastReadableContrast) return ordinaryText;
  const Colour black = Rgb(0, 0, 0), white = Rgb(255, 255, 255);
  return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}

}  // namespace tolvane::ui
