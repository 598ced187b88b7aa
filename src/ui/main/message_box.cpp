#include "ui/main/message_box.h"

#include "ui/main/messages.h"

namespace tolvane::ui {

void ShowMessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
  QMessageBox box(icon, QString::fromUtf8(kProgramTitle.data(), kProgramTitle.size()), text,
                  QMessageBox::Ok, parent);
  box.setObjectName("message");
  box.exec();
}

}  // namespace tolvane::ui
