// The program's icon, at every size it was drawn for.
#pragma once

#include <QIcon>

#include <array>

namespace tolvane::ui::icon {

inline constexpr std::array<int, 5> kSizes = {16, 24, 32, 48, 128};

QIcon ApplicationIcon();

}  // namespace tolvane::ui::icon
