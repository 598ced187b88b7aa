// The main window as it opens, and the latency chart's six operations and
// its export, under the offscreen platform; nothing here sends an echo.
#include <QClipboard>
#include <QImage>
#include <QMessageBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest/QtTest>

#include <memory>
#include <vector>

#include "app/colours.h"
#include "app/controls.h"
#include "qt/chart_export.h"
#include "qt/latency_chart.h"
#include "qt/main_window.h"
#include "qt/periodic_timer.h"
#include "qt/program.h"
#include "qt/qt_text.h"
#include "qt/system_colours.h"
#include "qt/twips_qt.h"
#include "support/parity_run.h"
#include "window_controls.h"

namespace tolvane::ui::test {

class MainWindowLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void windowFrameTitleAndOpacity();
  void controlsStandAsTheTableSays();
  void initialState();
  void coloursFollowTheScheme();
  void hostBoxReadsOnADarkPalette();
  void tabOrderFollowsTheTabIndex();
  void accessKeysPressTheirButtons();
  void stopAndSystrayShareTheAccessKey();
  void enterPressesTheFocusedButtonOnly_data();
  void enterPressesTheFocusedButtonOnly();
  void exitClosesTheWindow();

  void chartPaintsItsLayout();
  void chartSavesWholeOrNotAtAll();
  void chartSavesOnlyWhatWasNamedAndConfirmed();
  void chartTellsItsRowsAndOpensItsMenu();
  void chartReadsLeftToRightInEveryDirection();
  void prefillFillsTheBoxesInOrder();

  void timerWithPeriodZeroNeverTicks();

 private:
  template <typename T>
  T* Child(const char* name) {
    return ChildOf<T>(window_.get(), name);
  }
  static void Fill(LatencyChart& chart);

  std::unique_ptr<MainWindow> window_;
  QTemporaryDir configHome_;  // the user's settings folder, which must stay empty
};

void MainWindowLayoutTest::initTestCase() {
  qputenv("XDG_CONFIG_HOME", configHome_.path().toLocal8Bit());
}

void MainWindowLayoutTest::init() {
  window_ = std::make_unique<MainWindow>(SystemEngine());
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void MainWindowLayoutTest::cleanup() { window_.reset(); }

void MainWindowLayoutTest::windowFrameTitleAndOpacity() {
  QCOMPARE(window_->objectName(), QString("main"));
  QCOMPARE(window_->windowTitle(), QString("Tolvane"));
  const Qt::WindowFlags flags = window_->windowFlags();
  QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
  QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
  QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
  QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
  QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
  // Fixed size: the client area of 9135 by 4995 twips.
  QCOMPARE(window_->size(), QSize(609, 333));
  QCOMPARE(window_->minimumSize(), window_->maximumSize());
  QCOMPARE(qRound(window_->windowOpacity() * 255), 210);
  QTRY_VERIFY(!window_->windowIcon().isNull());  // taken once the window has shown
}

// Each control as the table makes it: where it stands, its first text,
// whether it shows.
void MainWindowLayoutTest::controlsStandAsTheTableSays() {
  QCOMPARE(Child<QWidget>("graph")->geometry(), QRect(0, 0, 609, 265));
  for (const controls::Control& c : controls::kControls) {
    auto* widget = Child<QWidget>(c.name.data());
    QVERIFY2(widget->geometry() == layout::Pixels(c.place), c.name.data());
    QVERIFY2(widget->property("text").toString() == Q(c.text), c.name.data());
    QVERIFY2(widget->isVisible() == c.shown, c.name.data());
  }
  // The buttons over the chart's corner lie above it.
  const QList<QObject*> stack = window_->children();
  const qsizetype graph = stack.indexOf(Child<QWidget>("graph"));
  for (const char* button : {"Command5", "Command4", "Command3"})
    QVERIFY2(stack.indexOf(Child<QWidget>(button)) > graph, button);
}

void MainWindowLayoutTest::initialState() {
  QVERIFY(Child<QLabel>("Label3")->alignment() & Qt::AlignRight);
  QVERIFY(Child<QLabel>("Label2")->alignment() & Qt::AlignHCenter);
  QVERIFY(!Child<PeriodicTimer>("Timer1")->isEnabled());
  for (const char* name : {"Command1", "Command2", "Command3", "Command4", "Command5"}) {
    QVERIFY2(!Child<QPushButton>(name)->isDefault(), name);
    QVERIFY2(!Child<QPushButton>(name)->autoDefault(), name);
  }
  QCOMPARE(Child<LatencyChart>("graph")->model().name(), std::string("Tolvane"));
  // Every label fits its box in the window's font.
  for (const char* name : {"Label1", "Label2", "Label3", "results"}) {
    auto* label = Child<QLabel>(name);
    QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(), name);
  }
}

void MainWindowLayoutTest::coloursFollowTheScheme() {
  QCOMPARE(window_->palette().color(QPalette::Window), QColor(0, 64, 64));
  QVERIFY(window_->autoFillBackground());
  for (const char* name : {"Label1", "Label2", "Label3", "Current", "results"}) {
    auto* label = Child<QLabel>(name);
    QVERIFY2(label->palette().color(QPalette::WindowText) == QColor(0, 255, 0), name);
    QVERIFY2(!label->autoFillBackground(), name);
  }
  for (const char* name : {"Text1", "duration", "interval"})
    QVERIFY2(Child<QLineEdit>(name)->palette().color(QPalette::Base) == AppWorkspaceColour(), name);
  QCOMPARE(Child<QLineEdit>("duration")->palette().color(QPalette::Text),
           QApplication::palette().color(QPalette::Text));

  // Rendered: the window's colour shows around the controls.
  const QImage image = window_->grab().toImage();
  QCOMPARE(image.pixelColor(image.width() / 2, image.height() - 2), QColor(0, 64, 64));
}

// The host box on a dark palette whose workspace and menu colours are the
// same grey: its text takes the ordinary text colour. (Which colour when is
// the core's test.)
void MainWindowLayoutTest::hostBoxReadsOnADarkPalette() {
  const QPalette standard = QApplication::palette();
  QPalette dusk = standard;
  for (const auto role : {QPalette::Dark, QPalette::Window}) dusk.setColor(role, QColor(127, 127, 127));
  dusk.setColor(QPalette::Text, QColor(212, 212, 212));
  QApplication::setPalette(dusk);
  MainWindow main(SystemEngine());
  main.show();
  QVERIFY(QTest::qWaitForWindowExposed(&main));
  const QColor shown = ChildOf<QLineEdit>(&main, "Text1")->palette().color(QPalette::Text);
  QApplication::setPalette(standard);
  QCOMPARE(shown, QColor(212, 212, 212));
}

void MainWindowLayoutTest::tabOrderFollowsTheTabIndex() {
  const QStringList expected = {"graph",    "Text1",    "Command1", "Command2", "duration",
                                "interval", "Command3", "Command4", "Command5"};
  QStringList order;
  QWidget* start = Child<QWidget>("graph");
  QWidget* w = start;
  for (int i = 0; i < 200 && order.size() < expected.size(); ++i) {
    if (expected.contains(w->objectName()) && !order.contains(w->objectName()))
      order << w->objectName();
    w = w->nextInFocusChain();
    if (w == start) break;
  }
  QCOMPARE(order, expected);
  QCOMPARE(QApplication::focusWidget(), Child<QWidget>("graph"));
  for (const char* label : {"Label1", "Label2", "Label3", "Current", "results"})
    QCOMPARE(Child<QWidget>(label)->focusPolicy(), Qt::NoFocus);
}

void MainWindowLayoutTest::accessKeysPressTheirButtons() {
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  QSignalSpy systray(window_.get(), &MainWindow::systrayPressed);
  QSignalSpy about(window_.get(), &MainWindow::aboutPressed);
  // Each opens a modal window (offscreen has no tray: a message box; then
  // the About dialog), which the key press waits for: close it.
  QTimer closer;
  connect(&closer, &QTimer::timeout, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  closer.start(20);
  QTest::keyClick(window_.get(), Qt::Key_S, Qt::AltModifier);
  QTRY_COMPARE(systray.count(), 1);
  QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  QTest::keyClick(window_.get(), Qt::Key_A, Qt::AltModifier);
  QTRY_COMPARE(about.count(), 1);
  QCOMPARE(systray.count(), 1);
}

void MainWindowLayoutTest::stopAndSystrayShareTheAccessKey() {
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  QSignalSpy systray(window_.get(), &MainWindow::systrayPressed);
  auto* stop = Child<QPushButton>("Command5");
  auto* tray = Child<QPushButton>("Command3");
  stop->show();  // as during a run
  // Both answer to S: the key moves the focus between them and presses neither.
  QTest::keyClick(window_.get(), Qt::Key_S, Qt::AltModifier);
  QWidget* first = QApplication::focusWidget();
  QVERIFY(first == stop || first == tray);
  QTest::keyClick(window_.get(), Qt::Key_S, Qt::AltModifier);
  QWidget* second = QApplication::focusWidget();
  QVERIFY(second == stop || second == tray);
  QVERIFY(first != second);
  QTest::qWait(200);
  QCOMPARE(systray.count(), 0);
  QVERIFY(stop->isVisible());
}

void MainWindowLayoutTest::enterPressesTheFocusedButtonOnly_data() {
  QTest::addColumn<QString>("focused");
  for (const char* name : {"Command1", "Command2", "Command3", "Command4", "Command5", "Text1", "duration", "interval"})
    QTest::newRow(name) << QString(name);
}

void MainWindowLayoutTest::enterPressesTheFocusedButtonOnly() {
  QFETCH(QString, focused);
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  Child<QWidget>("Command5")->show();  // as during a run
  // Only the presses count here, not what the buttons do.
  std::vector<std::unique_ptr<QSignalSpy>> presses;
  const QList<QPushButton*> buttons = window_->findChildren<QPushButton*>();
  for (QPushButton* button : buttons) {
    disconnect(button, &QPushButton::clicked, window_.get(), nullptr);
    presses.push_back(std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
  }
  auto* target = Child<QWidget>(qPrintable(focused));
  target->setFocus();
  QTest::keyClick(target, Qt::Key_Return);
  QTest::keyClick(target, Qt::Key_Enter);
  for (qsizetype i = 0; i < buttons.size(); ++i)
    QCOMPARE(presses[i]->count(), buttons[i]->objectName() == focused ? 2 : 0);
}

void MainWindowLayoutTest::exitClosesTheWindow() {
  QSignalSpy closed(window_.get(), &MainWindow::closed);
  Child<QPushButton>("Command2")->click();
  QCOMPARE(closed.count(), 1);
  QVERIFY(!window_->isVisible());
}

// A run of four samples in five rows, into a chart on its own.
void MainWindowLayoutTest::Fill(LatencyChart& chart) {
  chart.resize(609, 265);
  chart.show();
  QVERIFY(QTest::qWaitForWindowExposed(&chart));
  WriteParityRun(chart.control());
}

// The painter paints the layout: the bars' fills, the lost bar's frame, the
// focused row's outline and text box; a saved image is the chart without
// them. (Where everything goes is the layout's test.)
void MainWindowLayoutTest::chartPaintsItsLayout() {
  LatencyChart chart;
  Fill(chart);
  chart.activateWindow();
  chart.setFocus();
  QTRY_VERIFY(chart.hasFocus());
  QTest::keyClick(&chart, Qt::Key_Home);
  QTest::keyClick(&chart, Qt::Key_Right);
  const QImage shown = chart.grab().toImage();
  const chart::Layout& layout = chart.layout();
  const chart::Box reply = layout.bars[0], lost = layout.bars[1], slot = layout.rowSlots[1];
  const int y = (reply.top + reply.bottom) / 2;
  const QColor centre = shown.pixelColor((reply.left + reply.right) / 2, y);
  QColor expected;
  for (const chart::Shape& shape : layout.shapes) {
    const auto* fill = std::get_if<chart::Gradient>(&shape);
    if (fill && fill->box == reply) expected = QColor(fill->RowColour(y - reply.top, reply.height()));
  }
  QCOMPARE(centre, expected);
  QCOMPARE(shown.pixel(lost.left, (lost.top + lost.bottom) / 2), kLostColour);
  QCOMPARE(shown.pixel(slot.left, layout.plot.top - 3), kLabelColour);  // the outline's first dash
  QVERIFY(layout.tipBox);
  QCOMPARE(shown.pixel(layout.tipBox->left + 1, layout.tipBox->top + 1), kTipColour);

  const QImage saved = chart.Image();
  QCOMPARE(saved.size(), chart.size());
  QCOMPARE(saved.pixel(slot.left, layout.plot.top - 3), kWindowColour);
  QCOMPARE(saved.pixel(lost.left, (lost.top + lost.bottom) / 2), kLostColour);
}

// A save is whole or nothing: onto a name that is there, a complete PNG
// replaces the file; on a full file system (the test ui.save_full gives one)
// it fails with the system's reason, the file stays as it was and nothing is
// left beside it; into a folder that isn't there it fails too.
void MainWindowLayoutTest::chartSavesWholeOrNotAtAll() {
  LatencyChart chart;
  Fill(chart);
  QTemporaryDir dir;
  const QString full = qEnvironmentVariable("TOLVANE_FULL_DIR");
  for (const QString& folder : {dir.path(), full}) {
    if (folder.isEmpty()) continue;
    const QString path = QDir(folder).filePath("chart.png");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    QString reason;
    const bool saved = chart_export::SavePng(chart.Image(), path, &reason);
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QByteArray bytes = old.readAll();
    if (folder == full) {
      QVERIFY(!saved);
      QVERIFY2(reason.contains("space", Qt::CaseInsensitive), qPrintable(reason));
      QCOMPARE(bytes, QByteArray("old"));
      QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"chart.png"});
    } else {
      QVERIFY2(saved && bytes.endsWith(QByteArray::fromHex("0000000049454e44ae426082")), qPrintable(reason));
    }
  }
  QString reason;
  QVERIFY(!chart_export::SavePng(chart.Image(), dir.filePath("no such folder/chart.png"), &reason));
  QVERIFY(!reason.isEmpty());
  if (full.isEmpty()) QSKIP("no full file system here: the test ui.save_full gives one");
}

// The save dialog: "chart" where chart.png is asks about chart.png, the
// file it would write (declined: nothing written); `my "best" run.png`
// writes that very name, and best.png stays as it was.
void MainWindowLayoutTest::chartSavesOnlyWhatWasNamedAndConfirmed() {
  LatencyChart chart;
  Fill(chart);
  QTemporaryDir dir;
  for (const char* name : {"chart.png", "best.png"}) {
    QFile old(dir.filePath(name));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
  }
  const QString quoted = QStringLiteral(R"(my "best" run.png)");
  const std::pair<QString, QString> cases[] = {
      {"chart", "chart.png already exists.\nDo you want to replace it?"}, {quoted, QString()}};
  for (const auto& [typed, asked] : cases) {
    QString question;
    QTimer poll;
    int ticks = 0;  // in the dialog: its folder first, the name once the folder has been read
    connect(&poll, &QTimer::timeout, &chart, [&, typed = typed] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && dialog->isVisible()) {
        if (ticks++ == 0) dialog->setDirectory(dir.path());
        if (ticks < 20) return;
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(typed);
        QMetaObject::invokeMethod(dialog, "accept");
        ticks = 0;
      } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        question = box->text();
        box->button(QMessageBox::No)->click();
      }
    });
    poll.start(10);
    chart.actions().value(1)->trigger();
    QCOMPARE(question, asked);
  }
  auto contents = [&](const QString& name) {
    QFile file(dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll().left(4) : QByteArray();
  };
  QCOMPARE(contents("chart.png"), QByteArray("old"));
  QCOMPARE(contents("best.png"), QByteArray("old"));
  QCOMPARE(contents(quoted), QByteArray("\x89PNG"));
  // Nothing else written: not even the dialog's own settings.
  QCOMPARE(QDir(configHome_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

// A right-to-left desktop (-reverse, or its locale) doesn't mirror the
// chart, nor turn its numbers round: it paints as it does left to right.
void MainWindowLayoutTest::chartReadsLeftToRightInEveryDirection() {
  QImage painted[2], saved[2];
  for (const int rtl : {0, 1}) {
    QApplication::setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
    LatencyChart chart;
    Fill(chart);
    chart.clearFocus();
    painted[rtl] = chart.grab().toImage();
    saved[rtl] = chart.Image();
  }
  QApplication::setLayoutDirection(Qt::LeftToRight);
  QVERIFY(painted[1] == painted[0]);
  QVERIFY(saved[1] == saved[0]);
}

// The mouse: each row's tooltip over its slot, the row's name over a row
// without a sample; a right click pops up the export menu, whose first entry
// copies the rows. The keyboard's menu opens where the layout says.
void MainWindowLayoutTest::chartTellsItsRowsAndOpensItsMenu() {
  LatencyChart chart;
  Fill(chart);
  for (const auto& [row, tip] : {std::pair{1, "11010   [ ip req timed out ]"}, std::pair{4, "row 5: not sampled yet"}}) {
    const chart::Box& slot = chart.layout().rowSlots[static_cast<std::size_t>(row)];
    const QPoint at((slot.left + slot.right) / 2, (slot.top + slot.bottom) / 2);
    QHelpEvent help(QEvent::ToolTip, at, chart.mapToGlobal(at));
    QApplication::sendEvent(&chart, &help);
    QTRY_COMPARE(QToolTip::text(), QString(tip));
  }
  // A host too long for the legend: the whole of it over its entry.
  const QString host = QStringLiteral("fe80::a00:27ff:fe4e:66a1%enp0s3");
  chart.control().SetHostText(host.toStdString());
  const chart::Box legend = chart.layout().hostLegend.value();
  const QPoint over((legend.left + legend.right) / 2, (legend.top + legend.bottom) / 2);
  QHelpEvent help(QEvent::ToolTip, over, chart.mapToGlobal(over));
  QApplication::sendEvent(&chart, &help);
  QTRY_COMPARE(QToolTip::text(), host);

  QStringList entries;
  QPoint menuAt;
  auto takeMenu = [&] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      entries.clear();
      for (QAction* action : menu->actions()) entries << action->text();
      menuAt = menu->pos();
      menu->close();
      menu->actions().value(0)->trigger();
    }
  };
  QTimer::singleShot(0, &chart, takeMenu);
  const QPoint at(200, 100);
  QContextMenuEvent click(QContextMenuEvent::Mouse, at, chart.mapToGlobal(at));
  QApplication::sendEvent(&chart, &click);
  QCOMPARE(entries, (QStringList{"Copy as CSV", QStringLiteral("Save Image\u2026")}));
  QCOMPARE(QGuiApplication::clipboard()->text(), Q(chart.model().Csv()));

  chart.setFocus();
  QTest::keyClick(&chart, Qt::Key_End);
  QTimer::singleShot(0, &chart, takeMenu);
  QTest::keyClick(&chart, Qt::Key_F10, Qt::ShiftModifier);
  QCOMPARE(menuAt, chart.mapToGlobal(QPoint(chart.layout().menuX, chart.layout().menuY)));
}

void MainWindowLayoutTest::prefillFillsTheBoxesInOrder() {
  window_->Prefill({"10.77.0.2", "12"});
  QCOMPARE(Child<QLineEdit>("Text1")->text(), QString("10.77.0.2"));
  QCOMPARE(Child<QLineEdit>("duration")->text(), QString("12"));
  QCOMPARE(Child<QLineEdit>("interval")->text(), QString("2"));  // as the window opens it
  window_->Prefill({"h", "3", "0.5", "more"});
  QCOMPARE(Child<QLineEdit>("interval")->text(), QString("0.5"));
}

void MainWindowLayoutTest::timerWithPeriodZeroNeverTicks() {
  PeriodicTimer timer;
  QSignalSpy ticks(&timer, &PeriodicTimer::ticked);
  timer.setPeriod(0);
  timer.setEnabled(true);
  QTest::qWait(100);
  QCOMPARE(ticks.count(), 0);
  QVERIFY(timer.isEnabled());
  timer.setPeriod(20);
  QVERIFY(ticks.wait(1000));
  timer.setEnabled(false);
  const auto seen = ticks.count();
  QTest::qWait(100);
  QCOMPARE(ticks.count(), seen);
}

}  // namespace tolvane::ui::test

QTEST_MAIN(tolvane::ui::test::MainWindowLayoutTest)
#include "main_window_layout_test.moc"
