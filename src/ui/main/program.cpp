#include "ui/main/program.h"

#include <QApplication>

#include "probe/platform.h"
#include "resolve/resolve.h"
#include "ui/about/program_info.h"
#include "ui/main/app_icon.h"
#include "ui/main/held_keys.h"
#include "ui/main/main_window.h"
#include "ui/style/qt_text.h"

namespace tolvane::ui {

Engine SystemEngine() {
  return {probe::MakeSystemSocketLibrary(), probe::MakeSystemIcmpService(), resolve::MakeSystemHostLookup()};
}

int RunProgram(QApplication& app, const QStringList& boxes) {
  QApplication::setApplicationName(Q(about::kTitle));
  QApplication::setApplicationVersion(
      QString("%1.%2.%3").arg(about::kVersionMajor).arg(about::kVersionMinor).arg(about::kVersionRevision));
  QApplication::setWindowIcon(AppIcon());
  DropKeysHeldElsewhere(app);
  MainWindow window(SystemEngine());
  window.Prefill(boxes);
  // A tool window may not count as the last window to close: end explicitly.
  QObject::connect(&window, &MainWindow::closed, &app, &QApplication::quit, Qt::QueuedConnection);
  window.move(9, 27);  // where the window first stood: 135 by 405 twips
  window.show();
  return app.exec();
}

}  // namespace tolvane::ui
