#include "qt/tray_icon.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QWidget>

#include "app/tray.h"

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

TrayIcon::TrayIcon(QWidget& window, QMenu& menu) : QObject(&window), window_(window), menu_(menu) {
  hostCheck_.setInterval(kHostCheckMs);
  connect(&hostCheck_, &QTimer::timeout, this, [this] { emit hostChecked(HostPresent()); });
}

// The kind of host the icon went up on: a StatusNotifierItem host, asked
// on the session bus, or an XEmbed tray manager, whose selection Qt
// follows. On Wayland the only tray is a StatusNotifierItem host, and Qt
// takes a watcher with no host behind it for a tray: the host itself
// must be there, so that the window is never hidden behind an icon
// nothing shows.
bool TrayIcon::HostPresent() const {
  if (hostPresent != nullptr) return hostPresent();
  if (statusNotifier_) return StatusNotifierHostPresent();
  return QSystemTrayIcon::isSystemTrayAvailable() &&
         !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool TrayIcon::Show(const QString& tip) {
  if (!icon_.isNull()) return false;
  statusNotifier_ = hostPresent == nullptr && StatusNotifierHostPresent();
  if (!HostPresent()) return false;
  icon_ = new QSystemTrayIcon(window_.windowIcon(), this);
  icon_->setToolTip(tip);
  // A StatusNotifierItem host shows a menu of its own: it gets the tray
  // menu's actions in a menu of their own, so that the tray menu stays a
  // plain popup for a press. An XEmbed tray gets none (Qt would open it on
  // the press, beside ours).
  if (statusNotifier_) {
    auto* hostMenu = new QMenu;
    hostMenu->addActions(menu_.actions());
    connect(icon_, &QObject::destroyed, hostMenu, &QObject::deleteLater);
    icon_->setContextMenu(hostMenu);
  }
  connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Context) emit menuRequested();
  });
  icon_->show();
  hostCheck_.start();
  return true;
}

void TrayIcon::Remove() {
  hostCheck_.stop();
  // This may run inside the icon's own notification (the menu runs under
  // its press), and hiding deletes the widget that is handling it: the
  // icon goes once that has returned.
  if (!icon_.isNull()) icon_->deleteLater();
  icon_ = nullptr;
}

}  // namespace tolvane::ui::tray
