#include "qt/window_message_event.h"

namespace tolvane::ui::tray {

WindowMessageEvent::WindowMessageEvent(std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam)
    : QEvent(EventType()), message_(message), wParam_(wParam), lParam_(lParam) {}

QEvent::Type WindowMessageEvent::EventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

}  // namespace tolvane::ui::tray
