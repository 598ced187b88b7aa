// Hostile host texts and slow hosts (hostile numbers are the run's logic
// tests'): the window answers with a clear message or
// does what it always does, never crashes, and a silent host never holds
// the window for longer than one probe's time-out.
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QtTest/QtTest>

#include <memory>

#include "app/messages.h"
#include "modal_box_guard.h"
#include "qt/main_window.h"
#include "qt/periodic_timer.h"
#include "qt/program.h"
#include "qt/qt_text.h"
#include "testbed/testbed.h"
#include "testbed/testbed_qtest.h"
#include "window_controls.h"

namespace tolvane::ui::test {
namespace {

namespace bed = tolvane::testbed;

}  // namespace

class MainWindowInputFaultTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup() { window_.reset(); }

  void strangeHostTextsAreUnresponsiveHosts();
  void silentSamplesHoldTheWindowOneTimeOutAtMost();

 private:
  template <typename T>
  T* Child(const char* name) {
    return ChildOf<T>(window_.get(), name);
  }
  void Type(const QString& host, const QString& count, const QString& seconds) {
    TypeRun(window_.get(), host, count, seconds);
  }
  void Press() { Child<QPushButton>("Command1")->click(); }
  bool Running() { return Child<PeriodicTimer>("Timer1")->isEnabled(); }

  std::unique_ptr<MainWindow> window_;
};

void MainWindowInputFaultTest::init() {
  TOLVANE_QREQUIRE_TESTBED();
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  window_ = std::make_unique<MainWindow>(SystemEngine());
  window_->show();
}

void MainWindowInputFaultTest::strangeHostTextsAreUnresponsiveHosts() {
  const QString hosts[] = {
      "",
      Q(bed::kUnknownName),
      QString(10'000, 'a'),
      QString(10'000, '.'),
      QString("10.77.1.2") + QString(9'991, 'x'),
      QString("\x01\x02\t\x1b[2J"),
      QString("kernel.tolvane.test\n10.77.1.2"),
      QString::fromUtf8("\xd9\xa1\xd9\xa0.77.1.2"),  // Arabic-Indic digits
      "10.77.1.2.5",
      "255.255.255.255",
      "0.0.0.0",
  };
  for (const QString& host : hosts) {
    ModalBoxGuard boxes({Q(kUnresponsiveMessage)});
    Type(host, "6", "2");
    Press();
    QVERIFY2(boxes.seenTexts() == QStringList{Q(kUnresponsiveMessage)}, qPrintable(host.left(40)));
    QVERIFY(boxes.unexpected().isEmpty());
    QVERIFY(!Running());
  }
}

void MainWindowInputFaultTest::silentSamplesHoldTheWindowOneTimeOutAtMost() {
  ModalBoxGuard boxes;
  bed::ScriptReplies({1, -1});  // the press's probe answers, every sample is lost
  Type(bed::kScriptedHost, "5", "0.25");
  // How long the event loop goes without turning, while the run goes on.
  QElapsedTimer clock, sinceLast;
  qint64 longest = 0;
  QTimer beat;
  beat.setTimerType(Qt::PreciseTimer);
  QObject::connect(&beat, &QTimer::timeout, [&] {
    longest = std::max(longest, sinceLast.restart());
  });
  Press();
  QVERIFY(Running());
  sinceLast.start();
  beat.start(5);
  clock.start();
  while (Running() && clock.elapsed() < 6000) QTest::qWait(5);
  beat.stop();
  QVERIFY(!Running());
  std::printf("silent samples: the window went at most %lld ms without turning\n", static_cast<long long>(longest));
  QVERIFY2(longest >= 190, "the samples did not wait for their replies");
  QVERIFY2(longest < 300, qPrintable(QString("held for %1 ms").arg(longest)));
  QVERIFY(boxes.seen().empty());
}

}  // namespace tolvane::ui::test

QTEST_MAIN(tolvane::ui::test::MainWindowInputFaultTest)
#include "main_window_input_fault_test.moc"
