// Keys held down across windows: what each window gets of a key's presses,
// repeats and releases with the application's HeldKeyFilter in place.
#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QtTest/QtTest>

#include <map>
#include <memory>

#include "qt/held_keys.h"

namespace tolvane::ui {
namespace {

// A top-level window that notes the type of every event it is given (a
// press sent by the program comes with a shortcut check of its own).
class KeyWindow : public QWidget {
 public:
  QList<QEvent::Type> seen;

 protected:
  bool event(QEvent* event) override {
    seen << event->type();
    return QWidget::event(event);
  }
};

struct Key {
  Qt::Key key;
  quint32 keycode;  // 0: none, as in events Qt makes up
};
const std::map<QString, Key> kKeys = {
    {"Esc", {Qt::Key_Escape, 9}}, {"Down", {Qt::Key_Down, 116}}, {"Esc0", {Qt::Key_Escape, 0}}};

}  // namespace

class HeldKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { DropKeysHeldElsewhere(*QCoreApplication::instance()); }

  // Steps are WINDOW KIND TIME [r] [:KEY]: window A or B; + a press, - a
  // release, ^ the shortcut check before a press; r when Qt marked it a
  // repeat; the key Esc unless given. Expected: 1 or 0 per step, whether
  // the window got it.
  void eachWindowGetsTheKeysPressedInIt_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("expected");
    QTest::newRow("held in the window of its press")
        << "A+100 A-760 A+760 A+800r A-840r A+840r A-900" << "1111111";
    QTest::newRow("a menu opens while it is held") << "A+100 B+760r B-800r B+800r" << "1000";
    QTest::newRow("repeat Qt did not mark: release and press at one time")
        << "A+100 B-800 B+800" << "110";
    QTest::newRow("a repeat no window saw go down") << "B+760r B-800 B+800" << "010";
    QTest::newRow("a fresh press counts anywhere") << "A+100 B+200 B+900r A+950r" << "1110";
    QTest::newRow("no shortcut from a repeat elsewhere") << "A+100 B^760r B+760r A^800r" << "1001";
    QTest::newRow("keys apart") << "A+100 B+200:Down B+760r B+800r:Down" << "1101";
    QTest::newRow("without keycodes, by the key")
        << "A+100:Esc0 B+760r:Esc0 A+800r:Esc0 B+810r" << "1010";
    QTest::newRow("same time, other key") << "A+100 A+200:Down B-300:Down B+300" << "1111";
  }
  void eachWindowGetsTheKeysPressedInIt() {
    QFETCH(QString, steps);
    QFETCH(QString, expected);
    std::map<QString, std::unique_ptr<KeyWindow>> windows;
    windows["A"] = std::make_unique<KeyWindow>();
    windows["B"] = std::make_unique<KeyWindow>();
    static const QRegularExpression step(R"(^([AB])([-+^])(\d+)(r?)(?::(\w+))?$)");
    QString got;
    for (const QString& text : steps.split(' ')) {
      const auto match = step.match(text);
      QVERIFY2(match.hasMatch(), qPrintable(text));
      KeyWindow& window = *windows.at(match.captured(1));
      const QString kind = match.captured(2);
      const QEvent::Type type = kind == "+"   ? QEvent::KeyPress
                                : kind == "-" ? QEvent::KeyRelease
                                              : QEvent::ShortcutOverride;
      const Key key = kKeys.at(match.captured(5).isEmpty() ? "Esc" : match.captured(5));
      QKeyEvent event(type, key.key, Qt::NoModifier, key.keycode, 0, 0, QString(),
                      !match.captured(4).isEmpty());
      event.setTimestamp(match.captured(3).toULongLong());
      event.ignore();
      window.seen.clear();
      QApplication::sendEvent(&window, &event);
      const bool delivered = window.seen.contains(type);
      got += delivered ? '1' : '0';
      // A dropped shortcut check counts as taken: no shortcut runs on it.
      if (!delivered && type == QEvent::ShortcutOverride) QVERIFY(event.isAccepted());
    }
    QCOMPARE(got, expected);
  }
};

}  // namespace tolvane::ui

QTEST_MAIN(tolvane::ui::HeldKeysTest)
#include "held_keys_test.moc"
