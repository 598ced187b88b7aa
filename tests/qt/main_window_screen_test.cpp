// The real window on a real X display (Xvfb) with a compositor: a short run
// to a test-bed host, then a screenshot of the whole screen as the
// compositor blended it. Run by run_on_xvfb.sh.
#include <QProcess>
#include <QPushButton>
#include <QtTest/QtTest>

#include <memory>

#include "qt/latency_chart.h"
#include "qt/main_window.h"
#include "qt/periodic_timer.h"
#include "qt/program.h"
#include "testbed/testbed.h"
#include "testbed/testbed_qtest.h"
#include "window_controls.h"

namespace tolvane::ui::test {
namespace {

// White behind the window, so the blend is plain to compute.
class Backdrop : public QWidget {
 public:
  Backdrop() : QWidget(nullptr, Qt::FramelessWindowHint) {
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
  }
};

bool Close(const QColor& a, const QColor& b, int tolerance) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

QString Describe(const QColor& c) { return QString("(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue()); }

}  // namespace

class MainWindowScreenTest : public QObject {
  Q_OBJECT

 private slots:
  void translucentWindowPlotsItsRows();
};

void MainWindowScreenTest::translucentWindowPlotsItsRows() {
  TOLVANE_QREQUIRE_TESTBED();
  QCOMPARE(QGuiApplication::platformName(), QString("xcb"));

  Backdrop backdrop;
  backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
  backdrop.show();
  QVERIFY(QTest::qWaitForWindowExposed(&backdrop));

  MainWindow window(SystemEngine());
  window.move(60, 50);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  TypeRun(&window, testbed::kResponder15, "3", "0.3");
  window.findChild<QPushButton*>("Command1")->click();
  auto* timer = window.findChild<PeriodicTimer*>("Timer1");
  QVERIFY(timer->isEnabled());
  QTRY_VERIFY_WITH_TIMEOUT(!timer->isEnabled(), 5000);
  QTest::qWait(500);  // the last paint, and the compositor's

  const QString path = QDir(qEnvironmentVariable("TOLVANE_SCREENSHOT_DIR", QDir::currentPath()))
                           .absoluteFilePath("main-window.png");
  QProcess import;
  import.start("import", {"-window", "root", path});
  QVERIFY(import.waitForFinished(20000));
  QCOMPARE(import.exitCode(), 0);
  std::printf("screenshot: %s\n", qPrintable(path));
  const QImage screen(path);
  QVERIFY(!screen.isNull());

  // Translucent: the window's teal over white at 210/255 opacity.
  const QPoint origin = window.mapToGlobal(QPoint(0, 0));
  auto at = [&](int x, int y) { return screen.pixelColor(origin + QPoint(x, y)); };
  const double alpha = 210.0 / 255.0;
  auto blend = [&](QColor c) {
    return QColor(qRound(c.red() * alpha + 255 * (1 - alpha)), qRound(c.green() * alpha + 255 * (1 - alpha)),
                  qRound(c.blue() * alpha + 255 * (1 - alpha)));
  };
  const QColor background = at(304, 331);
  QVERIFY2(Close(background, blend(QColor(0, 64, 64)), 4), qPrintable(Describe(background)));
  QVERIFY2(!Close(background, QColor(0, 64, 64), 10), "opaque");
  QVERIFY(Close(screen.pixelColor(origin + QPoint(window.width() + 150, 100)), Qt::white, 2));

  // The chart has its three rows: three green bars across the plot's foot.
  auto* chart = window.findChild<LatencyChart*>("graph");
  const chart::Box& box = chart->layout().plot;
  const QRect plot = QRect(box.left, box.top, box.width(), box.height()).translated(chart->pos());
  const int y = plot.bottom() - 3;
  int bars = 0;
  bool inBar = false;
  for (int x = plot.left() + 1; x < plot.right(); ++x) {
    const QColor c = at(x, y);
    const bool green = c.green() > 150 && c.red() < 150 && c.blue() < 150;
    if (green && !inBar) ++bars;
    inBar = green;
  }
  QCOMPARE(bars, 3);
  QCOMPARE(chart->model().rows().size(), std::size_t{3});
}

}  // namespace tolvane::ui::test

QTEST_MAIN(tolvane::ui::test::MainWindowScreenTest)
#include "main_window_screen_test.moc"
