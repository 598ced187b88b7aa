// The tray on a desktop whose host speaks StatusNotifierItem over D-Bus:
// a private session bus (dbus-run-session), a watcher of our own standing
// in for the desktop's host, and the real main window on Xvfb. The host
// gets the menu to show itself, a host that asks the item for its context
// menu gets rcpopup on the press, and the window comes back when the
// host goes.
#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QThread>
#include <QtTest/QtTest>

#include <memory>

#include "app/tray.h"
#include "qt/main_window.h"
#include "qt/program.h"
#include "qt/tray_icon.h"

namespace tolvane::ui::test {
namespace {

constexpr char kWatcher[] = "org.kde.StatusNotifierWatcher";
constexpr char kItem[] = "org.kde.StatusNotifierItem";

// The desktop's side: takes the items' registrations and says a host is up.
class Watcher : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
  Q_PROPERTY(int ProtocolVersion READ protocolVersion)

 public:
  bool hostRegistered() const { return true; }
  QStringList items() const {
    QMutexLocker lock(&mutex_);
    return items_;
  }
  int protocolVersion() const { return 0; }

 public slots:
  void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message) {
    QMutexLocker lock(&mutex_);
    // Items name either their bus name or their path; keep the sender's name.
    items_ << message.service() + (service.startsWith('/') ? service : "/StatusNotifierItem");
    if (!service.startsWith('/')) names_ << service;
  }
  QStringList names() const {
    QMutexLocker lock(&mutex_);
    return names_;
  }
  void RegisterStatusNotifierHost(const QString&) {}

 signals:
  void StatusNotifierItemRegistered(const QString& service);
  void StatusNotifierHostRegistered();

 private:
  mutable QMutex mutex_;
  QStringList items_;
  QStringList names_;
};

// The labels of a com.canonical.dbusmenu layout, (ia{sv}av), depth first,
// and the items' ids.
void Labels(const QDBusArgument& layout, QStringList* labels, QList<int>* ids) {
  int id = 0;
  QVariantMap properties;
  layout.beginStructure();
  layout >> id >> properties;
  if (properties.contains("label")) {
    *labels << properties.value("label").toString();
    *ids << id;
  }
  layout.beginArray();
  while (!layout.atEnd()) {
    QDBusVariant child;
    layout >> child;
    Labels(qvariant_cast<QDBusArgument>(child.variant()), labels, ids);
  }
  layout.endArray();
  layout.endStructure();
}

}  // namespace

class StatusNotifierTest : public QObject {
  Q_OBJECT

 private:
  QThread hostThread_;
  Watcher* watcher_ = nullptr;

 private slots:
  void initTestCase() {
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) QSKIP("needs dbus-run-session");
  }

  void cleanupTestCase() {
    if (watcher_ != nullptr) {
      QMetaObject::invokeMethod(
          watcher_,
          [this] {
            QDBusConnection host("host");
            host.unregisterService(kWatcher);
            host.unregisterObject("/StatusNotifierWatcher");
            delete watcher_;
          },
          Qt::BlockingQueuedConnection);
      watcher_ = nullptr;
    }
    QDBusConnection::disconnectFromBus("host");
    hostThread_.quit();
    hostThread_.wait();
  }

  void hostShowsTheMenuAndItsRequestsAreRouted() {
    QVERIFY(!tray::StatusNotifierHostPresent());

    // The watcher answers on a connection and a thread of its own, as the
    // desktop would from its own process.
    QDBusConnection host = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "host");
    QVERIFY(host.isConnected());
    watcher_ = new Watcher;
    watcher_->moveToThread(&hostThread_);
    hostThread_.start();
    bool registered = false;
    QMetaObject::invokeMethod(
        watcher_,
        [this, &registered] {
          QDBusConnection host("host");
          registered = host.registerObject("/StatusNotifierWatcher", watcher_,
                                           QDBusConnection::ExportAllSlots |
                                               QDBusConnection::ExportAllProperties |
                                               QDBusConnection::ExportAllSignals) &&
                       host.registerService(kWatcher);
        },
        Qt::BlockingQueuedConnection);
    QVERIFY(registered);
    QVERIFY(tray::StatusNotifierHostPresent());
    QVERIFY(QSystemTrayIcon::isSystemTrayAvailable());

    MainWindow window(SystemEngine());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QPushButton*>("Command3")->click();
    QVERIFY(!window.isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(watcher_->items().size(), 1, 5000);
    const QString item = watcher_->items().front();
    const QString service = item.section('/', 0, 0);
    const QString path = '/' + item.section('/', 1);

    // The host is given the menu, with our two items, to show itself. (The
    // item answers on this thread: every call to it is asynchronous.)
    auto call = [&host](const QDBusMessage& message) {
      QDBusPendingCall pending = host.asyncCall(message);
      QDeadlineTimer deadline(5000);
      while (!pending.isFinished() && !deadline.hasExpired()) QTest::qWait(10);
      return pending.reply();
    };
    QDBusMessage get = QDBusMessage::createMethodCall(service, path, "org.freedesktop.DBus.Properties", "Get");
    get << QString(kItem) << QString("Menu");
    const QDBusMessage menu = call(get);
    QCOMPARE(menu.type(), QDBusMessage::ReplyMessage);
    const QString menuPath =
        qdbus_cast<QDBusObjectPath>(menu.arguments().value(0).value<QDBusVariant>().variant()).path();
    QVERIFY2(menuPath != "/NO_DBUSMENU" && !menuPath.isEmpty(), qPrintable(menuPath));
    QDBusMessage getLayout = QDBusMessage::createMethodCall(service, menuPath, "com.canonical.dbusmenu",
                                                            "GetLayout");
    getLayout << 0 << -1 << QStringList{"label"};
    const QDBusMessage layout = call(getLayout);
    QCOMPARE(layout.type(), QDBusMessage::ReplyMessage);
    QStringList labels;
    QList<int> ids;
    Labels(qvariant_cast<QDBusArgument>(layout.arguments().value(1)), &labels, &ids);
    QCOMPARE(labels, QStringList({"_Restore", "_Exit"}));  // dbusmenu's mnemonics

    // The host shows it and the user picks "&Restore" there.
    QDBusMessage clicked = QDBusMessage::createMethodCall(service, menuPath, "com.canonical.dbusmenu",
                                                          "Event");
    clicked << ids.value(0) << QString("clicked") << QVariant::fromValue(QDBusVariant(0)) << 0u;
    QCOMPARE(call(clicked).type(), QDBusMessage::ReplyMessage);
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 5000);
    QVERIFY(!window.tray().resident());
    // And the item leaves the bus.
    QCOMPARE(watcher_->names().size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(
        !QDBusConnection::sessionBus().interface()->isServiceRegistered(watcher_->names().front()),
        5000);

    // Again, with a host that asks the item for its context menu instead:
    // the request reaches the window as the right press, and rcpopup opens.
    window.findChild<QPushButton*>("Command3")->click();
    QVERIFY(!window.isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(watcher_->items().size(), 2, 5000);
    const QString second = watcher_->items().back();
    // The menu runs its own loop inside the request: poll from a timer.
    QString opened;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
      if (QWidget* popup = QApplication::activePopupWidget()) {
        poll.stop();
        opened = popup->objectName();
        QTest::keyClick(popup, Qt::Key_R);
      }
    });
    poll.start(20);
    QTimer::singleShot(8000, this, [] {
      if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
    QDBusMessage contextMenu = QDBusMessage::createMethodCall(
        second.section('/', 0, 0), '/' + second.section('/', 1), kItem, "ContextMenu");
    contextMenu << 10 << 10;
    host.asyncCall(contextMenu);
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 6000);
    QCOMPARE(opened, QString("rcpopup"));
    QVERIFY(!window.tray().resident());

    // The watcher leaves the bus while the window is in the tray: with no
    // host left, the window comes back.
    window.findChild<QPushButton*>("Command3")->click();
    QVERIFY(!window.isVisible());
    QMetaObject::invokeMethod(
        watcher_, [] { QDBusConnection("host").unregisterService(kWatcher); }, Qt::BlockingQueuedConnection);
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), (tray::kHostGraceChecks + 3) * tray::kHostCheckMs);
    QVERIFY(!window.tray().resident());
  }
};

}  // namespace tolvane::ui::test

QTEST_MAIN(tolvane::ui::test::StatusNotifierTest)
#include "status_notifier_test.moc"
