#include "ui/main/app_icon.h"

#include "ui/icon/application_icon.h"

namespace tolvane::ui {

QIcon AppIcon() { return icon::ApplicationIcon(); }

}  // namespace tolvane::ui
