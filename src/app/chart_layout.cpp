#include "app/chart_layout.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tolvane::ui::chart {
namespace {

int Round(double x) { return static_cast<int>(std::lround(x)); }

// The axis's numbers in six digits at most (0.6, not 0.6000000000000001),
// as the C locale writes them, whatever the user's. They are multiples of a
// step of at least 0.1, so below 100000 they are written from whole tenths:
// the C++ library's floating-point to_chars would bring its large tables
// into memory (some 200 KiB) just to show the empty chart's "0 0.2 ... 1".
std::string Number(double value) {
  if (std::fabs(value) < 1e5) {
    const long long tenths = static_cast<long long>(std::fabs(value) * 10 + 0.5);
    std::string text = value < 0 && tenths != 0 ? "-" : "";
    text += std::to_string(tenths / 10);
    if (tenths % 10 != 0) text += {'.', static_cast<char>('0' + tenths % 10)};
    return text;
  }
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6).ptr;
  return std::string(text, end);
}

// a to b by t, channel by channel.
Colour Mix(Colour a, Colour b, double t) {
  auto channel = [t](int x, int y) { return Round(x + (y - x) * t); };
  return Rgb(channel(Red(a), Red(b)), channel(Green(a), Green(b)), channel(Blue(a), Blue(b)));
}

class Painting {
 public:
  explicit Painting(std::vector<Shape>& shapes) : shapes_(shapes) {}

  void Fill(Box box, Colour colour) { shapes_.push_back(chart::Fill{box, colour}); }
  void Frame(Box b, Colour colour) {
    Fill({b.left, b.top, b.right, b.top + 1}, colour);
    Fill({b.left, b.bottom - 1, b.right, b.bottom}, colour);
    Fill({b.left, b.top + 1, b.left + 1, b.bottom - 1}, colour);
    Fill({b.right - 1, b.top + 1, b.right, b.bottom - 1}, colour);
  }
  // Dashes along a level (dx) or upright (dy) run of `length` pixels.
  void Dashes(int x, int y, int length, bool level, int on, int off, Colour colour) {
    for (int at = 0; at < length; at += on + off) {
      const int end = std::min(at + on, length);
      if (level) Fill({x + at, y, x + end, y + 1}, colour);
      else Fill({x, y + at, x + 1, y + end}, colour);
    }
  }
  void DashedFrame(Box b, Colour colour) {
    Dashes(b.left, b.top, b.width(), true, kDash, kDashGap, colour);
    Dashes(b.left, b.bottom - 1, b.width(), true, kDash, kDashGap, colour);
    Dashes(b.left, b.top, b.height(), false, kDash, kDashGap, colour);
    Dashes(b.right - 1, b.top, b.height(), false, kDash, kDashGap, colour);
  }
  // Lines falling to the right, every kHatchSpacing pixels along the box's
  // bottom and right edges.
  void Hatch(Box b, Colour colour) {
    const int w = b.width() - 1, h = b.height() - 1;
    if (w < 0 || h < 0) return;
    for (int d = 0; d <= w + h; d += kHatchSpacing) {
      // Along the diagonal x + (bottom - y) = d, clipped to the box.
      const int from = std::max(0, d - h), to = std::min(w, d);
      shapes_.push_back(Line{b.left + from, b.top + h - (d - from), b.left + to, b.top + h - (d - to), colour});
    }
  }
  void Text(Box box, std::string text, Font font, Colour colour, Align align = Align::Centre, bool turned = false) {
    if (!text.empty()) shapes_.push_back(chart::Text{box, std::move(text), font, colour, align, turned});
  }
  void ReplyFill(Box b) {
    shapes_.push_back(Gradient{b, kReplyEdgeColour, kReplyColour, Darker(kReplyColour), kReplyEdgeStop});
  }
  void LostFill(Box b) {
    Fill(b, kPlotColour);
    Hatch(b, Mix(kPlotColour, kLostColour, kLostShade));
  }

 private:
  static Colour Darker(Colour c) {
    return Rgb(Round(Red(c) / kReplyDarkening), Round(Green(c) / kReplyDarkening), Round(Blue(c) / kReplyDarkening));
  }
  std::vector<Shape>& shapes_;
};

// Which rows show their label along the row axis: every row, or every
// second, third ... so that at most kMaxShownLabels do, and fewer while two
// would touch, by the labels' measured widths; then the first row too,
// wherever it fits beside its neighbour.
std::vector<bool> ShownLabels(const ChartModel& model, double slotWidth, const MeasureText& measure) {
  const auto& rows = model.rows();
  const std::size_t count = rows.size();
  std::vector<double> widths;
  for (const ChartModel::Row& row : rows) {
    widths.push_back(row.label.empty() ? 0.0 : measure(row.label, kAxisLabelFont).width);
  }
  // Labels stand centred under their slots.
  auto apart = [&](std::size_t a, std::size_t b) {
    return slotWidth * static_cast<double>(b - a) >= (widths[a] + widths[b]) / 2 + kLabelGap;
  };
  std::vector<bool> shown(count, false);
  if (count == 0) return shown;
  std::size_t step = (count + kMaxShownLabels - 1) / kMaxShownLabels;
  for (;; ++step) {
    bool fits = true;
    for (std::size_t i = 2 * step - 1; i < count && fits; i += step) fits = apart(i - step, i);
    if (fits || step >= count) break;
  }
  // Counted back from the last row: it shows, and the first does whenever
  // the step divides what lies between them.
  for (std::size_t i = count; i >= step; i -= step) shown[i - 1] = true;
  const auto next = std::find(shown.begin() + 1, shown.end(), true);
  if (next == shown.end() || apart(0, static_cast<std::size_t>(next - shown.begin()))) shown[0] = true;
  return shown;
}

// The text cut in its middle, with "…", to fit `width`: both ends show.
std::string Elided(const std::string& text, Font font, double width, const MeasureText& measure) {
  if (measure(text, font).width <= width) return text;
  // Whole UTF-8 characters: where each starts.
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  }
  // Both ends kept (an address's network and its host part, a zone), the
  // middle dropped one character at a time, from the head then the tail.
  std::size_t head = starts.size() - starts.size() / 2, tail = starts.size() / 2;
  auto cut = [&] {
    const std::size_t tailFrom = tail == 0 ? text.size() : starts[starts.size() - tail];
    return text.substr(0, head == starts.size() ? text.size() : starts[head]) + "\u2026" + text.substr(tailFrom);
  };
  while (head + tail > 0) {
    if (head >= tail) --head;
    else --tail;
    if (measure(cut(), font).width <= width) break;
  }
  return cut();
}

}  // namespace

Colour Gradient::RowColour(int row, int rows) const {
  const double t = std::clamp((row + 0.5) / rows, 0.0, 1.0);
  return t < middleAt ? Mix(top, middle, t / middleAt) : Mix(middle, bottom, (t - middleAt) / (1 - middleAt));
}

std::optional<std::size_t> Layout::RowAt(int x, int y) const {
  for (std::size_t i = 0; i < rowSlots.size(); ++i) {
    if (rowSlots[i].Contains(x, y)) return i;
  }
  return std::nullopt;
}

Layout LayOut(const ChartModel& model, int width, int height, bool focused, const MeasureText& measure) {
  Layout layout;
  Painting paint(layout.shapes);
  paint.Fill({0, 0, width, height}, kWindowColour);
  const Box plot{kPlotLeft, kPlotTop, std::max(kPlotLeft, width - kPlotRight), std::max(kPlotTop, height - kPlotBottom)};
  layout.plot = plot;

  paint.Text({plot.left, 4, plot.right, plot.top - 2}, model.name(), kTitleFont, kLabelColour);
  paint.Fill(plot, kPlotColour);

  // The value axis: dotted grid lines inside the plot, numbers left of it.
  // Bars stand inside the plot's frame, which would hide their foot.
  const Box inner{plot.left + 1, plot.top + 1, plot.right - 1, plot.bottom - 1};
  const ChartModel::Scale scale = model.ValueScale();
  auto yOf = [&](double value) { return inner.bottom - Round(inner.height() * std::min(value / scale.top, 1.0)); };
  const int steps = Round(scale.top / scale.step);
  for (int i = 0; i <= steps; ++i) {
    const int y = yOf(scale.step * i);
    if (i > 0 && i < steps) paint.Dashes(plot.left + 1, y, plot.width() - 2, true, 1, 2, kGridColour);
    paint.Text({0, y - 8, plot.left - 4, y + 8}, Number(scale.step * i), kAxisLabelFont, kAxisTextColour,
               Align::Right);
  }

  // A slot per row, its bar in the middle, its label under it.
  const auto& rows = model.rows();
  const double slotWidth = static_cast<double>(plot.width()) / static_cast<double>(std::max<std::size_t>(rows.size(), 1));
  const std::vector<bool> labelled = ShownLabels(model, slotWidth, measure);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Box slot{plot.left + Round(slotWidth * static_cast<double>(i)), plot.top,
                   plot.left + Round(slotWidth * static_cast<double>(i + 1)), plot.bottom};
    layout.rowSlots.push_back(slot);
    int barWidth = std::max(1, Round(slot.width() * kBarWidth));
    if (slot.width() >= 3) barWidth = std::min(barWidth, slot.width() - 2);
    const int left = slot.left + (slot.width() - barWidth) / 2;
    const ChartModel::Row& row = rows[i];
    Box bar{left, inner.bottom, left + barWidth, inner.bottom};
    switch (row.kind) {
      case ChartModel::Kind::Reply:
        // A 0 ms reply is an answer: a sliver shows it, two pixels at least.
        bar.top = std::min(yOf(std::max(row.value, scale.top * kSliver)), inner.bottom - 2);
        paint.ReplyFill(bar);
        paint.Frame(bar, kReplyEdgeColour);
        break;
      case ChartModel::Kind::Lost:
        bar.top = inner.top;
        paint.LostFill(bar);
        paint.Frame(bar, kLostColour);
        break;
      case ChartModel::Kind::Placeholder:
        bar.top = yOf(row.value);
        paint.Fill(bar, kPlaceholderColour);
        break;
      case ChartModel::Kind::Empty:
        break;
    }
    layout.bars.push_back(bar);
    if (labelled[i]) {
      // As wide as the label at least, so that no window clips it.
      const double overhang = (measure(row.label, kAxisLabelFont).width - slot.width()) / 2;
      const int extra = std::max(20, static_cast<int>(std::ceil(overhang)) + 1);
      paint.Text({slot.left - extra, plot.bottom + 2, slot.right + extra, plot.bottom + 16}, row.label, kAxisLabelFont,
                 kAxisTextColour);
    }
  }
  paint.Frame(plot, kGridColour);

  // The axes' titles: rows along the bottom, milliseconds turned up the left.
  paint.Text({plot.left, plot.bottom + 16, plot.right, plot.bottom + 30}, std::string(kRowAxisTitle), kAxisTitleFont,
             kLabelColour);
  const TextSize turned = measure(kValueAxisTitle, kAxisTitleFont);
  const int middle = (plot.top + plot.bottom) / 2, length = Round(turned.width);
  paint.Text({3, middle - length / 2, 3 + Round(turned.height), middle - length / 2 + length},
             std::string(kValueAxisTitle), kAxisTitleFont, kLabelColour, Align::Centre, true);

  // The legend: the run's host, and lost samples when there are any.
  int legendY = kLegendTop;
  const int legendX = width - kLegendRight;
  auto legendEntry = [&](const std::string& text, bool lost) {
    const Box swatch{legendX, legendY + 2, legendX + kSwatch, legendY + 2 + kSwatch};
    if (lost) paint.LostFill(swatch);
    else paint.ReplyFill(swatch);
    paint.Frame(swatch, lost ? kLostColour : kReplyEdgeColour);
    const Box label{swatch.right + 4, legendY, width - 2, legendY + kLegendLine - 2};
    paint.Text(label, Elided(text, kLegendFont, label.width(), measure), kLegendFont, kLabelColour, Align::Left);
    legendY += kLegendLine;
    return Box{swatch.left, label.top, label.right, label.bottom};
  };
  if (!model.host().empty()) layout.hostLegend = legendEntry(model.host(), false);
  if (model.AnyLost()) legendEntry(std::string(kLostLegend), true);

  // The keyboard's place.
  const auto selected = model.selected();
  const bool marked = selected && *selected < rows.size();
  const Box& menuAt = marked ? layout.bars[*selected] : plot;
  layout.menuX = menuAt.left;
  layout.menuY = menuAt.top;
  if (!focused) return layout;
  if (!marked) {
    paint.DashedFrame({plot.left - 2, plot.top - 2, plot.right + 2, plot.bottom + 2}, kLabelColour);
    return layout;
  }
  const Box& slot = layout.rowSlots[*selected];
  paint.DashedFrame({slot.left, plot.top - 3, slot.right, plot.bottom + 3}, kLabelColour);
  const std::string tip = model.TipText(*selected);
  const TextSize size = measure(tip, kLegendFont);
  const int boxWidth = static_cast<int>(std::ceil(size.width)) + 2 * kTipPadX;
  const int boxHeight = static_cast<int>(std::ceil(size.height)) + 2 * kTipPadY;
  // Above the bar; where it has no room there (a lost sample's bar fills
  // the plot), inside the plot's top, never over the title.
  Box box{(slot.left + slot.right - boxWidth) / 2, layout.bars[*selected].top - kTipGap - boxHeight, 0, 0};
  box.left = std::max(1, std::min(box.left, width - 1 - boxWidth));
  box.right = box.left + boxWidth;
  if (box.top < inner.top) box.top = inner.top + kTipGap;
  box.bottom = box.top + boxHeight;
  layout.tipBox = box;
  paint.Fill(box, kTipColour);
  paint.Frame(box, kTipTextColour);
  paint.Text(box, tip, kLegendFont, kTipTextColour);
  return layout;
}

}  // namespace tolvane::ui::chart
