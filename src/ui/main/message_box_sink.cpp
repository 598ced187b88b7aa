#include "ui/main/message_box_sink.h"

#include "ui/main/message_box.h"

namespace tolvane::ui {

void MessageBoxSink::Show(const std::string& text, probe::MessageIcon icon) {
  ShowMessageBox(parent_, QString::fromStdString(text),
                 icon == probe::MessageIcon::Exclamation ? QMessageBox::Warning
                                                         : QMessageBox::NoIcon);
}

}  // namespace tolvane::ui
