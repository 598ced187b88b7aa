// The window's icon in the desktop's tray, on QSystemTrayIcon, and the
// watch on the tray's host while the icon is up.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

class QMenu;
class QWidget;

namespace tolvane::ui::tray {

// Whether the desktop's tray speaks StatusNotifierItem. Such a host shows
// the icon's menu itself and may never report the right-button press.
bool StatusNotifierHostPresent();

class TrayIcon : public QObject {
  Q_OBJECT

 public:
  // `menu` is the window's tray menu; both outlive the icon.
  TrayIcon(QWidget& window, QMenu& menu);

  // Up with the window's icon and `tip`; false where no host would show it.
  bool Show(const QString& tip);
  // Down, also from inside the icon's own notification.
  void Remove();

  // Stands in for the desktop's tray host where set (tests).
  bool (*hostPresent)() = nullptr;

 signals:
  // The right button pressed over the icon.
  void menuRequested();
  // Each host check while the icon is up.
  void hostChecked(bool present);

 private:
  bool HostPresent() const;

  QWidget& window_;
  QMenu& menu_;
  QPointer<QSystemTrayIcon> icon_;
  QTimer hostCheck_;
  bool statusNotifier_ = false;
};

}  // namespace tolvane::ui::tray
