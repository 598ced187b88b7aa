#include "qt/tray_host_watch.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QSystemTrayIcon>
#include <QTimer>

#include "qt/status_notifier_host.h"

namespace tolvane::ui::tray {
namespace {

constexpr char kWatcher[] = "org.kde.StatusNotifierWatcher";
constexpr char kWatcherPath[] = "/StatusNotifierWatcher";
// Qt keeps the XEmbed tray manager's window and tells only itself when it
// goes; asking whether there is one costs nothing while there is.
constexpr int kXEmbedCheckMs = 1000;

}  // namespace

TrayHostWatch::TrayHostWatch(QObject* parent)
    : QObject(parent), statusNotifier_(StatusNotifierHostPresent()) {
  if (statusNotifier_) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    auto* watcher = new QDBusServiceWatcher(kWatcher, bus, QDBusServiceWatcher::WatchForUnregistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, &TrayHostWatch::Check);
    // A watcher that stays while its host goes (the desktop's panel ended).
    bus.connect(kWatcher, kWatcherPath, kWatcher, "StatusNotifierHostUnregistered", this, SLOT(Check()));
  } else {
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &TrayHostWatch::Check);
    timer->start(kXEmbedCheckMs);
  }
}

void TrayHostWatch::Check() {
  const bool present = statusNotifier_ ? StatusNotifierHostPresent() : QSystemTrayIcon::isSystemTrayAvailable();
  if (!present) emit gone();
}

}  // namespace tolvane::ui::tray
