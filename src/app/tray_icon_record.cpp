#include "app/tray_icon_record.h"

#include <algorithm>

namespace tolvane::ui::tray {

TipField MakeTipField(std::string_view text) {
  TipField field;
  field.fill(' ');
  const std::size_t length = std::min(text.size(), field.size());
  std::copy_n(text.begin(), length, field.begin());
  if (length < field.size()) field[length] = '\0';
  return field;
}

std::string TipText(const TipField& tip) {
  const auto end = std::find(tip.begin(), tip.end(), '\0');
  return std::string(tip.begin(), end);
}

}  // namespace tolvane::ui::tray
