// Tells when the tray's icon has no host left: the XEmbed tray manager gone
// from the screen, or the StatusNotifierItem watcher gone from the session
// bus (or left without a host). Qt docks the icon again by itself should a
// new host come, but a window hidden behind an icon that nothing shows
// could never be brought back.
#pragma once

#include <QObject>

namespace tolvane::ui::tray {

class TrayHostWatch : public QObject {
  Q_OBJECT

 public:
  // Watches the kind of host the icon went up on: a StatusNotifierItem host
  // where there is one, as the notification area chooses.
  explicit TrayHostWatch(QObject* parent);

 signals:
  void gone();

 private slots:
  void Check();

 private:
  bool statusNotifier_;
};

}  // namespace tolvane::ui::tray
