// The hook on a real widget's message procedure and the routing of the
// icon's notifications to it, without a tray: Qt offscreen.
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>
#include <QtTest/QtTest>

#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include "app/tray.h"
#include "app/tray_menu_owner.h"
#include "qt/qt_notify_area.h"
#include "qt/qt_window_system.h"
#include "qt/tray_icon_router.h"
#include "qt/window_message_event.h"

namespace tolvane::ui::tray {
namespace {

using Message = std::tuple<std::uint32_t, std::uintptr_t, std::intptr_t>;

// A window that keeps every message its own procedure hands it, answers
// each with a result of its own, and counts the menu requests.
class Window : public QWidget, public TrayMenuOwner {
 public:
  Window() { winId(); }

  WindowHandle handle() const { return static_cast<WindowHandle>(winId()); }

  void SysTrayMouseEventHandler() override {
    ++menuRequests;
    if (onMenu) onMenu();
  }

  static std::intptr_t ResultFor(std::intptr_t lParam) { return 1000 + lParam; }

  std::vector<Message> received;
  int menuRequests = 0;
  std::function<void()> onMenu;

 protected:
  bool event(QEvent* e) override {
    if (e->type() != WindowMessageEvent::EventType()) return QWidget::event(e);
    auto* m = static_cast<WindowMessageEvent*>(e);
    received.emplace_back(m->message(), m->wParam(), m->lParam());
    m->result = ResultFor(m->lParam());
    return true;
  }
};

}  // namespace

class TrayHookTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QtWindowSystem> windows;

 private slots:
  void init() {
    ResetTray();
    windows = std::make_unique<QtWindowSystem>();
    UseTrayPlatform(nullptr, windows.get());
  }
  void cleanup() {
    ResetTray();
    windows.reset();
  }

  void rightPressOpensTheMenuAndGoesNoFurther() {
    Window w;
    HookWindow(w.handle());
    QCOMPARE(TrayHook().hooked, kTrue);
    QCOMPARE(TrayHook().window, w.handle());
    QCOMPARE(windows->Send(w.handle(), 517, 7, 516), std::intptr_t{-1});
    QCOMPARE(w.menuRequests, 1);
    QVERIFY(w.received.empty());
  }

  void otherNotificationsReachTheWindowUnchanged_data() {
    QTest::addColumn<uint>("message");
    QTest::addColumn<qulonglong>("wParam");
    QTest::addColumn<qlonglong>("lParam");
    QTest::newRow("right button released") << 517u << 7ull << 517ll;
    QTest::newRow("pointer moved") << 517u << 7ull << 512ll;
    QTest::newRow("left button pressed") << 517u << 7ull << 513ll;
    QTest::newRow("left button released") << 517u << 7ull << 514ll;
    QTest::newRow("a right press under another message") << 516u << 0ull << 516ll;
    QTest::newRow("some other message") << 15u << 0xfffffffull << -3ll;
  }
  void otherNotificationsReachTheWindowUnchanged() {
    QFETCH(uint, message);
    QFETCH(qulonglong, wParam);
    QFETCH(qlonglong, lParam);
    Window w;
    HookWindow(w.handle());
    const auto result = windows->Send(w.handle(), message, wParam, lParam);
    QCOMPARE(result, Window::ResultFor(lParam));
    QCOMPARE(w.menuRequests, 0);
    QCOMPARE(w.received.size(), std::size_t{1});
    QVERIFY(w.received[0] == Message(message, wParam, lParam));
  }

  void hookingTwiceKeepsTheWindowsOwnProcedure() {
    Window w;
    HookWindow(w.handle());
    HookWindow(w.handle());
    QVERIFY(windows->ProcedureOf(w.handle()) == &TrayWindowProc);
    QVERIFY(TrayHook().previous == &QtWindowSystem::OwnProcedure);
    UnhookWindow();
    QCOMPARE(TrayHook().hooked, kFalse);
    QVERIFY(windows->ProcedureOf(w.handle()) == &QtWindowSystem::OwnProcedure);
    // Its own procedure now takes the right press like any message.
    QCOMPARE(windows->Send(w.handle(), 517, 7, 516), Window::ResultFor(516));
    QCOMPARE(w.menuRequests, 0);
    QCOMPARE(w.received.size(), std::size_t{1});
  }

  void whileHookedAnotherWindowIsNotHooked() {
    Window a, b;
    HookWindow(a.handle());
    HookWindow(b.handle());
    QCOMPARE(TrayHook().window, a.handle());
    QVERIFY(windows->ProcedureOf(b.handle()) == &QtWindowSystem::OwnProcedure);
    UnhookWindow();
    QVERIFY(windows->ProcedureOf(a.handle()) == &QtWindowSystem::OwnProcedure);
  }

  void unhookWithoutHookDoesNothing() {
    Window w;
    UnhookWindow();
    QCOMPARE(TrayHook().hooked, kFalse);
    QVERIFY(windows->ProcedureOf(w.handle()) == &QtWindowSystem::OwnProcedure);
    // And after a full round, a second unhook finds nothing either.
    HookWindow(w.handle());
    UnhookWindow();
    UnhookWindow();
    QVERIFY(windows->ProcedureOf(w.handle()) == &QtWindowSystem::OwnProcedure);
  }

  void procedureEnteredWhileNotHookedPassesNothingOn() {
    Window w;
    QCOMPARE(TrayWindowProc(w.handle(), 517, 7, 516), std::intptr_t{0});
    QCOMPARE(TrayWindowProc(w.handle(), 517, 7, 513), std::intptr_t{0});
    HookWindow(w.handle());
    UnhookWindow();
    QCOMPARE(TrayWindowProc(w.handle(), 517, 7, 516), std::intptr_t{0});
    QCOMPARE(TrayWindowProc(w.handle(), 15, 0, 0), std::intptr_t{0});
    QCOMPARE(w.menuRequests, 0);
    QVERIFY(w.received.empty());
  }

  void failedHookStaysUnhookedAndNeverPutsANullProcedureIn() {
    WindowHandle gone = 0;
    {
      Window w;
      gone = w.handle();
    }
    for (WindowHandle h : {WindowHandle{0}, gone}) {
      HookWindow(h);
      QCOMPARE(TrayHook().hooked, kFalse);
      QVERIFY(TrayHook().previous == nullptr);
      UnhookWindow();
      QCOMPARE(TrayHook().hooked, kFalse);
    }
    // A window that comes later hooks and unhooks as usual.
    Window w;
    HookWindow(w.handle());
    QCOMPARE(TrayHook().hooked, kTrue);
    UnhookWindow();
    QVERIFY(windows->ProcedureOf(w.handle()) == &QtWindowSystem::OwnProcedure);
    // Failing after a good round leaves the window's own procedure in place.
    HookWindow(0);
    UnhookWindow();
    QVERIFY(windows->ProcedureOf(w.handle()) == &QtWindowSystem::OwnProcedure);
    // Nor does the window system itself take a null procedure.
    QVERIFY(windows->SetWindowProc(w.handle(), nullptr) == nullptr);
    QVERIFY(windows->ProcedureOf(w.handle()) == &QtWindowSystem::OwnProcedure);
  }

  void restoreChosenInTheMenuUnhooksUnderTheProcedure() {
    Window w;
    w.onMenu = [] { UnhookWindow(); };
    HookWindow(w.handle());
    QCOMPARE(windows->Send(w.handle(), 517, 7, 516), std::intptr_t{-1});
    QCOMPARE(TrayHook().hooked, kFalse);
    // The next right press goes to the window's own procedure.
    QCOMPARE(windows->Send(w.handle(), 517, 7, 516), Window::ResultFor(516));
    QCOMPARE(w.menuRequests, 1);
    QCOMPARE(w.received.size(), std::size_t{1});
  }

  void exitChosenInTheMenuDestroysTheWindowUnderTheProcedure() {
    auto* w = new Window;
    const WindowHandle h = w->handle();
    w->onMenu = [w] {
      UnhookWindow();
      delete w;
    };
    HookWindow(h);
    QCOMPARE(windows->Send(h, 517, 7, 516), std::intptr_t{-1});
    QCOMPARE(TrayHook().hooked, kFalse);
    QCOMPARE(windows->Send(h, 517, 7, 516), std::intptr_t{0});  // no such window now
  }

  void iconActivationsBecomeCallbackMessages() {
    Window w;
    QSystemTrayIcon icon;  // never shown: no tray needed
    new TrayIconRouter(icon, *windows, w.handle(), 42, 517);

    emit icon.activated(QSystemTrayIcon::Trigger);
    emit icon.activated(QSystemTrayIcon::DoubleClick);
    emit icon.activated(QSystemTrayIcon::MiddleClick);
    emit icon.activated(QSystemTrayIcon::Unknown);
    emit icon.activated(QSystemTrayIcon::Context);  // not hooked: the window's own
    const std::vector<Message> unhooked = {
        {517, 42, 513}, {517, 42, 515}, {517, 42, 519}, {517, 42, 516}};
    QVERIFY(w.received == unhooked);

    HookWindow(w.handle());
    emit icon.activated(QSystemTrayIcon::Context);
    QCOMPARE(w.menuRequests, 1);
    emit icon.activated(QSystemTrayIcon::Trigger);
    QCOMPARE(w.received.size(), unhooked.size() + 1);
    QVERIFY(w.received.back() == Message(517, 42, 513));
  }

  void withoutATrayTheAreaRefusesTheIcon() {
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    Window w;
    QtNotifyArea area(*windows);
    UseTrayPlatform(&area, windows.get());
    QVERIFY(!TrayAdd(w.handle(), 5, 5, "Tolvane"));
    QVERIFY(area.Icon(w.handle(), 5) == nullptr);
    TrayRemove();  // finds nothing, and says nothing
    QVERIFY(area.Icon(w.handle(), 5) == nullptr);
  }
};

}  // namespace tolvane::ui::tray

QTEST_MAIN(tolvane::ui::tray::TrayHookTest)
#include "tray_hook_test.moc"
