// The About dialog under Qt offscreen: its texts at every showing, the keys
// that close it, its layout and colours.
#include <QApplication>
#include <QColorSpace>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QtTest>

#include "app/about_layout.h"
#include "qt/about_dialog.h"
#include "qt/twips_qt.h"

namespace tolvane::ui::qt {

namespace {

const QString kDescription =
    " Tolvane, allows you to visually see the ping latency between ping times. The bigger the "
    "gap between one ping to another allows you to spot possible network bottle neck. If you "
    "need to examine your network more thoroughly you can download more network diagnostics "
    "tools at https://www.rfc-editor.org/rfc/rfc792.";

QLabel* Label(QWidget& dialog, const char* name) {
  auto* label = dialog.findChild<QLabel*>(name);
  if (label == nullptr) qFatal("no label %s", name);
  return label;
}

// Runs `step` once the dialog's modal loop is up, and gives up on the loop
// after 5 s so that a dialog that doesn't close fails instead of hanging.
void WhenShown(frmAbout& dialog, std::function<void()> step) {
  QTimer::singleShot(0, &dialog, [&dialog, step] {
    QTRY_VERIFY_WITH_TIMEOUT(dialog.isVisible(), 2000);
    step();
  });
  QTimer::singleShot(5000, &dialog, [&dialog] {
    if (dialog.isVisible()) dialog.done(-1);
  });
}

}  // namespace

class AboutDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void textsAreSetAtEveryShowing() {
    frmAbout dialog;
    // Before the first showing the design texts stand.
    QCOMPARE(dialog.windowTitle(), QString("About MyApp"));
    QCOMPARE(Label(dialog, "lblTitle")->text(), QString("Application Title"));

    for (int showing = 1; showing <= 3; ++showing) {
      dialog.show();
      QCOMPARE(dialog.windowTitle(), QString("About Tolvane"));
      QCOMPARE(Label(dialog, "lblVersion")->text(), QString("Version 1.0.10"));
      QCOMPARE(Label(dialog, "lblTitle")->text(), QString("Tolvane"));
      QCOMPARE(Label(dialog, "lblDisclaimer")->text(),
               QString("Shows the network latency to one host as a chart."));
      QCOMPARE(Label(dialog, "lblDescription")->text(), kDescription);
      // Whatever happened to them in between is undone at the next showing.
      dialog.setWindowTitle("About " + dialog.windowTitle());
      for (const char* name : {"lblVersion", "lblTitle", "lblDisclaimer", "lblDescription"}) {
        Label(dialog, name)->setText("stale");
      }
      dialog.hide();
    }
  }

  void okEnterEscAndTheCloseBoxCloseIt_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::newRow("OK") << "ok" << int(QDialog::Accepted);
    QTest::newRow("Enter") << "enter" << int(QDialog::Accepted);
    QTest::newRow("Return") << "return" << int(QDialog::Accepted);
    QTest::newRow("Esc") << "esc" << int(QDialog::Rejected);
    QTest::newRow("close box") << "close" << int(QDialog::Rejected);
  }
  void okEnterEscAndTheCloseBoxCloseIt() {
    QFETCH(QString, how);
    QFETCH(int, result);
    frmAbout dialog;
    WhenShown(dialog, [&dialog, how] {
      if (how == "ok") QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
      if (how == "enter") QTest::keyClick(&dialog, Qt::Key_Enter);
      if (how == "return") QTest::keyClick(&dialog, Qt::Key_Return);
      if (how == "esc") QTest::keyClick(&dialog, Qt::Key_Escape);
      if (how == "close") dialog.close();
    });
    QCOMPARE(dialog.exec(), result);
    QVERIFY(!dialog.isVisible());
    // And it opens again, loaded anew.
    Label(dialog, "lblTitle")->clear();
    WhenShown(dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(Label(dialog, "lblTitle")->text(), QString("Tolvane"));
  }

  void layoutAndColours() {
    frmAbout dialog;
    dialog.show();
    QCOMPARE(dialog.size(), QSize(382, 237));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(dialog.palette().color(QPalette::Window), QColor(0, 64, 64));

    for (const about::Control& c : about::kControls) {
      const QString name = QString::fromUtf8(c.name.data(), c.name.size());
      auto* widget = dialog.findChild<QWidget*>(name);
      QVERIFY2(widget != nullptr, qPrintable(name));
      QCOMPARE(widget->geometry(), layout::Pixels(c.place));
      if (c.kind != about::Kind::Label) continue;
      auto* label = qobject_cast<QLabel*>(widget);
      QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 255, 0));
      QVERIFY(!label->autoFillBackground());
      // Every word shows: the wrapped text fits the label's box.
      QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(name));
    }
    auto* ok = dialog.findChild<QPushButton*>("cmdOK");
    QCOMPARE(ok->text(), QString("OK"));
    QVERIFY(ok->isDefault());
    // The program's 16-pixel image, inside a sunken border.
    const QImage shown = Label(dialog, "picIcon")->pixmap().toImage();
    QImage drawn = QImage(":/icons/tolvane-16.png").convertToFormat(shown.format());
    drawn.setColorSpace(QColorSpace());  // the pixels: no window is colour-managed
    QCOMPARE(shown, drawn);
    QCOMPARE(Label(dialog, "picIcon")->frameShadow(), QFrame::Sunken);

    // The etched separator, drawn as laid out: the grey row, then the white
    // one, on the teal.
    QCOMPARE(dialog.findChildren<QWidget*>("Line1").size(), 2);
    const QImage image = dialog.grab().toImage();
    const QString shots = qEnvironmentVariable("TOLVANE_SCREENSHOT_DIR");
    if (!shots.isEmpty()) image.save(shots + "/about_dialog.png");
    const qreal ratio = image.devicePixelRatio();
    auto at = [&](int x, int y) { return image.pixelColor(QPoint(x, y) * ratio); };
    QCOMPARE(at(200, 163), QColor(128, 128, 128));
    QCOMPARE(at(200, 164), QColor(255, 255, 255));
    QCOMPARE(at(200, 165), QColor(255, 255, 255));
    QCOMPARE(at(200, 166), QColor(0, 64, 64));
  }
};

}  // namespace tolvane::ui::qt

QTEST_MAIN(tolvane::ui::qt::AboutDialogTest)
#include "about_dialog_test.moc"
