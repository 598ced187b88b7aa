// The two painters agree: the parity run painted here by the Qt painter
// (offscreen) and by the GDI painter under Wine (the PNG given) shows the
// same bars, to a pixel, and the same colours in them. Each bar's left,
// right and top edges are found in both images by the colour of its frame;
// its colour is the mean of the 6x6 pixels at its centre (a hatch's period).
//   chart_parity GDI_PNG
#include <QApplication>
#include <QImage>

#include <algorithm>

#include <cstdio>
#include <cstdlib>

#include "qt/latency_chart.h"
#include "support/parity_run.h"

namespace {

using tolvane::ui::chart::Box;

struct Found {
  int left = -1, right = -1, top = -1;
  int red = 0, green = 0, blue = 0;
};

Found Measure(const QImage& image, const Box& slot, const Box& bar, QRgb frame) {
  Found f;
  // Along a row through the bar, and down its left side: the plot's frame
  // covers a bar's foot, and the top of a bar of the plot's height.
  const int y = bar.top + (bar.height() - 1) / 2, x = (bar.left + bar.right) / 2;
  for (int at = slot.left; at < slot.right && f.left < 0; ++at)
    if (image.pixel(at, y) == frame) f.left = at;
  for (int at = slot.right - 1; at >= slot.left && f.right < 0; --at)
    if (image.pixel(at, y) == frame) f.right = at + 1;
  for (int at = slot.top; at < slot.bottom && f.top < 0; ++at)
    if (image.pixel(bar.left, at) == frame) f.top = at;
  for (int dy = -3; dy < 3; ++dy) {
    for (int dx = -3; dx < 3; ++dx) {
      const QColor c = image.pixelColor(x + dx, std::max(bar.top, std::min(y + dy, bar.bottom - 1)));
      f.red += c.red();
      f.green += c.green();
      f.blue += c.blue();
    }
  }
  f.red /= 36, f.green /= 36, f.blue /= 36;
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) return 2;
  const QImage gdi = QImage(argv[1]).convertToFormat(QImage::Format_RGB32);
  tolvane::ui::LatencyChart chart;
  chart.resize(609, 265);
  tolvane::ui::test::WriteParityRun(chart.control());
  if (gdi.size() != chart.size()) {
    std::printf("FAIL: the GDI image is %dx%d\n", gdi.width(), gdi.height());
    return 1;
  }
  const QImage qt = chart.Image();
  const auto& layout = chart.layout();
  const auto& rows = chart.model().rows();
  bool same = true;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].kind == tolvane::ui::ChartModel::Kind::Empty) continue;  // no bar
    const bool lost = rows[i].kind == tolvane::ui::ChartModel::Kind::Lost;
    const QRgb frame = lost ? tolvane::ui::kLostColour : tolvane::ui::kReplyEdgeColour;
    const Found a = Measure(qt, layout.rowSlots[i], layout.bars[i], frame);
    const Found b = Measure(gdi, layout.rowSlots[i], layout.bars[i], frame);
    const bool edges = a.left >= 0 && a.top >= 0 && std::abs(a.left - b.left) <= 1 &&
                       std::abs(a.right - b.right) <= 1 && std::abs(a.top - b.top) <= 1;
    const bool colour = std::abs(a.red - b.red) <= 3 && std::abs(a.green - b.green) <= 3 &&
                        std::abs(a.blue - b.blue) <= 3;
    std::printf("bar %zu: Qt %d..%d from %d rgb(%d,%d,%d), GDI %d..%d from %d rgb(%d,%d,%d)%s\n", i + 1, a.left,
                a.right, a.top, a.red, a.green, a.blue, b.left, b.right, b.top, b.red, b.green, b.blue,
                edges && colour ? "" : "  <- differs");
    same = same && edges && colour;
  }
  std::printf(same ? "the painters agree\n" : "FAIL: the painters differ\n");
  return same ? 0 : 1;
}
