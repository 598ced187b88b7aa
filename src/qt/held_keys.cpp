#include "qt/held_keys.h"

#include <QKeyEvent>

namespace tolvane::ui {
namespace {

// The key itself, not what it means: the X keycode where there is one.
std::uint64_t CodeOf(const QKeyEvent& key) {
  if (key.nativeScanCode() != 0) return key.nativeScanCode();
  return (std::uint64_t{1} << 32) | static_cast<std::uint32_t>(key.key());
}

}  // namespace

bool HeldKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride) {
    return false;
  }
  // The widgets' deliveries only (a key reaches the QWindow first, whatever
  // popup or grabber then gets it).
  if (!watched->isWidgetType()) return false;
  QWidget* window = static_cast<QWidget*>(watched)->window();
  const auto& key = *static_cast<QKeyEvent*>(event);
  const std::uint64_t code = CodeOf(key);
  // Qt marks a repeat only when the press is already queued behind its
  // release; the times tell it either way.
  const bool repeat = key.isAutoRepeat() || (type != QEvent::KeyRelease && key.timestamp() != 0 &&
                                             code == releasedCode_ && key.timestamp() == releasedAt_);
  if (type == QEvent::KeyRelease) {
    releasedCode_ = code;
    releasedAt_ = key.timestamp();
  }
  if (!repeat) {
    // The shortcut check comes before the press and settles nothing.
    if (type == QEvent::KeyPress) pressedIn_[code] = window;
    return false;
  }
  const auto found = pressedIn_.find(code);
  if (found != pressedIn_.end() && found->second == window && window != nullptr) return false;
  // Taken, so that neither a shortcut nor a parent widget acts on it.
  event->accept();
  return true;
}

void DropKeysHeldElsewhere(QObject& application) {
  application.installEventFilter(new HeldKeyFilter(&application));
}

}  // namespace tolvane::ui
