// Hostile input and slow hosts: the window answers with a clear message or
// does what it always does, never crashes, and a silent host never holds
// the window for longer than one probe's time-out.
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QtTest/QtTest>

#include <memory>

#include "modal_box_guard.h"
#include "testbed/testbed.h"
#include "testbed/testbed_qtest.h"
#include "ui/main/latency_chart.h"
#include "ui/main/main_window.h"
#include "ui/main/program.h"
#include "ui/style/qt_text.h"
#include "ui/main/messages.h"
#include "ui/main/periodic_timer.h"
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
  void strangeNumbersAreRefusedOrRead();
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
  void Stop() { Child<QPushButton>("Command5")->click(); }

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

void MainWindowInputFaultTest::strangeNumbersAreRefusedOrRead() {
  struct Case {
    const char* duration;
    const char* seconds;
    QString message;  // empty: a run starts
    int rows;
    int period;
  };
  const QString count = Q(kCountLimitMessage), interval = Q(kIntervalLimitMessage);
  const QString badCount = Q(kBadCountMessage), badInterval = Q(kBadIntervalMessage);
  const Case cases[] = {
      {"1e400", "2", count, 0, 0},              // beyond a double: above the limit
      {"6", "1e400", interval, 0, 0},
      {"-1e400", "2", badCount, 0, 0},
      {"-0", "2", badCount, 0, 0},              // no pings
      {"6", "-0", "", 6, 0},                    // zero seconds: in progress, never ticks
      {"6", "-1", badInterval, 0, 0},
      {"&H7FFFFFFF", "2", count, 0, 0},
      {"6", "&H7FFFFFFF", interval, 0, 0},
      {"\xd9\xa3", "2", badCount, 0, 0},        // Arabic-Indic 3: not a number here
      {"6", "\xd9\xa3", badInterval, 0, 0},
      {"nan", "2", badCount, 0, 0},
      {"6", "inf", badInterval, 0, 0},
      {"32768", "2", count, 0, 0},
      {"6\n", " 2 ", "", 6, 2000},
  };
  for (const Case& c : cases) {
    bed::ScriptReplies({1});
    ModalBoxGuard boxes(c.message.isEmpty() ? QStringList{} : QStringList{c.message});
    Type(bed::kScriptedHost, QString::fromUtf8(c.duration), QString::fromUtf8(c.seconds));
    Press();
    const QString what = QString("%1 / %2").arg(c.duration, c.seconds);
    QVERIFY2(boxes.unexpected().isEmpty(), qPrintable(what + ": " + boxes.unexpected().join("; ")));
    if (c.message.isEmpty()) {
      QVERIFY2(Running(), qPrintable(what));
      QCOMPARE(window_->findChild<LatencyChart*>("graph")->RowCount(), c.rows);
      QCOMPARE(Child<PeriodicTimer>("Timer1")->period(), c.period);
      Stop();
    } else {
      QVERIFY2(boxes.seenTexts() == QStringList{c.message}, qPrintable(what + ": " + boxes.seenTexts().join("; ")));
      QVERIFY2(bed::RequestTimesNs().empty(), qPrintable(what + ": an echo went out"));
      QVERIFY(!Running());
    }
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
