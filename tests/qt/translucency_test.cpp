// The main window's translucency, offscreen: which platforms paint their
// own, and what the painted one does to every pixel, to controls added
// later, and to the input that must still reach the controls.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QtTest>

#include "qt/translucency.h"

namespace tolvane::ui::test {
namespace {

// The window's colours as its users paint them: an opaque background and
// opaque controls.
class Form : public QWidget {
 public:
  Form() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0, 64, 64));
    palette.setColor(QPalette::Button, QColor(200, 200, 200));
    setPalette(palette);
    setAutoFillBackground(true);
    setFixedSize(200, 100);
    button = new QPushButton("Ping", this);
    button->setGeometry(10, 10, 80, 25);
  }
  QPushButton* button;
};

// The widget as it paints into a cleared buffer with an alpha channel, as
// a translucent window's is.
QImage Painted(QWidget& widget) {
  QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  widget.render(&image);
  return image.convertToFormat(QImage::Format_ARGB32);
}

// Alpha of every pixel of the widget as it paints, lowest and highest.
std::pair<int, int> AlphaRange(QWidget& widget) {
  const QImage image = Painted(widget);
  int low = 255, high = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const int a = qAlpha(image.pixel(x, y));
      low = std::min(low, a);
      high = std::max(high, a);
    }
  }
  return {low, high};
}

}  // namespace

class TranslucencyTest : public QObject {
  Q_OBJECT

 private slots:
  void platformsThatPaintTheirOwn_data() {
    QTest::addColumn<QString>("platform");
    QTest::addColumn<bool>("paints");
    QTest::newRow("wayland") << "wayland" << true;
    QTest::newRow("wayland-egl") << "wayland-egl" << true;
    QTest::newRow("xcb") << "xcb" << false;
    QTest::newRow("windows") << "windows" << false;
    QTest::newRow("offscreen") << "offscreen" << false;
    QTest::newRow("empty") << "" << false;
  }
  void platformsThatPaintTheirOwn() {
    QFETCH(QString, platform);
    QFETCH(bool, paints);
    QCOMPARE(PaintsOwnOpacity(platform), paints);
  }

  // Here (offscreen) the window takes an opacity, as on X11, and gets no layer.
  void elsewhereTheWindowTakesAnOpacity() {
    Form form;
    MakeTranslucent(form, 210);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(qRound(form.windowOpacity() * 255), 210);
    QVERIFY(!form.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(AlphaRange(form), std::make_pair(255, 255));
  }

  void paintedEverywhereAtTheAlpha_data() {
    QTest::addColumn<int>("alpha");
    QTest::newRow("210") << 210;
    QTest::newRow("opaque") << 255;
    QTest::newRow("clear") << 0;
    QTest::newRow("clamped above") << 300;
  }
  void paintedEverywhereAtTheAlpha() {
    QFETCH(int, alpha);
    const int expected = std::clamp(alpha, 0, 255);
    Form form;
    PaintTranslucent(form, alpha);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowOpacity(), 1.0);
    // Background and button alike, nowhere more or less.
    QCOMPARE(AlphaRange(form), std::make_pair(expected, expected));
    // The colour, premultiplied by the alpha: (0,64,64) in the background.
    const QColor background = Painted(form).pixelColor(150, 80);
    QCOMPARE(background.alpha(), expected);
    if (expected > 0) QVERIFY(std::abs(background.green() - 64) <= 1);

    // A control added later is under the layer too.
    auto* label = new QLabel("late", &form);
    label->setAutoFillBackground(true);
    label->setGeometry(100, 50, 60, 20);
    label->show();
    QCOMPARE(AlphaRange(form), std::make_pair(expected, expected));
  }

  void inputStillReachesTheControls() {
    Form form;
    PaintTranslucent(form, 210);
    auto* box = new QLineEdit(&form);
    box->setGeometry(10, 50, 100, 25);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.childAt(20, 20), static_cast<QWidget*>(form.button));
    QCOMPARE(form.childAt(20, 60), static_cast<QWidget*>(box));
    QSignalSpy clicked(form.button, &QPushButton::clicked);
    QTest::mouseClick(form.button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    box->setFocus();
    QTest::keyClicks(box, "127.0.0.1");
    QCOMPARE(box->text(), QString("127.0.0.1"));
    // The layer takes no focus: Tab goes from control to control.
    for (QWidget* w = form.nextInFocusChain(); w != &form; w = w->nextInFocusChain()) {
      if (w->focusPolicy() != Qt::NoFocus) QVERIFY(w == form.button || w == box);
    }
  }
};

}  // namespace tolvane::ui::test

QTEST_MAIN(tolvane::ui::test::TranslucencyTest)
#include "translucency_test.moc"
