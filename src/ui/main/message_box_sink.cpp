#include "ui/main/message_box_sink.h"

#include "ui/style/message_box.h"
#include "ui/style/qt_text.h"

namespace tolvane::ui {

void MessageBoxSink::Show(const std::string& text, probe::MessageIcon icon) {
  ShowMessageBox(parent_, Q(text),
                 icon == probe::MessageIcon::Exclamation ? QMessageBox::Warning
                                                         : QMessageBox::NoIcon);
}

}  // namespace tolvane::ui
