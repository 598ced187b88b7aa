#include "qt/status_notifier_host.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>

namespace tolvane::ui::tray {
namespace {

constexpr char kWatcher[] = "org.kde.StatusNotifierWatcher";
constexpr char kWatcherPath[] = "/StatusNotifierWatcher";
// The question is asked every second while the window is in the tray: a
// watcher that hangs must not hold the window (and its run) for the bus's
// default 25 s.
constexpr int kAnswerMs = 500;

// Without an address, connecting would autolaunch a bus of its own.
bool SessionBusKnown() {
  if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  return !runtime.isEmpty() && QFileInfo::exists(QDir(runtime).filePath("bus"));
}

}  // namespace

bool StatusNotifierHostPresent() {
  if (!SessionBusKnown()) return false;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || bus.interface() == nullptr) return false;
  if (!bus.interface()->isServiceRegistered(kWatcher)) return false;
  QDBusMessage ask = QDBusMessage::createMethodCall(kWatcher, kWatcherPath,
                                                    QStringLiteral("org.freedesktop.DBus.Properties"),
                                                    QStringLiteral("Get"));
  ask << QString::fromLatin1(kWatcher) << QStringLiteral("IsStatusNotifierHostRegistered");
  const QDBusMessage answer = bus.call(ask, QDBus::Block, kAnswerMs);
  return answer.type() == QDBusMessage::ReplyMessage && !answer.arguments().isEmpty() &&
         answer.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

}  // namespace tolvane::ui::tray
