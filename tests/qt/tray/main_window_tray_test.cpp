// "&Systray", the tray menu and "&About" on the real main window, Qt
// offscreen. Offscreen there is no tray: the no-tray cases use Qt's own
// tray, the others a stand-in host that takes every icon (the
// shell's side; the real one is in tray_screen_test.sh). Runs go to the
// test bed's hosts.
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QtTest/QtTest>

#include <memory>
#include <vector>

#include "app/tray.h"
#include "app/tray_texts.h"
#include "modal_box_guard.h"
#include "qt/about_dialog.h"
#include "qt/latency_chart.h"
#include "qt/main_window.h"
#include "qt/periodic_timer.h"
#include "qt/program.h"
#include "qt/qt_text.h"
#include "qt/tray_icon.h"
#include "testbed/testbed.h"
#include "testbed/testbed_qtest.h"
#include "window_controls.h"

namespace tolvane::ui::test {

class MainWindowTrayTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<MainWindow> window_;

  template <typename T>
  T* Child(const char* name) {
    return ChildOf<T>(window_.get(), name);
  }
  // Offscreen there is no tray host: one that takes every icon.
  void TakeIcons() { window_->findChild<tray::TrayIcon*>()->hostPresent = [] { return true; }; }
  void Systray() { Child<QPushButton>("Command3")->click(); }
  // The icons up, once those taken down have gone.
  QList<QSystemTrayIcon*> Icons() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return window_->findChildren<QSystemTrayIcon*>();
  }
  // The icon's notification, as the tray host reports it.
  void Activate(QSystemTrayIcon::ActivationReason reason) {
    QCOMPARE(Icons().size(), 1);
    emit Icons()[0]->activated(reason);
  }
  // Once the menu is up, presses `key` in it; reports where it stood.
  void WhenMenuShows(Qt::Key key, QPoint* shownAt, QStringList* items) {
    QTimer::singleShot(0, this, [=] {
      QTRY_VERIFY_WITH_TIMEOUT(QApplication::activePopupWidget() != nullptr, 2000);
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      QVERIFY(menu != nullptr);
      *shownAt = menu->pos();
      for (QAction* action : menu->actions()) *items << action->text();
      QTest::keyClick(menu, key);
    });
    // A menu left open would hold the test in its loop for good.
    QTimer::singleShot(5000, this, [] {
      if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
  }
  // The same for a modal dialog that a failed check left open.
  void CloseModalLater() {
    QTimer::singleShot(8000, this, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
  }
  void StartRun(const char* host, const char* count, const char* seconds) {
    TypeRun(window_.get(), host, count, seconds);
    Child<QPushButton>("Command1")->click();
  }

 private slots:
  void init() {
    window_ = std::make_unique<MainWindow>(SystemEngine());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    QCursor::setPos(300, 200);
  }
  void cleanup() { window_.reset(); }

  void withoutATrayTheWindowStaysAndSaysSo() {
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    ModalBoxGuard boxes({Q(tray::kNoTrayMessage)});
    Systray();
    QVERIFY(boxes.missing().isEmpty());
    QVERIFY(boxes.unexpected().isEmpty());
    QCOMPARE(boxes.seen().size(), std::size_t{1});
    QCOMPARE(boxes.seen()[0].title, QString("Tolvane"));
    QCOMPARE(boxes.seen()[0].buttons, 1);
    QVERIFY(window_->isVisible());
    QVERIFY(!window_->tray().resident());
    QVERIFY(Icons().isEmpty());
  }

  void systrayHidesTheWindowAndPutsUpTheIcon() {
    TakeIcons();
    Systray();
    QVERIFY(!window_->isVisible());
    QCOMPARE(Icons().size(), 1);
    QCOMPARE(Icons()[0]->icon().cacheKey(), window_->windowIcon().cacheKey());
    QCOMPARE(Icons()[0]->toolTip(), QString("Tolvane"));
    QVERIFY(window_->tray().resident());
  }

  void rightPressOpensTheMenuAtThePointerAndRestoreBringsTheWindowBack() {
    TakeIcons();
    for (int trip = 0; trip < 2; ++trip) {
      Systray();
      QVERIFY(!window_->isVisible());
      QPoint at;
      QStringList items;
      WhenMenuShows(Qt::Key_R, &at, &items);
      Activate(QSystemTrayIcon::Context);
      QCOMPARE(items, QStringList({"&Restore", "&Exit"}));
      QCOMPARE(at, QPoint(300, 200));
      QVERIFY(window_->isVisible());
      QVERIFY(Icons().isEmpty());
      QVERIFY(!window_->tray().resident());
    }
  }

  void otherNotificationsOpenNothing() {
    TakeIcons();
    Systray();
    for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick,
                        QSystemTrayIcon::Unknown}) {
      Activate(reason);
    }
    QTest::qWait(100);
    QVERIFY(QApplication::activePopupWidget() == nullptr);
    QVERIFY(!window_->isVisible());
    QCOMPARE(Icons().size(), 1);
  }

  void exitInTheMenuEndsTheProgram() {
    TakeIcons();
    Systray();
    QSignalSpy closed(window_.get(), &MainWindow::closed);
    QPoint at;
    QStringList items;
    WhenMenuShows(Qt::Key_E, &at, &items);
    Activate(QSystemTrayIcon::Context);
    QCOMPARE(closed.count(), 1);
    QVERIFY(Icons().isEmpty());
    QVERIFY(!window_->tray().resident());
  }

  void closingTheMenuWithoutAChoiceChangesNothing() {
    TakeIcons();
    Systray();
    QPoint at;
    QStringList items;
    WhenMenuShows(Qt::Key_Escape, &at, &items);
    Activate(QSystemTrayIcon::Context);
    QVERIFY(!window_->isVisible());
    QCOMPARE(Icons().size(), 1);
    QVERIFY(window_->tray().resident());
  }

  void menuItemsWhileShownFindNothingToUndo() {
    TakeIcons();
    QSignalSpy closed(window_.get(), &MainWindow::closed);
    Child<QAction>("restore")->trigger();
    QVERIFY(window_->isVisible());
    QVERIFY(Icons().isEmpty());
    QCOMPARE(closed.count(), 0);
    Child<QAction>("exit")->trigger();
    QCOMPARE(closed.count(), 1);
    QVERIFY(!window_->isVisible());
  }

  void aboutShowsModallyAndLoadsAnewEachTime() {
    for (int showing = 0; showing < 2; ++showing) {
      QString caption;
      bool modal = false;
      QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeModalWidget() != nullptr, 2000);
        auto* dialog = qobject_cast<qt::frmAbout*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        modal = dialog->isModal();
        caption = dialog->windowTitle();
        dialog->findChild<QLabel*>("lblTitle")->setText("stale");
        QTest::keyClick(dialog, Qt::Key_Escape);
      });
      CloseModalLater();
      Child<QPushButton>("Command4")->click();  // returns when the dialog has closed
      QVERIFY(modal);
      QCOMPARE(caption, QString("About Tolvane"));
    }
    // One dialog, reused.
    QCOMPARE(window_->findChildren<qt::frmAbout*>().size(), 1);
  }

  void aRunGoesOnWhileTheWindowIsInTheTray() {
    TOLVANE_QREQUIRE_TESTBED();
    TakeIcons();
    auto* timer = Child<PeriodicTimer>("Timer1");
    QSignalSpy ticks(timer, &PeriodicTimer::ticked);
    StartRun(testbed::kKernelHost, "4", "0.2");
    QVERIFY(timer->isEnabled());
    Systray();
    QVERIFY(!window_->isVisible());
    // Four samples and the tick that ends the run, all while hidden.
    QTRY_VERIFY_WITH_TIMEOUT(!timer->isEnabled(), 5000);
    QVERIFY(!window_->isVisible());
    QCOMPARE(ticks.count(), 5);
    auto* chart = Child<LatencyChart>("graph");
    for (int row = 1; row <= 4; ++row) QVERIFY2(RowMs(*chart, row) >= 0, qPrintable(QString::number(row)));
    QVERIFY(Child<QLabel>("Current")->text().startsWith("Avr:"));
  }

  void aRunGoesOnUnderTheAboutDialog() {
    TOLVANE_QREQUIRE_TESTBED();
    auto* timer = Child<PeriodicTimer>("Timer1");
    QSignalSpy ticks(timer, &PeriodicTimer::ticked);
    StartRun(testbed::kKernelHost, "6", "0.2");
    int underDialog = -1;
    QTimer::singleShot(0, this, [&] {
      QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeModalWidget() != nullptr, 2000);
      const int before = ticks.count();
      QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= before + 3, 3000);
      underDialog = ticks.count() - before;
      QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Enter);
    });
    CloseModalLater();
    Child<QPushButton>("Command4")->click();
    QVERIFY2(underDialog >= 3, qPrintable(QString::number(underDialog)));
    QTRY_VERIFY_WITH_TIMEOUT(!timer->isEnabled(), 5000);
    QVERIFY(RowMs(*Child<LatencyChart>("graph"), 6) >= 0);
  }
};

}  // namespace tolvane::ui::test

QTEST_MAIN(tolvane::ui::test::MainWindowTrayTest)
#include "main_window_tray_test.moc"
