#include "qt/qt_notify_area.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QWidget>

#include <vector>

#include "qt/qt_window_system.h"
#include "qt/status_notifier_host.h"
#include "qt/tray_host_watch.h"
#include "qt/tray_icon_router.h"

namespace tolvane::ui::tray {

QtNotifyArea::QtNotifyArea(QtWindowSystem& windows) : windows_(windows) {}

QtNotifyArea::~QtNotifyArea() {
  for (auto& [key, icon] : icons_) delete icon.data();
}

bool QtNotifyArea::Add(const TrayIconRecord& record) {
  if (Icon(record.window, record.id) != nullptr) return false;
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
  // On Wayland the only tray is a StatusNotifierItem host, and Qt takes a
  // watcher with no host behind it for a tray: ask for the host itself, so
  // that the window is never hidden behind an icon nothing shows.
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) && !StatusNotifierHostPresent()) {
    return false;
  }
  QWidget* window = record.window == 0 ? nullptr : QWidget::find(record.window);
  if (window == nullptr) return false;

  // Owned by the application, so that an icon still up at the end goes
  // before the application does.
  auto* icon = new QSystemTrayIcon(QCoreApplication::instance());
  if (record.flags & kNifIcon) icon->setIcon(window->windowIcon());
  if (record.flags & kNifTip) icon->setToolTip(QString::fromLocal8Bit(TipText(record.tip)));
  if (record.flags & kNifMessage) {
    new TrayIconRouter(*icon, windows_, record.window, record.id, record.callbackMessage);
  }
  // A StatusNotifierItem host shows a menu of its own: give it the window's
  // actions in a menu of their own, so that rcpopup stays a plain popup for
  // a press routed to the window. An XEmbed tray gets none (Qt would open
  // it on the press, beside ours).
  auto* rcpopup = window->findChild<QMenu*>("rcpopup");
  if (rcpopup != nullptr && StatusNotifierHostPresent()) {
    auto* hostMenu = new QMenu;
    hostMenu->addActions(rcpopup->actions());
    QObject::connect(icon, &QObject::destroyed, hostMenu, &QObject::deleteLater);
    icon->setContextMenu(hostMenu);
  }
  icon->show();
  icons_[{record.window, record.id}] = icon;
  if (watch_.isNull()) {
    watch_ = new TrayHostWatch(QCoreApplication::instance());
    QObject::connect(watch_, &TrayHostWatch::gone, watch_, [this] { HostGone(); });
  }
  return true;
}

void QtNotifyArea::Delete(const TrayIconRecord& record) {
  const auto found = icons_.find({record.window, record.id});
  if (found == icons_.end()) return;
  QPointer<QSystemTrayIcon> icon = found->second;
  icons_.erase(found);
  // This may run inside the icon's own notification (the menu runs under
  // its mouse press), and hiding deletes the widget that is handling it:
  // both wait until that has returned.
  if (!icon.isNull()) icon->deleteLater();
  // Later too: the watch may be what is telling the window.
  if (icons_.empty() && !watch_.isNull()) {
    watch_->deleteLater();
    watch_ = nullptr;
  }
}

// The windows may take their icons down meanwhile.
void QtNotifyArea::HostGone() {
  std::vector<Key> up;
  for (const auto& [key, icon] : icons_) up.push_back(key);
  for (const auto& [window, id] : up) windows_.Send(window, kTrayHostGone, id, 0);
}

QSystemTrayIcon* QtNotifyArea::Icon(WindowHandle window, std::uint32_t id) const {
  const auto found = icons_.find({window, id});
  return found == icons_.end() ? nullptr : found->second.data();
}

}  // namespace tolvane::ui::tray
