#include "qt/qt_window_system.h"

#include <QCoreApplication>
#include <QWidget>

#include "app/tray_menu_owner.h"
#include "qt/window_message_event.h"

namespace tolvane::ui::tray {
namespace {

QWidget* Find(WindowHandle window) { return window == 0 ? nullptr : QWidget::find(window); }

}  // namespace

WindowProc QtWindowSystem::SetWindowProc(WindowHandle window, WindowProc procedure) {
  QWidget* widget = Find(window);
  if (widget == nullptr || procedure == nullptr) return nullptr;
  const WindowProc previous = ProcedureOf(window);
  if (procedure == &OwnProcedure) {
    replaced_.erase(window);
  } else {
    if (!replaced_.contains(window)) {
      // A later window may get the same id.
      QObject::connect(widget, &QObject::destroyed, &context_,
                       [this, window] { replaced_.erase(window); });
    }
    replaced_[window] = procedure;
  }
  return previous;
}

TrayMenuOwner* QtWindowSystem::MenuOwner(WindowHandle window) {
  return dynamic_cast<TrayMenuOwner*>(Find(window));
}

std::intptr_t QtWindowSystem::Send(WindowHandle window, std::uint32_t message,
                                   std::uintptr_t wParam, std::intptr_t lParam) {
  if (Find(window) == nullptr) return 0;
  return ProcedureOf(window)(window, message, wParam, lParam);
}

WindowProc QtWindowSystem::ProcedureOf(WindowHandle window) const {
  const auto found = replaced_.find(window);
  return found == replaced_.end() ? &OwnProcedure : found->second;
}

std::intptr_t QtWindowSystem::OwnProcedure(WindowHandle window, std::uint32_t message,
                                           std::uintptr_t wParam, std::intptr_t lParam) {
  QWidget* widget = Find(window);
  if (widget == nullptr) return 0;
  WindowMessageEvent event(message, wParam, lParam);
  QCoreApplication::sendEvent(widget, &event);
  return event.result;
}

}  // namespace tolvane::ui::tray
