// The engine's user messages, shown as the program's message boxes.
#pragma once

#include "probe/platform.h"

class QWidget;

namespace tolvane::ui {

class MessageBoxSink : public probe::MessageSink {
 public:
  explicit MessageBoxSink(QWidget* parent) : parent_(parent) {}
  void Show(const std::string& text, probe::MessageIcon icon) override;

 private:
  QWidget* parent_;
};

}  // namespace tolvane::ui
