// The program's icon: the images built in, and the .ico for Windows with
// its nine images.
#include <QColorSpace>
#include <QFile>
#include <QImage>
#include <QtEndian>
#include <QtTest/QtTest>

#include <set>
#include <utility>

#include "qt/application_icon.h"

namespace tolvane::ui::icon {

class IconTest : public QObject {
  Q_OBJECT

 private slots:
  void everySizeIsBuiltIn() {
    const QIcon icon = ApplicationIcon();
    QVERIFY(!icon.isNull());
    QList<QSize> sizes = icon.availableSizes();
    QCOMPARE(sizes.size(), int(kSizes.size()));
    for (int size : kSizes) {
      QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
      const QImage image(QString(":/icons/tolvane-%1.png").arg(size));
      QCOMPARE(image.size(), QSize(size, size));
      QVERIFY(image.hasAlphaChannel());
      // Drawn edge to edge, on the window's teal, with green bars.
      const QColor centre = image.pixelColor(size / 2, size / 2);
      QCOMPARE(centre.alpha(), 255);
      bool green = false;
      for (int x = 0; x < size && !green; ++x) {
        const QColor c = image.pixelColor(x, size * 3 / 4);
        green = c.green() > 180 && c.red() < 100 && c.blue() < 100;
      }
      QVERIFY2(green, "no green bar across the lower part");
      QVERIFY(image.pixelColor(0, 0).alpha() < 64);  // rounded corners
      // What the program shows: the PNG's pixels, built in unchanged.
      QImage png = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
      png.setColorSpace(QColorSpace());
      QCOMPARE(icon.pixmap(size, size).toImage().convertToFormat(png.format()), png);
    }
    // Between the sizes, the next larger image scaled down; none larger than drawn.
    QCOMPARE(icon.pixmap(22, 22).size(), QSize(22, 22));
    QCOMPARE(icon.actualSize(QSize(256, 256)), QSize(128, 128));
  }

  // Windows takes the .ico from the resource script: four images at 256
  // colours and five at 32 bits, as the directory says.
  void windowsIconHoldsTheNineImages() {
    QFile file(TOLVANE_ICO);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    QVERIFY(data.size() > 6);
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(data.constData() + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(data.constData() + at); };
    QCOMPARE(u16(0), quint16(0));
    QCOMPARE(u16(2), quint16(1));  // an icon, not a cursor
    QCOMPARE(u16(4), quint16(9));
    std::set<std::pair<int, int>> found;  // size, bits per pixel
    for (int i = 0; i < 9; ++i) {
      const int entry = 6 + 16 * i;
      const int width = quint8(data[entry]) == 0 ? 256 : quint8(data[entry]);
      const int height = quint8(data[entry + 1]) == 0 ? 256 : quint8(data[entry + 1]);
      QCOMPARE(width, height);
      const quint32 bytes = u32(entry + 8), offset = u32(entry + 12);
      QVERIFY(offset + bytes <= quint32(data.size()));
      // The image itself is a bitmap whose header agrees with the entry.
      const int header = int(offset);
      QCOMPARE(u32(header), quint32(40));
      QCOMPARE(int(u32(header + 4)), width);
      QCOMPARE(int(u32(header + 8)), 2 * height);  // colour and mask
      found.emplace(width, u16(header + 14));
    }
    const std::set<std::pair<int, int>> expected = {
        {16, 8}, {24, 8}, {32, 8}, {48, 8}, {16, 32}, {24, 32}, {32, 32}, {48, 32}, {128, 32}};
    QVERIFY(found == expected);
  }
};

}  // namespace tolvane::ui::icon

QTEST_MAIN(tolvane::ui::icon::IconTest)
#include "icon_test.moc"
