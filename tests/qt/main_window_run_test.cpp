// Ping runs end to end: the real window under the offscreen platform, real
// echoes to the test bed's hosts. The run's logic on its own is in
// run_test.cpp.
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <memory>

#include "modal_box_guard.h"
#include "qt/latency_chart.h"
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

// What the window showed right after one tick.
struct Tick {
  QString current;
  QString results;
};

// The whole-ms time of a reply delayed `delayMs` by the responder: never
// early; a little late under load.
bool Near(double ms, int delayMs) { return ms >= delayMs && ms <= delayMs + 4; }

}  // namespace

class MainWindowRunTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void runOf12And15LostAnd20KeepsStatisticsOverAnsweredSamples();
  void hostNameFallsBackToResolution_data();
  void hostNameFallsBackToResolution();
  void stopEndsTheRunWithoutAverage();
  void missingPermissionIsExplained();

 private:
  template <typename T>
  T* Child(const char* name) {
    return ChildOf<T>(window_.get(), name);
  }
  QString Text(const char* label) { return Child<QLabel>(label)->text(); }
  void Press() { Child<QPushButton>("Command1")->click(); }
  bool Running() { return Child<PeriodicTimer>("Timer1")->isEnabled(); }
  LatencyChart* Chart() { return Child<LatencyChart>("graph"); }
  // Waits for the tick that ends the run.
  bool WaitForEnd(int timeoutMs);
  bool WaitForTicks(int count, int timeoutMs);

  std::unique_ptr<MainWindow> window_;
  std::vector<Tick> ticks_;
};

void MainWindowRunTest::init() {
  // The permission test's second half runs where no echo can go out at all.
  if (!qEnvironmentVariableIsSet("TOLVANE_TEST_NO_ICMP")) TOLVANE_QREQUIRE_TESTBED();
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  window_ = std::make_unique<MainWindow>(SystemEngine());
  window_->show();
  ticks_.clear();
  // After the window's own handler: what the tick left behind.
  connect(Child<PeriodicTimer>("Timer1"), &PeriodicTimer::ticked, this, [this] {
    ticks_.push_back({Text("Current"), Text("results")});
  });
}

void MainWindowRunTest::cleanup() { window_.reset(); }

bool MainWindowRunTest::WaitForEnd(int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (Running() && clock.elapsed() < timeoutMs) QTest::qWait(20);
  return !Running();
}

bool MainWindowRunTest::WaitForTicks(int count, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (static_cast<int>(ticks_.size()) < count && clock.elapsed() < timeoutMs) QTest::qWait(5);
  return static_cast<int>(ticks_.size()) >= count;
}

// The sampling in detail is the run's logic tests'; here the real echoes
// reach the real window's chart and labels.
void MainWindowRunTest::runOf12And15LostAnd20KeepsStatisticsOverAnsweredSamples() {
  ModalBoxGuard boxes;
  // The press probes once first, then the four samples: 12, 15, lost, 20.
  bed::ScriptReplies({1, 12, 15, -1, 20});
  TypeRun(window_.get(), bed::kScriptedHost, "4", "0.5");
  Press();
  QVERIFY(Running());
  QCOMPARE(Child<PeriodicTimer>("Timer1")->period(), 500);
  QVERIFY(WaitForEnd(8000));
  QCOMPARE(ticks_.size(), std::size_t{5});
  QCOMPARE(bed::RequestTimesNs().size(), std::size_t{5});

  const QStringList labels = {" .5", " 1", " 1.5", " 2"};
  for (int row = 1; row <= 4; ++row) QCOMPARE(Q(RowOf(*Chart(), row).label), labels[row - 1]);
  const double a = RowMs(*Chart(), 1), b = RowMs(*Chart(), 2), d = RowMs(*Chart(), 4);
  QVERIFY2(Near(a, 12) && Near(b, 15) && Near(d, 20), qPrintable(QString("%1 %2 %3").arg(a).arg(b).arg(d)));
  QCOMPARE(RowOf(*Chart(), 3).kind, ChartModel::Kind::Lost);
  QCOMPARE(Q(Chart()->model().TipText(2)), QString("11010   [ ip req timed out ]"));
  // The value axis as the core scales it: 25 for 20 ms.
  QCOMPARE(Chart()->model().ValueScale().top, d * 1.15 <= 25 ? 25.0 : 30.0);
  const QString tip = Q(Chart()->model().TipText(0));
  QVERIFY2(Near(tip.chopped(3).toDouble(), 12), qPrintable(tip));

  QCOMPARE(ticks_[0].current, QString("%1ms").arg(a));
  QCOMPARE(ticks_[2].current, QString("no reply"));
  QCOMPARE(ticks_[3].results, QString("Min Rt:%1 Max Rt:%2").arg(a).arg(d));
  QCOMPARE(std::make_pair(window_->run().mint, window_->run().maxt),
           std::make_pair(static_cast<std::int32_t>(a), static_cast<std::int32_t>(d)));
  // Over the three answers: the loss is not a 0 ms reply.
  QCOMPARE(ticks_[4].current, QString("Avr:%1").arg(qRound((a + b + d) / 3)));
  QVERIFY(!Child<QPushButton>("Command5")->isVisible());
  QVERIFY(boxes.seen().empty());
}

// A name goes to its first IPv4 address; IPv6 is used where IPv4 finds
// nothing: a typed IPv6 address, a name with only IPv6 addresses.
void MainWindowRunTest::hostNameFallsBackToResolution_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("graphed");
  QTest::newRow("IPv4 name") << bed::kResponder15Name << bed::kResponder15;
  QTest::newRow("IPv6 address") << bed::kResponder15Host6 << bed::kResponder15Host6;
  QTest::newRow("IPv6-only name") << bed::kV6OnlyName << bed::kResponder15Host6;
  QTest::newRow("name beyond ASCII") << QString::fromUtf8(bed::kIdnName) << bed::kResponder15;
}

void MainWindowRunTest::hostNameFallsBackToResolution() {
  QFETCH(QString, typed);
  QFETCH(QString, graphed);
  ModalBoxGuard boxes;
  TypeRun(window_.get(), typed, "2", "0.2");
  Press();
  QVERIFY2(Running(), qPrintable(boxes.seenTexts().join("; ")));
  QCOMPARE(Q(Chart()->model().host()), graphed);
  QVERIFY(WaitForEnd(3000));
  for (int row : {1, 2}) {
    const double ms = RowMs(*Chart(), row);
    QVERIFY2(Near(ms, 15), qPrintable(QString("row %1: %2").arg(row).arg(ms)));
  }
  QCOMPARE(Child<QLineEdit>("Text1")->text(), typed);
  QVERIFY(boxes.seen().empty());
}

void MainWindowRunTest::stopEndsTheRunWithoutAverage() {
  ModalBoxGuard boxes;
  bed::ScriptReplies({1, 12});
  TypeRun(window_.get(), bed::kScriptedHost, "10", "0.2");
  Press();
  QVERIFY(WaitForTicks(2, 2000));
  Child<QPushButton>("Command5")->click();
  QVERIFY(!Running());
  QVERIFY(!Child<QPushButton>("Command5")->isVisible());
  const QString current = Text("Current");
  const auto sent = bed::RequestTimesNs().size();
  QTest::qWait(600);
  QCOMPARE(bed::RequestTimesNs().size(), sent);
  QCOMPARE(Text("Current"), current);
  QVERIFY(!current.startsWith("Avr"));
  QVERIFY(RowMs(*Chart(), 2) >= 0 && RowMs(*Chart(), 3) < 0);
  QVERIFY(boxes.seen().empty());
}

void MainWindowRunTest::missingPermissionIsExplained() {
  if (qEnvironmentVariableIsSet("TOLVANE_TEST_NO_ICMP")) {
    // In here no ICMP socket can be opened.
    ModalBoxGuard boxes;
    TypeRun(window_.get(), "127.0.0.1", "6", "2");
    Press();
    QCOMPARE(boxes.seen().size(), std::size_t{1});
    const auto& box = boxes.seen()[0];
    QVERIFY2(box.text.contains("setcap cap_net_raw+ep"), qPrintable(box.text));
    QVERIFY(box.text.contains("ping_group_range"));
    QVERIFY(box.text.contains(QCoreApplication::applicationFilePath()));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.title, QString("Tolvane"));
    QVERIFY(!Running());
    return;
  }
  // Again in a network namespace of its own where nobody may use ping
  // sockets, as an unprivileged user without capabilities.
  // A copy of this test where that user may run it, whatever the build folder allows.
  QTemporaryDir dir(QDir::tempPath() + "/tolvane-noicmp-XXXXXX");
  QVERIFY(dir.isValid());
  const QString self = dir.filePath("ui_run_test");
  QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), self));
  const auto readAndRun = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
  QVERIFY(QFile::setPermissions(dir.path(), readAndRun));
  QVERIFY(QFile::setPermissions(self, readAndRun));
  const QString script =
      "sysctl -qw net.ipv4.ping_group_range='1 0' && ip link set lo up && "
      "exec setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all "
      "--bounding-set=-all env TOLVANE_TEST_NO_ICMP=1 "
      "\"$0\" -platform offscreen missingPermissionIsExplained";
  QProcess child;
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start("unshare", {"--net", "sh", "-c", script, self});
  QVERIFY(child.waitForFinished(20000));
  const QString output = QString::fromLocal8Bit(child.readAll());
  QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(output));
  QVERIFY2(output.contains("PASS   : tolvane::ui::test::MainWindowRunTest::missingPermissionIsExplained"),
           qPrintable(output));
}

}  // namespace tolvane::ui::test

QTEST_MAIN(tolvane::ui::test::MainWindowRunTest)
#include "main_window_run_test.moc"
