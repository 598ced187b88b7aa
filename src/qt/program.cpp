#include "qt/program.h"

#include <QApplication>

#include "app/controls.h"
#include "app/program_info.h"
#include "qt/held_keys.h"
#include "qt/main_window.h"
#include "qt/qt_text.h"

namespace tolvane::ui {

int RunProgram(QApplication& app, const std::vector<std::string>& boxes) {
  QApplication::setApplicationName(Q(about::kTitle));
  QApplication::setApplicationVersion(
      QString("%1.%2.%3").arg(about::kVersionMajor).arg(about::kVersionMinor).arg(about::kVersionRevision));
  DropKeysHeldElsewhere(app);
  MainWindow window(SystemEngine());
  window.Prefill(boxes);
  // A tool window may not count as the last window to close: end explicitly.
  QObject::connect(&window, &MainWindow::closed, &app, &QApplication::quit, Qt::QueuedConnection);
  window.move(layout::TwipsToPixels(controls::kFirstLeft, 96), layout::TwipsToPixels(controls::kFirstTop, 96));
  window.show();
  return app.exec();
}

}  // namespace tolvane::ui
