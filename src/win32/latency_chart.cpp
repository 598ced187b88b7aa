#include "win32/latency_chart.h"

#include <cmath>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "app/chart_style.h"
#include "app/colours.h"
#include "win32/chart_accessible.h"
#include "win32/chart_export.h"
#include "win32/window_ids.h"
#include "win32/owned_window.h"
#include "win32/wide_text.h"

namespace tolvane::ui::win {
namespace {

using namespace chart;

COLORREF Ref(Colour c) { return RGB(Red(c), Green(c), Blue(c)); }

void FillBox(HDC dc, const RECT& r, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// The chart's fonts for one layout or one paint, made once per style (the
// row labels and axis numbers share one) and deleted with it. Turned text needs an
// outline font, and the stock one may be a raster font.
class Fonts {
 public:
  explicit Fonts(int dpi) : dpi_(dpi) {}
  Fonts(const Fonts&) = delete;
  Fonts& operator=(const Fonts&) = delete;
  ~Fonts() {
    for (const Made& made : made_) DeleteObject(made.font);
  }

  HFONT operator()(chart::Font style, bool turned = false) {
    for (const Made& made : made_) {
      if (made.style == style && made.turned == turned) return made.font;
    }
    LOGFONTA lf{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfHeight = -static_cast<LONG>(MulDiv(static_cast<int>(style.points * 100), dpi_, 7200));
    lf.lfWidth = 0;
    lf.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
    lf.lfEscapement = lf.lfOrientation = turned ? 900 : 0;
    if (turned) lstrcpynA(lf.lfFaceName, "Tahoma", LF_FACESIZE);
    made_.push_back({style, turned, CreateFontIndirectA(&lf)});
    return made_.back().font;
  }

 private:
  struct Made {
    chart::Font style;
    bool turned;
    HFONT font;
  };
  int dpi_;
  std::vector<Made> made_;
};

SIZE Extent(HDC dc, const std::wstring& text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

}  // namespace

LatencyChart::LatencyChart(HINSTANCE instance, HWND parent, int id, layout::PixelRect place, int dpi) : dpi_(dpi) {
  RegisterClassOnce(instance, kChartClass, &LatencyChart::WindowProc);
  window_ = CreateWindowExW(0, Wide(kChartClass).c_str(), L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS,
                            place.left, place.top, place.width, place.height, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
}

void LatencyChart::MakeTips() {
  if (tips_ || !window_) return;
  tips_ = std::make_unique<RowTips>(window_);
  UpdateTools();
}

LatencyChart::~LatencyChart() {
  ChartAccessible::Drop(accessible_);
  tips_.reset();
  if (window_) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

// A new run: screen readers read the list anew.
void LatencyChart::RowsChanged(std::size_t, std::size_t) {
  Repaint();
  UpdateTools();
  Announce(EVENT_OBJECT_REORDER, CHILDID_SELF);
}
void LatencyChart::DescriptionChanged() {
  Announce(EVENT_OBJECT_DESCRIPTIONCHANGE, CHILDID_SELF);
  UpdateTools();  // the host's legend entry comes or goes
}
void LatencyChart::RowRenamed(std::size_t row) { Announce(EVENT_OBJECT_NAMECHANGE, static_cast<long>(row) + 1); }
void LatencyChart::SelectionMoved(std::optional<std::size_t>, std::size_t now, bool focused) {
  if (focused) Announce(EVENT_OBJECT_FOCUS, static_cast<long>(now) + 1);
  Announce(EVENT_OBJECT_SELECTION, static_cast<long>(now) + 1);
}
// Every change of the model comes this way, and of the size, the DPI or
// the focus: the layouts kept are out of date.
void LatencyChart::Repaint() {
  for (auto& layout : layouts_) layout.reset();
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void LatencyChart::SetDpi(int dpi) {
  dpi_ = dpi;
  Repaint();
  UpdateTools();
}

// The layout is in pixels at 96 dpi: measured so, and scaled when painted.
const chart::Layout& LatencyChart::LayOut(bool focused) const {
  std::optional<chart::Layout>& kept = layouts_[focused ? 1 : 0];
  if (kept) return *kept;
  RECT client{};
  if (window_) GetClientRect(window_, &client);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = GetCurrentObject(dc, OBJ_FONT);
  Fonts fonts(dpi_);
  auto measure = [&](std::string_view text, chart::Font style) {
    SelectObject(dc, fonts(style));
    const SIZE size = Extent(dc, Wide(text));
    return TextSize{size.cx * 96.0 / dpi_, size.cy * 96.0 / dpi_};
  };
  kept = chart::LayOut(model(), MulDiv(client.right, 96, dpi_), MulDiv(client.bottom, 96, dpi_), focused, measure);
  SelectObject(dc, old);  // before the fonts go
  DeleteDC(dc);
  return *kept;
}

RECT LatencyChart::RowRect(std::size_t index) const {
  const chart::Layout& layout = LayOut(false);
  return index < layout.rowSlots.size() ? Scaled(layout.rowSlots[index]) : RECT{};
}

std::optional<std::size_t> LatencyChart::RowAt(POINT at) const {
  return LayOut(false).RowAt(MulDiv(at.x, 96, dpi_), MulDiv(at.y, 96, dpi_));
}

void LatencyChart::Announce(DWORD event, long child) {
  if (window_) NotifyWinEvent(event, window_, OBJID_CLIENT, child);
}

void LatencyChart::UpdateTools() {
  if (!tips_) return;
  const chart::Layout layout = LayOut(false);
  std::vector<RECT> slots;
  for (const chart::Box& slot : layout.rowSlots) slots.push_back(Scaled(slot));
  // The legend may show the host cut short: its tip has all of it.
  tips_->Place(slots, layout.hostLegend ? std::optional(Scaled(*layout.hostLegend)) : std::nullopt);
}

LRESULT CALLBACK LatencyChart::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return OwnedWindowProc<LatencyChart, &LatencyChart::window_, &LatencyChart::Handle>(window, message, wParam, lParam);
}

LRESULT LatencyChart::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // all drawn in WM_PAINT, from the buffer
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window_, &ps);
      Render(dc);
      EndPaint(window_, &ps);
      return 0;
    }
    case WM_SIZE:
      Repaint();
      UpdateTools();
      return 0;
    case WM_SETFOCUS:
      Repaint();
      // The system announces the chart; the row within it is ours to.
      if (const auto row = control_.FocusedRow()) Announce(EVENT_OBJECT_FOCUS, static_cast<long>(*row) + 1);
      return 0;
    case WM_KILLFOCUS:
      Repaint();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;  // Left and Right move the selection, not the focus
    case WM_KEYDOWN: {
      using Key = ChartControl::Key;
      const Key key = wParam == VK_LEFT    ? Key::Left
                      : wParam == VK_RIGHT ? Key::Right
                      : wParam == VK_HOME  ? Key::Home
                      : wParam == VK_END   ? Key::End
                                           : Key::Other;
      if (control_.Press(key)) return 0;
      break;
    }
    case WM_GETOBJECT:
      // The id comes as a 32-bit value, whatever the width of lParam.
      if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT) && !destroyed_) {
        if (const LRESULT answer = ChartAccessible::Answer(*this, accessible_, wParam)) return answer;
      }
      break;
    case WM_DESTROY:
      destroyed_ = true;
      ChartAccessible::Drop(accessible_);
      break;
    case WM_LBUTTONDOWN:
      SetFocus(window_);
      return 0;
    case WM_CONTEXTMENU: {
      // At the pointer, or where the layout says when the keyboard asked
      // (Shift+F10, the menu key: no position then).
      POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (at.x == -1 && at.y == -1) {
        const chart::Layout& layout = LayOut(false);
        at = POINT{Px(layout.menuX), Px(layout.menuY)};
        ClientToScreen(window_, &at);
      }
      chart_export::ShowMenu(window_, at);
      return 0;
    }
    case kChartAxisTop:
      return static_cast<LRESULT>(std::lround(model().ValueScale().top));
    case WM_COMMAND:
      chart_export::Run(window_, LOWORD(wParam), model(), [this] { return Image(); });
      return 0;
    case WM_NOTIFY:
      if (tips_ && tips_->Answer(lParam, [this](std::size_t row) {
            return row == RowTips::kHostRow ? model().host() : model().TipText(row);
          }))
        return 0;
      break;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void LatencyChart::Paint(HDC dc, const chart::Layout& layout) {
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, GetStockObject(DC_PEN));
  const HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
  Fonts fonts(dpi_);
  for (const Shape& shape : layout.shapes) {
    if (const auto* fill = std::get_if<chart::Fill>(&shape)) {
      FillBox(dc, Scaled(fill->box), Ref(fill->colour));
    } else if (const auto* line = std::get_if<chart::Line>(&shape)) {
      SetDCPenColor(dc, Ref(line->colour));
      MoveToEx(dc, Px(line->x1), Px(line->y1), nullptr);
      LineTo(dc, Px(line->x2), Px(line->y2));
      SetPixelV(dc, Px(line->x2), Px(line->y2), Ref(line->colour));  // LineTo stops short of its end
    } else if (const auto* gradient = std::get_if<chart::Gradient>(&shape)) {
      const RECT box = Scaled(gradient->box);
      const int height = box.bottom - box.top;
      for (int y = 0; y < height; ++y) {
        FillBox(dc, RECT{box.left, box.top + y, box.right, box.top + y + 1}, Ref(gradient->RowColour(y, height)));
      }
    } else if (const auto* text = std::get_if<chart::Text>(&shape)) {
      SelectObject(dc, fonts(text->font, text->turned));
      SetTextColor(dc, Ref(text->colour));
      const std::wstring wide = Wide(text->text);
      RECT box = Scaled(text->box);
      const UINT align = text->align == chart::Align::Left    ? DT_LEFT
                         : text->align == chart::Align::Right ? DT_RIGHT
                                                              : DT_CENTER;
      if (text->turned) {
        // Read from the bottom up: the text starts at the box's foot.
        const int foot = box.bottom - (box.bottom - box.top - Extent(dc, wide).cx) / 2;
        TextOutW(dc, box.left, foot, wide.c_str(), static_cast<int>(wide.size()));
      } else {
        DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &box,
                  align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
      }
    }
  }
  SelectObject(dc, oldFont);  // before the fonts go
}

// Into a new bitmap of the window's size, which also shows in `dc` when `shown`.
HBITMAP LatencyChart::Draw(HDC dc, bool focused, bool shown) {
  RECT client{};
  GetClientRect(window_, &client);
  HDC buffer = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
  HGDIOBJ old = SelectObject(buffer, bitmap);
  FillBox(buffer, client, Ref(kWindowColour));  // the last pixel the layout's rounding may leave
  Paint(buffer, LayOut(focused));
  if (shown) BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
  SelectObject(buffer, old);
  DeleteDC(buffer);
  return bitmap;
}

// Into a bitmap first, so that a redraw after every sample doesn't flicker.
void LatencyChart::Render(HDC dc) { DeleteObject(Draw(dc, Focused(), true)); }

HBITMAP LatencyChart::Image() {
  RECT client{};
  GetClientRect(window_, &client);
  if (client.right <= 0 || client.bottom <= 0) return nullptr;
  HDC screen = GetDC(window_);
  HBITMAP bitmap = Draw(screen, false, false);
  ReleaseDC(window_, screen);
  return bitmap;
}

}  // namespace tolvane::ui::win
