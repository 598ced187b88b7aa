#include "qt/message_box.h"

#include "app/messages.h"
#include "qt/qt_text.h"

namespace tolvane::ui {

void ShowMessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
  QMessageBox box(icon, Q(kProgramTitle), text, QMessageBox::Ok, parent);
  box.setObjectName("message");
  box.exec();
}

}  // namespace tolvane::ui
