// Build-time tool: writes the program's icon images as raw premultiplied
// ARGB words in a C++ header, so that the program shows its icon without
// decoding PNGs (no libpng work, no image plugins loaded) at run time.
//
// icon_pixels_tool <out.h> <image.png>...
#include <QFile>
#include <QImage>
#include <QTextStream>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  QFile out(QString::fromLocal8Bit(argv[1]));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
  QTextStream s(&out);
  s << "// Generated from the icon's PNGs at build time.\n#pragma once\n\n#include <cstdint>\n\n"
    << "namespace tolvane::ui::icon {\n\nstruct Pixels {\n  int side;\n  const std::uint32_t* words;\n};\n\n";
  QStringList names;
  for (int i = 2; i < argc; ++i) {
    const QImage image =
        QImage(QString::fromLocal8Bit(argv[i])).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull() || image.width() != image.height()) return 1;
    const QString name = QString("kPixels%1").arg(image.width());
    names << QString("{%1, %2}").arg(image.width()).arg(name);
    s << "inline constexpr std::uint32_t " << name << "[] = {";
    for (int y = 0; y < image.height(); ++y) {
      const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
      for (int x = 0; x < image.width(); ++x) s << (x % 8 == 0 ? "\n    " : " ") << "0x" << Qt::hex << line[x] << "u,";
    }
    s << Qt::dec << "\n};\n\n";
  }
  s << "inline constexpr Pixels kImages[] = {" << names.join(", ") << "};\n\n}  // namespace tolvane::ui::icon\n";
  return s.status() == QTextStream::Ok ? 0 : 1;
}
