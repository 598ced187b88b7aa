#include "qt/application_icon.h"

#include <QString>

namespace tolvane::ui::icon {

QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : kSizes) {
    icon.addFile(QString(":/icons/tolvane-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace tolvane::ui::icon
