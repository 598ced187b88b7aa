// The main window as it opens, and the latency chart's six operations and
// its export, under the offscreen platform; nothing here sends an echo.
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedBarSeries>
#include <QTemporaryDir>
#include <QToolTip>
#include <QValueAxis>
#include <QtTest/QtTest>

#include <memory>
#include <vector>

#include "app/colours.h"
#include "qt/latency_chart.h"
#include "qt/main_window.h"
#include "qt/periodic_timer.h"
#include "qt/program.h"
#include "qt/system_colours.h"
#include "window_controls.h"

namespace tolvane::ui::test {

class MainWindowLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void windowFrameTitleAndOpacity();
  void controlsStandWhereTheLayoutSays();
  void textsAndInitialState();
  void coloursFollowTheScheme();
  void tabOrderFollowsTheTabIndex();
  void accessKeysPressTheirButtons();
  void stopAndSystrayShareTheAccessKey();
  void enterPressesTheFocusedButtonOnly_data();
  void enterPressesTheFocusedButtonOnly();
  void trayMenuIsReady();
  void exitClosesTheWindow();

  void chartStartsWithPlaceholderRows();
  void chartRowCountFollowsEachRun();
  void chartTakesRepeatedLabels();
  void chartThinsTheLabelsOfManyRows();
  void chartDrawsALostSampleApartFromAFastReply();
  void chartIgnoresRowsOutOfRange();
  void chartShowsTheRowsToolTip();
  void chartCopiesARunWithALostSampleAsCsv();
  void chartSavesAnImageOfItsOwnSize();
  void chartMarksTheKeyboardsRowOnlyWhileFocused();
  void prefillFillsTheBoxesInOrder();

  void timerWithPeriodZeroNeverTicks();

 private:
  template <typename T>
  T* Child(const char* name) {
    return ChildOf<T>(window_.get(), name);
  }
  static QString Plain(QString category) { return category.remove(QChar(0x200B)); }
  static QBarSet* Set(LatencyChart& chart, const QString& label);

  std::unique_ptr<MainWindow> window_;
};

void MainWindowLayoutTest::init() {
  window_ = std::make_unique<MainWindow>(SystemEngine());
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void MainWindowLayoutTest::cleanup() { window_.reset(); }

QBarSet* MainWindowLayoutTest::Set(LatencyChart& chart, const QString& label) {
  auto* series = qobject_cast<QStackedBarSeries*>(chart.chart()->series().value(0));
  if (series == nullptr) return nullptr;
  for (QBarSet* set : series->barSets())
    if (set->label() == label) return set;
  return nullptr;
}

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
  QCOMPARE(window_->minimumSize(), QSize(609, 333));
  QCOMPARE(window_->maximumSize(), QSize(609, 333));
  QCOMPARE(qRound(window_->windowOpacity() * 255), 210);
  const QIcon icon = window_->windowIcon();
  QVERIFY(!icon.isNull());
  for (int size : {16, 24, 32, 48, 128}) QVERIFY(icon.availableSizes().contains(QSize(size, size)));
}

void MainWindowLayoutTest::controlsStandWhereTheLayoutSays() {
  const struct {
    const char* name;
    QRect pixels;
  } places[] = {
      {"Command5", {512, 200, 89, 25}}, {"Command4", {512, 232, 89, 25}},
      {"Command3", {512, 264, 89, 25}}, {"interval", {416, 296, 65, 25}},
      {"duration", {320, 296, 65, 25}}, {"Command2", {512, 296, 89, 25}},
      {"Command1", {224, 272, 81, 25}}, {"Text1", {80, 272, 129, 25}},
      {"graph", {0, 0, 609, 265}},      {"Label3", {8, 272, 57, 25}},
      {"Current", {232, 304, 65, 25}},  {"results", {8, 304, 201, 17}},
      {"Label2", {416, 272, 65, 17}},   {"Label1", {320, 272, 89, 17}},
  };
  for (const auto& place : places) {
    QWidget* widget = Child<QWidget>(place.name);
    QVERIFY2(widget->geometry() == place.pixels, place.name);
  }
  // The buttons over the chart's corner lie above it.
  const QList<QObject*> stack = window_->children();
  const qsizetype graph = stack.indexOf(Child<QWidget>("graph"));
  for (const char* button : {"Command5", "Command4", "Command3"})
    QVERIFY2(stack.indexOf(Child<QWidget>(button)) > graph, button);
}

void MainWindowLayoutTest::textsAndInitialState() {
  QCOMPARE(Child<QPushButton>("Command1")->text(), QString("Ping"));
  QCOMPARE(Child<QPushButton>("Command2")->text(), QString("&Exit"));
  QCOMPARE(Child<QPushButton>("Command3")->text(), QString("&Systray"));
  QCOMPARE(Child<QPushButton>("Command4")->text(), QString("&About"));
  QCOMPARE(Child<QPushButton>("Command5")->text(), QString("&Stop"));
  QCOMPARE(Child<QLineEdit>("Text1")->text(), QString("127.0.0.1"));
  QCOMPARE(Child<QLineEdit>("duration")->text(), QString("6"));
  QCOMPARE(Child<QLineEdit>("interval")->text(), QString("2"));
  QCOMPARE(Child<QLabel>("Label1")->text(), QString("How many times?"));
  QCOMPARE(Child<QLabel>("Label2")->text(), QString("Int in Sec."));
  QCOMPARE(Child<QLabel>("Label3")->text(), QString("IP:"));
  QCOMPARE(Child<QLabel>("results")->text(), QString("Duration in sec."));
  QCOMPARE(Child<QLabel>("Current")->text(), QString());
  QVERIFY(Child<QLabel>("Label3")->alignment() & Qt::AlignRight);
  QVERIFY(Child<QLabel>("Label2")->alignment() & Qt::AlignHCenter);

  QVERIFY(!Child<QPushButton>("Command5")->isVisible());
  QVERIFY(!Child<PeriodicTimer>("Timer1")->isEnabled());
  for (const char* name : {"Command1", "Command2", "Command3", "Command4", "Command5"}) {
    QVERIFY2(!Child<QPushButton>(name)->isDefault(), name);
    QVERIFY2(!Child<QPushButton>(name)->autoDefault(), name);
  }
  QCOMPARE(Child<LatencyChart>("graph")->NameText(), QString("Tolvane"));
  QCOMPARE(Child<LatencyChart>("graph")->chart()->title(), QString("Tolvane"));
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
  QCOMPARE(Child<QLineEdit>("Text1")->palette().color(QPalette::Text), MenuColour());
  QCOMPARE(Child<QLineEdit>("duration")->palette().color(QPalette::Text),
           QApplication::palette().color(QPalette::Text));

  // Rendered: the window's colour shows around the controls.
  const QImage image = window_->grab().toImage();
  QCOMPARE(image.pixelColor(image.width() / 2, image.height() - 2), QColor(0, 64, 64));
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

void MainWindowLayoutTest::trayMenuIsReady() {
  auto* menu = Child<QMenu>("rcpopup");
  QCOMPARE(window_->rcpopup(), menu);
  QCOMPARE(menu->title(), QString("RCPopup"));
  const QList<QAction*> actions = menu->actions();
  QCOMPARE(actions.size(), 2);
  QCOMPARE(actions[0]->objectName(), QString("restore"));
  QCOMPARE(actions[0]->text(), QString("&Restore"));
  QCOMPARE(actions[1]->objectName(), QString("exit"));
  QCOMPARE(actions[1]->text(), QString("&Exit"));
  QVERIFY(!menu->isVisible());
}

void MainWindowLayoutTest::exitClosesTheWindow() {
  QSignalSpy closed(window_.get(), &MainWindow::closed);
  Child<QPushButton>("Command2")->click();
  QCOMPARE(closed.count(), 1);
  QVERIFY(!window_->isVisible());
}

void MainWindowLayoutTest::chartStartsWithPlaceholderRows() {
  LatencyChart chart;
  QCOMPARE(chart.RowCount(), 5);
  for (int row = 1; row <= 5; ++row) {
    QCOMPARE(chart.RowLabel(row), QString("R%1").arg(row));
    QVERIFY(!chart.RowValue(row));  // placeholders are no samples
  }
  const auto horizontal = chart.chart()->axes(Qt::Horizontal);
  const auto vertical = chart.chart()->axes(Qt::Vertical);
  QCOMPARE(horizontal.size(), 1);
  QCOMPARE(vertical.size(), 1);
  QCOMPARE(horizontal[0]->titleText(), QString("Interval in seconds"));
  QCOMPARE(vertical[0]->titleText(), QString("milli seconds"));
  QCOMPARE(qobject_cast<QValueAxis*>(vertical[0])->min(), 0.0);
  chart.SetNameText("Tolvane");
  QCOMPARE(chart.chart()->title(), QString("Tolvane"));
}

void MainWindowLayoutTest::chartRowCountFollowsEachRun() {
  LatencyChart chart;
  chart.SetRowCount(8);
  chart.SetHostText("10.0.0.1");
  QCOMPARE(chart.RowCount(), 8);
  QCOMPARE(chart.RowLabel(8), QString("R8"));
  for (int row = 1; row <= 8; ++row) {
    chart.SelectRow(static_cast<std::int16_t>(row));
    chart.SetRowLabel(QString(" %1").arg(row * 2));
    chart.SetRowValue(QString::number(row));
  }
  auto* axis = qobject_cast<QBarCategoryAxis*>(chart.chart()->axes(Qt::Horizontal)[0]);
  QCOMPARE(axis->count(), 8);
  QCOMPARE(Set(chart, "10.0.0.1")->count(), 8);
  QCOMPARE(Set(chart, "10.0.0.1")->at(7), 8.0);
  QVERIFY(qobject_cast<QValueAxis*>(chart.chart()->axes(Qt::Vertical)[0])->max() >= 8);

  // A shorter run shows exactly its own rows, and keeps the old ones it
  // hasn't overwritten yet.
  chart.SetRowCount(3);
  chart.SetHostText("10.0.0.2");
  QCOMPARE(chart.RowCount(), 3);
  QCOMPARE(axis->count(), 3);
  QCOMPARE(Set(chart, "10.0.0.2")->count(), 3);
  QCOMPARE(chart.RowValue(2), 2.0);
  QCOMPARE(chart.HostText(), QString("10.0.0.2"));
  // Grown again: the new rows hold nothing.
  chart.SetRowCount(5);
  QCOMPARE(chart.RowLabel(5), QString("R5"));
  QVERIFY(!chart.RowValue(5));
  QCOMPARE(Set(chart, "10.0.0.2")->at(4), 0.0);
}

void MainWindowLayoutTest::chartTakesRepeatedLabels() {
  LatencyChart chart;
  chart.SetRowCount(3);
  for (std::int16_t row = 1; row <= 3; ++row) {
    chart.SelectRow(row);
    chart.SetRowLabel(" 0");  // an interval of 0 labels every row alike
  }
  auto* axis = qobject_cast<QBarCategoryAxis*>(chart.chart()->axes(Qt::Horizontal)[0]);
  QCOMPARE(axis->count(), 3);
  for (int i = 0; i < 3; ++i) QCOMPARE(Plain(axis->at(i)), QString(" 0"));
  QCOMPARE(chart.RowLabel(2), QString(" 0"));
}

void MainWindowLayoutTest::chartThinsTheLabelsOfManyRows() {
  LatencyChart chart;
  chart.SetRowCount(50);
  for (std::int16_t row = 1; row <= 50; ++row) {
    chart.SelectRow(row);
    chart.SetRowLabel(QString(" %1").arg(row));
  }
  auto* axis = qobject_cast<QBarCategoryAxis*>(chart.chart()->axes(Qt::Horizontal)[0]);
  QCOMPARE(axis->count(), 50);
  QStringList shown;
  for (int i = 0; i < 50; ++i)
    if (!Plain(axis->at(i)).isEmpty()) shown << Plain(axis->at(i));
  QCOMPARE(shown, (QStringList{" 5", " 10", " 15", " 20", " 25", " 30", " 35", " 40", " 45", " 50"}));
  QCOMPARE(chart.RowLabel(7), QString(" 7"));  // the row keeps its label
}

void MainWindowLayoutTest::chartDrawsALostSampleApartFromAFastReply() {
  LatencyChart chart;
  chart.SetHostText("h");
  chart.SetRowCount(3);
  chart.SelectRow(1);
  chart.SetRowValue("0");
  chart.SelectRow(2);
  chart.SetRowValue("-");
  chart.SelectRow(3);
  chart.SetRowValue("40");
  QCOMPARE(chart.RowValue(1), 0.0);
  QVERIFY(!chart.RowLost(1));
  QVERIFY(chart.RowLost(2));
  QVERIFY(!chart.RowValue(2));
  const double top = qobject_cast<QValueAxis*>(chart.chart()->axes(Qt::Vertical)[0])->max();
  QBarSet* replies = Set(chart, "h");
  QBarSet* lost = Set(chart, "no reply");
  QVERIFY(replies && lost);
  QVERIFY(replies->at(0) > 0);           // a 0 ms reply still shows
  QVERIFY(replies->at(0) < top * 0.05);  // as a sliver
  QCOMPARE(lost->at(0), 0.0);
  QCOMPARE(replies->at(1), 0.0);
  QCOMPARE(lost->at(1), top);  // the whole height, in its own colour
  QVERIFY(lost->brush().color() != replies->brush().color());
  QCOMPARE(replies->at(2), 40.0);
}

void MainWindowLayoutTest::chartIgnoresRowsOutOfRange() {
  LatencyChart chart;
  chart.SetRowCount(2);
  for (std::int16_t row : {std::int16_t{0}, std::int16_t{3}, std::int16_t{-1}}) {
    chart.SelectRow(row);
    chart.SetRowLabel("x");
    chart.SetRowValue("9");
  }
  QCOMPARE(chart.RowCount(), 2);
  QCOMPARE(chart.RowLabel(1), QString("R1"));
  QCOMPARE(chart.RowLabel(2), QString("R2"));
  chart.SetRowCount(0);
  QCOMPARE(chart.RowCount(), 0);
}

void MainWindowLayoutTest::chartShowsTheRowsToolTip() {
  LatencyChart chart;
  chart.resize(609, 265);
  chart.show();
  QVERIFY(QTest::qWaitForWindowExposed(&chart));
  chart.SetHostText("h");
  chart.SetRowCount(2);
  chart.SelectRow(2);
  chart.SetRowValue("15");
  chart.SetRowToolTip("15.237 ms");
  auto* series = qobject_cast<QStackedBarSeries*>(chart.chart()->series().value(0));
  emit series->hovered(true, 1, Set(chart, "h"));
  QTRY_COMPARE(QToolTip::text(), QString("15.237 ms"));
  emit series->hovered(false, 1, Set(chart, "h"));
  QTRY_VERIFY(!QToolTip::isVisible());
}

void MainWindowLayoutTest::chartCopiesARunWithALostSampleAsCsv() {
  LatencyChart chart;
  chart.SetRowCount(5);
  chart.SetHostText("10.77.0.2");
  // A sample as the run takes it: row, label, value, then the tooltip.
  const struct {
    const char *label, *value, *tip;
  } samples[] = {{" 2", "12", "12.345 ms"},
                 {" 4", "-", "11010   [ ip req timed out ]"},
                 {" 6", "0", "0.250 ms"},
                 {" 8", "-", "say \"no\", twice"}};
  for (std::int16_t row = 1; row <= 4; ++row) {
    chart.SelectRow(row);
    chart.SetRowLabel(samples[row - 1].label);
    chart.SetRowValue(samples[row - 1].value);
    chart.SetRowToolTip(samples[row - 1].tip);
  }
  // Row 5 holds no sample yet and stays out.
  const QString expected = QStringLiteral(
      "row,seconds,ms,\u00b5s,status\n"
      "1,2,12,12345,0   [ ip success ]\n"
      "2,4,no reply,,11010   [ ip req timed out ]\n"
      "3,6,0,250,0   [ ip success ]\n"
      "4,8,no reply,,\"say \"\"no\"\", twice\"\n");
  QCOMPARE(chart.Csv(), expected);

  // A right click on the plot pops up the export menu; its first entry copies.
  QAction* copy = nullptr;
  QStringList entries;
  QTimer::singleShot(0, &chart, [&] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      for (QAction* action : menu->actions()) entries << action->text();
      copy = menu->actions().value(0);
      menu->close();
    }
  });
  const QPoint at(200, 100);
  QContextMenuEvent click(QContextMenuEvent::Mouse, at, chart.viewport()->mapToGlobal(at));
  QApplication::sendEvent(chart.viewport(), &click);
  QCOMPARE(entries, (QStringList{"Copy as CSV", QStringLiteral("Save Image\u2026")}));
  copy->trigger();
  QCOMPARE(QGuiApplication::clipboard()->text(), expected);
}

void MainWindowLayoutTest::chartSavesAnImageOfItsOwnSize() {
  auto* chart = Child<LatencyChart>("graph");
  QTemporaryDir dir;
  QVERIFY(chart->SaveImage(dir.filePath("chart.png")));
  QImage image;
  QVERIFY(image.load(dir.filePath("chart.png"), "PNG"));
  QCOMPARE(image.size(), QSize(609, 265));
  QCOMPARE(image.pixel(0, 0), kWindowColour);
  int plot = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) plot += image.pixel(x, y) == kPlotColour;
  QVERIFY2(plot > 609 * 265 / 4, qPrintable(QString::number(plot)));  // the plot was drawn
  QVERIFY(!chart->SaveImage(dir.filePath("no such folder/chart.png")));
}

void MainWindowLayoutTest::chartMarksTheKeyboardsRowOnlyWhileFocused() {
  LatencyChart chart;
  chart.resize(609, 265);
  chart.show();
  QVERIFY(QTest::qWaitForWindowExposed(&chart));
  chart.SetRowCount(3);
  const char* const values[] = {"12", "-", "30"};
  for (std::int16_t row = 1; row <= 3; ++row) {
    chart.SelectRow(row);
    chart.SetRowValue(values[row - 1]);
    chart.SetRowToolTip(row == 2 ? "11010   [ ip req timed out ]" : "12.345 ms");
  }
  QTest::qWait(50);  // the chart lays itself out once the events are through
  const QImage plain = chart.grab().toImage();
  chart.activateWindow();
  chart.setFocus();
  QTRY_VERIFY(chart.hasFocus());
  QCOMPARE(chart.grab().toImage(), plain);  // focused, but no row chosen yet
  QTest::keyClick(&chart, Qt::Key_End);
  QTest::keyClick(&chart, Qt::Key_Left);
  QCOMPARE(chart.SelectedRow(), 1);
  chart.SelectRow(3);
  chart.SetRowValue("30");  // a new sample of the same height keeps the selection
  chart.SetRowToolTip("30.125 ms");
  QCOMPARE(chart.SelectedRow(), 1);

  // The outline changes pixels only around the selected row's column, and
  // none of its bar (the plot's full height there); the row's text shows.
  const QImage marked = chart.grab().toImage();
  const QRect text = chart.SelectedTextRect();
  QVERIFY(!text.isEmpty());
  const QRect row = chart.RowRect(1);
  const QRect column = row.adjusted(0, -4, 0, 4);  // the outline runs just outside the plot
  const QRect bar = row.adjusted(row.width() * 0.16, 0, -row.width() * 0.16, 0);
  int changed = 0;
  for (int y = 0; y < plain.height(); ++y) {
    for (int x = 0; x < plain.width(); ++x) {
      if (marked.pixel(x, y) == plain.pixel(x, y)) continue;
      ++changed;
      QVERIFY2(text.contains(x, y) || (column.contains(x, y) && !bar.contains(x, y)),
               qPrintable(QString("%1,%2").arg(x).arg(y)));
    }
  }
  QVERIFY(changed > row.height());  // the outline's sides at least

  // The keyboard's menu opens at the row; a saved image and the unfocused
  // chart show no marks.
  QPoint menuAt;
  QTimer::singleShot(0, &chart, [&] {
    if (QWidget* menu = QApplication::activePopupWidget()) {
      menuAt = menu->pos();
      menu->close();
    }
  });
  QTest::keyClick(&chart, Qt::Key_F10, Qt::ShiftModifier);
  QVERIFY2(QRect(chart.viewport()->mapToGlobal(row.topLeft()), row.size()).contains(menuAt), qPrintable(QString::number(menuAt.x())));
  QTemporaryDir dir;
  QVERIFY(chart.SaveImage(dir.filePath("chart.png")));
  QCOMPARE(QImage(dir.filePath("chart.png")).convertToFormat(QImage::Format_RGB32),
           plain.convertToFormat(QImage::Format_RGB32));
  chart.clearFocus();
  QCOMPARE(chart.grab().toImage(), plain);
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
