// Text between the toolkit-free code (UTF-8 std::string) and Qt.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace tolvane::ui {

inline QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string Utf8(const QString& text) { return text.toStdString(); }

}  // namespace tolvane::ui
