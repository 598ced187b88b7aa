// A message that reached a window's own procedure, delivered to the widget
// as an event of its own type.
#pragma once

#include <QEvent>

#include <cstdint>

namespace tolvane::ui::tray {

class WindowMessageEvent : public QEvent {
 public:
  WindowMessageEvent(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  static QEvent::Type EventType();

  std::uint32_t message() const { return message_; }
  std::uintptr_t wParam() const { return wParam_; }
  std::intptr_t lParam() const { return lParam_; }

  // What the procedure returns; 0 unless a receiver says otherwise.
  std::intptr_t result = 0;

 private:
  std::uint32_t message_;
  std::uintptr_t wParam_;
  std::intptr_t lParam_;
};

}  // namespace tolvane::ui::tray
