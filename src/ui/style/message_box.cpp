#include "ui/style/message_box.h"

#include "ui/main/messages.h"
#include "ui/style/qt_text.h"

namespace tolvane::ui {

void ShowMessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
  QMessageBox box(icon, Q(kProgramTitle), text, QMessageBox::Ok, parent);
  box.setObjectName("message");
  box.exec();
}

}  // namespace tolvane::ui
