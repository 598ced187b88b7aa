// Whatever is typed into the count and interval boxes: both readings in
// the C locale and one with a decimal comma. The strict reading never
// yields a value that isn't finite.
#include <QLocale>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/main/rounding.h"
#include "ui/main/typed_number.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const QLocale c = QLocale::c();
  static const QLocale german(QLocale::German, QLocale::Germany);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double leading = tolvane::ui::LeadingNumber(text);
  if (std::isnan(leading)) std::abort();
  tolvane::ui::RoundHalfEven16(leading);
  tolvane::ui::RoundHalfEven32(leading * 1000);
  const QString typed = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  for (const QLocale* locale : {&c, &german}) {
    if (const auto strict = tolvane::ui::StrictNumber(typed, *locale)) {
      if (!std::isfinite(*strict)) std::abort();
      tolvane::ui::RoundHalfEven16(*strict);
      tolvane::ui::RoundHalfEven32(*strict * 1000);
    }
  }
  return 0;
}
