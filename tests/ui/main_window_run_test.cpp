// Ping runs end to end: the real window under the offscreen platform, real
// echoes to the test bed's hosts.
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QPushButton>
#include <QtTest/QtTest>

#include <memory>

#include "modal_box_guard.h"
#include "testbed/testbed.h"
#include "testbed/testbed_qtest.h"
#include "ui/main/latency_chart.h"
#include "ui/main/main_window.h"
#include "ui/main/messages.h"
#include "ui/main/periodic_timer.h"
#include "window_controls.h"

namespace tolvane::ui::test {
namespace {

namespace bed = tolvane::testbed;

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

// What the window showed right after one tick.
struct Tick {
  QString current;
  QString results;
  std::int32_t maxt, mint;
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

  void defaultsPlotSixRowsForLocalHost();
  void workedExampleKeepsStatisticsOverAnsweredSamples();
  void runWithNoReplyShowsDashes();
  void countOfOneTakesOneSampleAndAveragesIt();
  void typedValuesAreRefusedBeforeAnyEcho_data();
  void typedValuesAreRefusedBeforeAnyEcho();
  void limitValuesThemselvesPass();
  void readingsThatDisagreeUseTheStrictValue();
  void hostNameFallsBackToResolution();
  void unresponsiveHostIsRefused();
  void stopEndsTheRunWithoutAverage();
  void refusedPressLeavesARunAsItWas();
  void pingDuringARunStartsTheNewRun();
  void intervalEditedDuringRunChangesLabelsOnly();
  void zeroIntervalStaysInProgressWithoutTicks();
  void missingPermissionIsExplained();

 private:
  template <typename T>
  T* Child(const char* name) {
    return ChildOf<T>(window_.get(), name);
  }
  QString Text(const char* label) { return Child<QLabel>(label)->text(); }
  void Type(const QString& host, const QString& count, const QString& seconds);
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
  window_ = std::make_unique<MainWindow>();
  window_->show();
  ticks_.clear();
  // After the window's own handler: what the tick left behind.
  connect(Child<PeriodicTimer>("Timer1"), &PeriodicTimer::ticked, this, [this] {
    ticks_.push_back({Text("Current"), Text("results"), window_->maxt, window_->mint});
  });
}

void MainWindowRunTest::cleanup() { window_.reset(); }

void MainWindowRunTest::Type(const QString& host, const QString& count, const QString& seconds) {
  TypeRun(window_.get(), host, count, seconds);
}

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

void MainWindowRunTest::defaultsPlotSixRowsForLocalHost() {
  ModalBoxGuard boxes;
  QCOMPARE(Child<QLineEdit>("Text1")->text(), QString("127.0.0.1"));
  Press();
  QVERIFY2(Running(), qPrintable(boxes.seenTexts().join("; ")));
  QVERIFY(Child<QPushButton>("Command5")->isVisible());
  QCOMPARE(Child<PeriodicTimer>("Timer1")->period(), 2000);
  QVERIFY(WaitForEnd(16000));
  QCOMPARE(Chart()->RowCount(), 6);
  QCOMPARE(Chart()->HostText(), QString("127.0.0.1"));
  for (int row = 1; row <= 6; ++row) {
    QCOMPARE(Chart()->RowLabel(row), QString(" %1").arg(2 * row));
    QVERIFY2(Chart()->RowValue(row).has_value(), "loopback answers every echo");
    QVERIFY(*Chart()->RowValue(row) >= 0 && *Chart()->RowValue(row) < 50);
  }
  QCOMPARE(ticks_.size(), std::size_t{7});
  QVERIFY(Text("Current").startsWith("Avr:"));
  QVERIFY(!Child<QPushButton>("Command5")->isVisible());
  QVERIFY(boxes.seen().empty());
}

void MainWindowRunTest::workedExampleKeepsStatisticsOverAnsweredSamples() {
  ModalBoxGuard boxes;
  // The press probes once first, then the four samples: 12, 15, lost, 20.
  bed::ScriptReplies({1, 12, 15, -1, 20});
  Type(bed::kScriptedHost, "4", "0.5");
  Press();
  QVERIFY(Running());
  QCOMPARE(Child<PeriodicTimer>("Timer1")->period(), 500);
  QVERIFY(WaitForEnd(8000));
  QCOMPARE(ticks_.size(), std::size_t{5});
  QCOMPARE(bed::RequestTimesNs().size(), std::size_t{5});

  const QStringList labels = {" .5", " 1", " 1.5", " 2"};
  for (int row = 1; row <= 4; ++row) QCOMPARE(Chart()->RowLabel(row), labels[row - 1]);
  const double a = Chart()->RowValue(1).value_or(-1);
  const double b = Chart()->RowValue(2).value_or(-1);
  const double d = Chart()->RowValue(4).value_or(-1);
  QVERIFY2(Near(a, 12) && Near(b, 15) && Near(d, 20), qPrintable(QString("%1 %2 %3").arg(a).arg(b).arg(d)));
  QVERIFY(Chart()->RowLost(3));
  QVERIFY(!Chart()->RowValue(3));

  auto results = [](double min, double max) { return QString("Min Rt:%1 Max Rt:%2").arg(min).arg(max); };
  QCOMPARE(ticks_[0].current, QString("%1ms").arg(a));
  QCOMPARE(ticks_[0].results, results(a, a));
  QCOMPARE(ticks_[1].results, results(a, b));
  QCOMPARE(ticks_[2].current, QString("no reply"));
  QCOMPARE(ticks_[2].results, results(a, b));  // a loss leaves them as they were
  QCOMPARE(ticks_[3].current, QString("%1ms").arg(d));
  QCOMPARE(ticks_[3].results, results(a, d));
  QCOMPARE(window_->maxt, static_cast<std::int32_t>(d));
  QCOMPARE(window_->mint, static_cast<std::int32_t>(a));
  // (12 + 15 + 20) / 3 = 15.67: the loss is not a 0 ms reply.
  const double mean = (a + b + d) / 3;
  QCOMPARE(ticks_[4].current, QString("Avr:%1").arg(qRound(mean)));
  if (a == 12 && b == 15 && d == 20) QCOMPARE(ticks_[4].current, QString("Avr:16"));

  QVERIFY(Chart()->RowToolTip(1).endsWith(" ms"));
  QVERIFY2(Near(Chart()->RowToolTip(1).chopped(3).toDouble(), 12), qPrintable(Chart()->RowToolTip(1)));
  QVERIFY(Chart()->RowToolTip(1).contains('.'));
  QCOMPARE(Chart()->RowToolTip(3), QString("11010   [ ip req timed out ]"));
  QVERIFY(boxes.seen().empty());
}

void MainWindowRunTest::runWithNoReplyShowsDashes() {
  ModalBoxGuard boxes;
  bed::ScriptReplies({1, -1});
  Type(bed::kScriptedHost, "2", "0.3");
  Press();
  QVERIFY(WaitForEnd(4000));
  QCOMPARE(ticks_.size(), std::size_t{3});
  QCOMPARE(ticks_[0].current, QString("no reply"));
  QCOMPARE(ticks_[1].results, QString("Min Rt:- Max Rt:-"));
  QCOMPARE(Text("Current"), QString("Avr:-"));
  QVERIFY(Chart()->RowLost(1) && Chart()->RowLost(2));
  QCOMPARE(window_->maxt, kNoStatistic);
  QVERIFY(boxes.seen().empty());
}

void MainWindowRunTest::countOfOneTakesOneSampleAndAveragesIt() {
  ModalBoxGuard boxes;
  Type(bed::kResponder15, "1", "0.2");
  Press();
  QVERIFY(WaitForEnd(3000));
  QCOMPARE(ticks_.size(), std::size_t{2});
  QCOMPARE(Chart()->RowCount(), 1);
  const double only = Chart()->RowValue(1).value_or(-1);
  QVERIFY(Near(only, 15));
  QCOMPARE(ticks_[0].current, QString("%1ms").arg(only));
  QCOMPARE(Text("Current"), QString("Avr:%1").arg(only));
  QCOMPARE(Text("results"), QString("Min Rt:%1 Max Rt:%1").arg(only));
  QVERIFY(boxes.seen().empty());
}

void MainWindowRunTest::typedValuesAreRefusedBeforeAnyEcho_data() {
  QTest::addColumn<QString>("duration");
  QTest::addColumn<QString>("seconds");
  QTest::addColumn<QString>("message");
  const QString limit = Q(kCountLimitMessage);
  const QString intervalLimit = Q(kIntervalLimitMessage);
  const QString badCount = Q(kBadCountMessage);
  const QString badInterval = Q(kBadIntervalMessage);
  struct Row {
    const char* duration;
    const char* seconds;
    QString message;
  };
  const Row rows[] = {
      // Over a limit: the count is tested first.
      {"51", "2", limit}, {"50.5", "2", limit}, {"51", "61", limit}, {"&H40", "2", limit},
      {"6", "61", intervalLimit}, {"6", "60.01", intervalLimit}, {"6", "1e2", intervalLimit},
      // Not a value the run could use.
      {"", "2", badCount}, {"abc", "2", badCount}, {"0", "2", badCount}, {"-3", "2", badCount},
      {"0.4", "2", badCount}, {"6x", "2", badCount}, {"x", "x", badCount},
      {"6", "", badInterval}, {"6", "two", badInterval}, {"6", "-1", badInterval},
      {"6", "2s", badInterval},
  };
  for (const Row& r : rows) {
    QTest::addRow("'%s' '%s'", r.duration, r.seconds) << QString(r.duration) << QString(r.seconds) << r.message;
  }
}

void MainWindowRunTest::typedValuesAreRefusedBeforeAnyEcho() {
  QFETCH(QString, duration);
  QFETCH(QString, seconds);
  QFETCH(QString, message);
  bed::ScriptReplies({1});
  ModalBoxGuard boxes({message});
  Type(bed::kScriptedHost, duration, seconds);
  Press();
  QCOMPARE(boxes.seenTexts(), QStringList{message});
  QVERIFY(boxes.unexpected().isEmpty());
  QCOMPARE(boxes.seen()[0].title, QString("Tolvane"));
  QCOMPARE(boxes.seen()[0].icon, QMessageBox::NoIcon);
  QCOMPARE(boxes.seen()[0].buttons, 1);
  QVERIFY(bed::RequestTimesNs().empty());
  QVERIFY(!Running());
}

void MainWindowRunTest::limitValuesThemselvesPass() {
  ModalBoxGuard boxes;
  bed::ScriptReplies({1});
  Type(bed::kScriptedHost, "50", "60");
  Press();
  QVERIFY(Running());
  QCOMPARE(Chart()->RowCount(), 50);
  QCOMPARE(Child<PeriodicTimer>("Timer1")->period(), 60000);
  // Halves to even: 2.5 pings are 2, 3.5 are 4.
  Type(bed::kScriptedHost, "2.5", "0.0005");
  Press();
  QCOMPARE(Chart()->RowCount(), 2);
  QCOMPARE(Child<PeriodicTimer>("Timer1")->period(), 0);
  Type(bed::kScriptedHost, "3.5", "0.0015");
  Press();
  QCOMPARE(Chart()->RowCount(), 4);
  QCOMPARE(Child<PeriodicTimer>("Timer1")->period(), 2);
  Child<QPushButton>("Command5")->click();
  QVERIFY(boxes.seen().empty());
}

void MainWindowRunTest::readingsThatDisagreeUseTheStrictValue() {
  // Thousands separator: the leading number is 1, the strict value 1000.
  {
    bed::ScriptReplies({1});
    ModalBoxGuard boxes({Q(kCountLimitMessage)});
    Type(bed::kScriptedHost, "1,000", "2");
    Press();
    QCOMPARE(boxes.seenTexts(), QStringList{Q(kCountLimitMessage)});
    QVERIFY(bed::RequestTimesNs().empty());
  }
  // A decimal comma: "0,5" reads as 0 at the limit test but means half a second.
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  {
    bed::ScriptReplies({1});
    ModalBoxGuard boxes({Q(kCountLimitMessage)});
    Type(bed::kScriptedHost, "1.000", "2");
    Press();
    QCOMPARE(boxes.seenTexts(), QStringList{Q(kCountLimitMessage)});
    QVERIFY(bed::RequestTimesNs().empty());
  }
  {
    ModalBoxGuard boxes;
    Type(bed::kScriptedHost, "2", "0,25");
    Press();
    QVERIFY(Running());
    QCOMPARE(Child<PeriodicTimer>("Timer1")->period(), 250);
    QVERIFY(WaitForEnd(3000));
    QCOMPARE(Chart()->RowLabel(1), QString(" .25"));  // the point, whatever the locale
    QCOMPARE(Chart()->RowLabel(2), QString(" .5"));
    QVERIFY(boxes.seen().empty());
  }
}

void MainWindowRunTest::hostNameFallsBackToResolution() {
  ModalBoxGuard boxes;
  Type(bed::kResponder15Name, "2", "0.2");
  Press();
  QVERIFY2(Running(), qPrintable(boxes.seenTexts().join("; ")));
  QCOMPARE(Chart()->HostText(), QString(bed::kResponder15));
  QVERIFY(WaitForEnd(3000));
  for (int row : {1, 2}) {
    const double ms = Chart()->RowValue(row).value_or(-1);
    QVERIFY2(Near(ms, 15), qPrintable(QString("row %1: %2").arg(row).arg(ms)));
  }
  QCOMPARE(Child<QLineEdit>("Text1")->text(), QString(bed::kResponder15Name));
  QVERIFY(boxes.seen().empty());
}

void MainWindowRunTest::unresponsiveHostIsRefused() {
  for (const char* host : {bed::kSilentHost, bed::kUnknownName, bed::kSilentName}) {
    ModalBoxGuard boxes({Q(kUnresponsiveMessage)});
    Type(host, "6", "2");
    Press();
    QVERIFY2(boxes.seenTexts() == QStringList{Q(kUnresponsiveMessage)}, host);
    QCOMPARE(boxes.seen()[0].icon, QMessageBox::NoIcon);
    QVERIFY(!Running());
    QVERIFY(!Child<QPushButton>("Command5")->isVisible());
  }
}

void MainWindowRunTest::stopEndsTheRunWithoutAverage() {
  ModalBoxGuard boxes;
  bed::ScriptReplies({1, 12});
  Type(bed::kScriptedHost, "10", "0.2");
  Press();
  QVERIFY(WaitForTicks(2, 2000));
  Child<QPushButton>("Command5")->click();
  QVERIFY(!Running());
  QVERIFY(!Child<QPushButton>("Command5")->isVisible());
  const QString current = Text("Current");
  const QString results = Text("results");
  const auto sent = bed::RequestTimesNs().size();
  QTest::qWait(600);
  QCOMPARE(bed::RequestTimesNs().size(), sent);
  QCOMPARE(Text("Current"), current);
  QVERIFY(!current.startsWith("Avr"));
  QCOMPARE(Text("results"), results);
  QCOMPARE(Chart()->RowCount(), 10);
  QVERIFY(Chart()->RowValue(2).has_value());
  QVERIFY(!Chart()->RowValue(3).has_value());
  // Stop while idle only hides a hidden button.
  Child<QPushButton>("Command5")->click();
  QVERIFY(!Running());
  QVERIFY(boxes.seen().empty());
}

void MainWindowRunTest::refusedPressLeavesARunAsItWas() {
  ModalBoxGuard boxes;
  // A slow first sample: were the statistics restarted, the maximum would drop.
  bed::ScriptReplies({1, 30, 12});
  Type(bed::kScriptedHost, "12", "0.25");
  Press();
  QVERIFY(WaitForTicks(2, 2000));
  const std::int32_t first = window_->maxt;
  QVERIFY(Near(first, 30));

  // An unanswering host: two probes, then the message; the run goes on.
  boxes.Expect({Q(kUnresponsiveMessage)});
  Type(bed::kSilentHost, "12", "0.25");
  Press();
  QCOMPARE(boxes.seenTexts(), QStringList{Q(kUnresponsiveMessage)});
  QVERIFY(Running());
  QCOMPARE(window_->maxt, first);
  // A limit too.
  boxes.Expect({Q(kCountLimitMessage)});
  Type(bed::kScriptedHost, "99", "0.25");
  Press();
  QCOMPARE(window_->maxt, first);

  // Its later samples still probe the run's host, and the chart names it.
  const auto before = bed::RequestTimesNs().size();
  const int ticksBefore = static_cast<int>(ticks_.size());
  QVERIFY(WaitForTicks(ticksBefore + 2, 2000));
  Child<QPushButton>("Command5")->click();
  QVERIFY(bed::RequestTimesNs().size() >= before + 2);
  QCOMPARE(Chart()->HostText(), QString(bed::kScriptedHost));
  std::int32_t lowest = first;
  for (int row = 1; row <= static_cast<int>(ticks_.size()); ++row) {
    QVERIFY2(Chart()->RowValue(row).has_value(), qPrintable(QString::number(row)));
    lowest = std::min(lowest, static_cast<std::int32_t>(*Chart()->RowValue(row)));
  }
  QCOMPARE(window_->maxt, first);
  QCOMPARE(window_->mint, lowest);
  QCOMPARE(Text("results"), QString("Min Rt:%1 Max Rt:%2").arg(lowest).arg(first));
  QVERIFY(boxes.unexpected().isEmpty());
}

void MainWindowRunTest::pingDuringARunStartsTheNewRun() {
  ModalBoxGuard boxes;
  bed::ScriptReplies({1, 5});
  Type(bed::kScriptedHost, "20", "0.2");
  Press();
  QVERIFY(WaitForTicks(3, 2000));
  Type(bed::kResponder20, "2", "0.3");
  const QString oldCurrent = Text("Current");
  Press();
  QVERIFY(Running());
  QCOMPARE(Chart()->RowCount(), 2);
  QCOMPARE(Chart()->HostText(), QString(bed::kResponder20));
  QCOMPARE(Text("Current"), oldCurrent);  // until the new run's first tick
  const auto oldSent = bed::RequestTimesNs().size();
  ticks_.clear();
  QVERIFY(WaitForEnd(3000));
  QCOMPARE(ticks_.size(), std::size_t{3});
  QCOMPARE(bed::RequestTimesNs().size(), oldSent);  // the old host is left alone
  const double first = Chart()->RowValue(1).value_or(-1);
  QVERIFY(Near(first, 20));
  QCOMPARE(ticks_[0].results, QString("Min Rt:%1 Max Rt:%1").arg(first));
  QCOMPARE(Chart()->RowLabel(1), QString(" .3"));
  QVERIFY(boxes.seen().empty());
}

void MainWindowRunTest::intervalEditedDuringRunChangesLabelsOnly() {
  ModalBoxGuard boxes;
  Type(bed::kResponder12, "3", "0.3");
  Press();
  QVERIFY(WaitForTicks(1, 2000));
  Child<QLineEdit>("interval")->setText("1");
  QVERIFY(WaitForEnd(3000));
  QCOMPARE(Child<PeriodicTimer>("Timer1")->period(), 300);
  QCOMPARE(Chart()->RowLabel(1), QString(" .3"));
  QCOMPARE(Chart()->RowLabel(2), QString(" 2"));
  QCOMPARE(Chart()->RowLabel(3), QString(" 3"));
  QVERIFY(boxes.seen().empty());
}

void MainWindowRunTest::zeroIntervalStaysInProgressWithoutTicks() {
  ModalBoxGuard boxes;
  bed::ScriptReplies({1});
  Type(bed::kScriptedHost, "3", "0");
  Press();
  QVERIFY(Running());
  QVERIFY(Child<QPushButton>("Command5")->isVisible());
  QTest::qWait(300);
  QVERIFY(ticks_.empty());
  QCOMPARE(bed::RequestTimesNs().size(), std::size_t{1});  // the press's own probe
  Child<QPushButton>("Command5")->click();
  QVERIFY(!Running());
  QVERIFY(boxes.seen().empty());
}

void MainWindowRunTest::missingPermissionIsExplained() {
  if (qEnvironmentVariableIsSet("TOLVANE_TEST_NO_ICMP")) {
    // In here no ICMP socket can be opened.
    ModalBoxGuard boxes;
    Type("127.0.0.1", "6", "2");
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
