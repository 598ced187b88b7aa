// What both forms share: the window colour behind everything, and the
// small font their twip layouts were drawn for (a larger desktop font
// spills out of the boxes).
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QWidget>

#include <algorithm>

#include "app/colours.h"

namespace tolvane::ui {

inline void ApplyFormStyle(QWidget& form) {
  QPalette palette = form.palette();
  palette.setColor(QPalette::Window, QColor(kWindowColour));
  form.setPalette(palette);
  form.setAutoFillBackground(true);
  QFont font = form.font();
  font.setPointSizeF(std::min(font.pointSizeF(), 8.0));
  form.setFont(font);
}

}  // namespace tolvane::ui
