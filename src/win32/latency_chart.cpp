#include "win32/latency_chart.h"

#include <commctrl.h>
#include <oleacc.h>

#include <cmath>
#include <string>
#include <variant>

#include "app/chart_style.h"
#include "app/colours.h"
#include "win32/chart_accessible.h"
#include "win32/chart_export.h"
#include "win32/controls.h"
#include "win32/owned_window.h"
#include "win32/png.h"
#include "win32/system_library.h"

namespace tolvane::ui::win {
namespace {

using namespace chart;

COLORREF Ref(Colour c) { return RGB(Red(c), Green(c), Blue(c)); }

std::wstring Wide(std::string_view text, UINT codePage) {
  const int size = static_cast<int>(text.size());
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0)), L'\0');
  if (!wide.empty()) MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

void FillBox(HDC dc, const RECT& r, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

HFONT MakeFont(int dpi, chart::Font style, int escapement = 0) {
  LOGFONTA lf{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  lf.lfHeight = -static_cast<LONG>(MulDiv(static_cast<int>(style.points * 100), dpi, 7200));
  lf.lfWidth = 0;
  lf.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
  lf.lfEscapement = lf.lfOrientation = escapement;
  // Turned text needs an outline font; the stock one may be a raster font.
  if (escapement != 0) lstrcpynA(lf.lfFaceName, "Tahoma", LF_FACESIZE);
  return CreateFontIndirectA(&lf);
}

constexpr chart::Font kStyles[] = {kTitleFont, kAxisTitleFont, kAxisLabelFont, kLegendFont};

}  // namespace

LatencyChart::LatencyChart(HINSTANCE instance, HWND parent, int id, layout::PixelRect place, int dpi) : dpi_(dpi) {
  RegisterClassOnce(instance, kChartClass, &LatencyChart::WindowProc);
  MakeFonts();
  window_ = CreateWindowExA(0, kChartClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, place.left,
                            place.top, place.width, place.height, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
}

void LatencyChart::MakeTips() {
  if (tips_ || !window_) return;
  tips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                          reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE)), nullptr);
  UpdateTools();
}

LatencyChart::~LatencyChart() {
  DropAccessible();
  if (tips_) DestroyWindow(tips_);
  if (window_) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  DeleteFonts();
}

void LatencyChart::SetNameText(const std::string& text) {
  model_.SetNameText(text);
  Changed(false, model_.selected());
}
// A new run: screen readers read the list anew.
void LatencyChart::SetRowCount(std::int16_t count) {
  const auto before = model_.selected();
  model_.SetRowCount(count);
  UpdateTools();
  Announce(EVENT_OBJECT_REORDER, CHILDID_SELF);
  Changed(false, before);
}
void LatencyChart::SetHostText(const std::string& text) {
  const bool changed = model_.host() != text;
  model_.SetHostText(text);
  Changed(false, model_.selected());
  if (changed) Announce(EVENT_OBJECT_DESCRIPTIONCHANGE, CHILDID_SELF);
}
void LatencyChart::SelectRow(std::int16_t row) {
  model_.SelectRow(row);
  writing_ = row;
}
void LatencyChart::SetRowLabel(const std::string& text) { Changed(model_.SetRowLabel(text), model_.selected()); }
void LatencyChart::SetRowValue(const std::string& text) {
  const auto before = model_.selected();
  Changed(model_.SetRowValue(text, focused()), before);
}
void LatencyChart::SetRowToolTip(const std::string& text) { Changed(model_.SetRowToolTip(text), model_.selected()); }

void LatencyChart::SelectIndex(std::size_t index) {
  const auto before = model_.selected();
  model_.SelectIndex(index);
  Changed(false, before);
}

void LatencyChart::Changed(bool renamed, std::optional<std::size_t> selectedBefore) {
  if (window_) InvalidateRect(window_, nullptr, FALSE);
  if (renamed) Announce(EVENT_OBJECT_NAMECHANGE, writing_);
  const auto now = model_.selected();
  if (!now || now == selectedBefore) return;
  const long child = static_cast<long>(*now) + 1;
  if (focused()) Announce(EVENT_OBJECT_FOCUS, child);
  Announce(EVENT_OBJECT_SELECTION, child);
}

void LatencyChart::SetDpi(int dpi) {
  dpi_ = dpi;
  DeleteFonts();
  MakeFonts();
  UpdateTools();
  Changed(false, model_.selected());
}

void LatencyChart::MakeFonts() {
  for (std::size_t i = 0; i < std::size(kStyles); ++i) fonts_[i] = MakeFont(dpi_, kStyles[i]);
  fonts_[4] = MakeFont(dpi_, kAxisTitleFont, 900);
}

void LatencyChart::DeleteFonts() {
  for (HFONT& font : fonts_) {
    if (font) DeleteObject(font);
    font = nullptr;
  }
}

HFONT LatencyChart::FontFor(chart::Font font, bool turned) const {
  if (turned) return fonts_[4];
  for (std::size_t i = 0; i < std::size(kStyles); ++i) {
    if (kStyles[i] == font) return fonts_[i];
  }
  return fonts_[2];
}

RECT LatencyChart::Scaled(const chart::Box& box) const {
  return RECT{Px(box.left), Px(box.top), Px(box.right), Px(box.bottom)};
}

// The layout is in pixels at 96 dpi: measured so, and scaled when painted.
chart::Layout LatencyChart::LayOut(bool focused) const {
  RECT client{};
  if (window_) GetClientRect(window_, &client);
  HDC dc = CreateCompatibleDC(nullptr);
  auto measure = [&](std::string_view text, chart::Font font) {
    SelectObject(dc, FontFor(font, false));
    const std::wstring wide = Wide(text, CP_UTF8);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return TextSize{size.cx * 96.0 / dpi_, size.cy * 96.0 / dpi_};
  };
  chart::Layout layout =
      chart::LayOut(model_, MulDiv(client.right, 96, dpi_), MulDiv(client.bottom, 96, dpi_), focused, measure);
  DeleteDC(dc);
  return layout;
}

RECT LatencyChart::RowRect(std::size_t index) const {
  const chart::Layout layout = LayOut(false);
  return index < layout.rowSlots.size() ? Scaled(layout.rowSlots[index]) : RECT{};
}

std::optional<std::size_t> LatencyChart::RowAt(POINT at) const {
  return LayOut(false).RowAt(MulDiv(at.x, 96, dpi_), MulDiv(at.y, 96, dpi_));
}

void LatencyChart::Announce(DWORD event, long child) {
  if (window_) NotifyWinEvent(event, window_, OBJID_CLIENT, child);
}

// Clients that still hold the object get CO_E_OBJNOTCONNECTED from then on.
void LatencyChart::DropAccessible() {
  if (!accessible_) return;
  accessible_->Disconnect();
  if (const auto disconnect = Accessibility().disconnect) disconnect(static_cast<IAccessible*>(accessible_), 0);
  accessible_->Release();
  accessible_ = nullptr;
}

// One tool per row, over the row's slot of the plot; the text is asked for
// when the tip shows, so it is always the row's latest.
void LatencyChart::UpdateTools() {
  if (!tips_ || !window_) return;
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window_;
  for (std::size_t i = 0; i < tools_; ++i) {
    tool.uId = i + 1;
    SendMessageA(tips_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  const chart::Layout layout = LayOut(false);
  tools_ = layout.rowSlots.size();
  tool.uFlags = TTF_SUBCLASS;
  tool.lpszText = LPSTR_TEXTCALLBACKA;
  for (std::size_t i = 0; i < tools_; ++i) {
    tool.uId = i + 1;
    tool.rect = Scaled(layout.rowSlots[i]);
    SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
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
      UpdateTools();
      InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case WM_SETFOCUS:
      InvalidateRect(window_, nullptr, FALSE);
      // The system announces the chart; the row within it is ours to.
      if (const auto selected = model_.selected()) Announce(EVENT_OBJECT_FOCUS, static_cast<long>(*selected) + 1);
      return 0;
    case WM_KILLFOCUS:
      InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;  // Left and Right move the selection, not the focus
    case WM_KEYDOWN: {
      const ChartModel::Move moves[] = {ChartModel::Move::Previous, ChartModel::Move::Next, ChartModel::Move::First,
                                        ChartModel::Move::Last};
      const WPARAM keys[] = {VK_LEFT, VK_RIGHT, VK_HOME, VK_END};
      for (std::size_t i = 0; i < std::size(keys); ++i) {
        if (wParam != keys[i]) continue;
        const auto before = model_.selected();
        model_.Select(moves[i]);
        Changed(false, before);
        return 0;
      }
      break;
    }
    case WM_GETOBJECT:
      // The id comes as a 32-bit value, whatever the width of lParam.
      if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT) && !destroyed_) {
        const auto result = Accessibility().result;
        if (!result) break;
        if (!accessible_) accessible_ = new ChartAccessible(*this);
        return result(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(accessible_));
      }
      break;
    case WM_DESTROY:
      destroyed_ = true;
      DropAccessible();
      break;
    case WM_LBUTTONDOWN:
      SetFocus(window_);
      return 0;
    case WM_CONTEXTMENU:
      ShowMenu(lParam);
      return 0;
    case kChartAxisTop:
      return static_cast<LRESULT>(std::lround(model_.ValueScale().top));
    case WM_COMMAND:
      if (LOWORD(wParam) == kCopyCsv) chart_export::CopyCsv(window_, model_);
      if (LOWORD(wParam) == kSaveImage) {
        if (HBITMAP image = Image()) {
          chart_export::SaveImageAs(GetAncestor(window_, GA_ROOT), image);
          DeleteObject(image);
        }
      }
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == tips_ && header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        // The tip window speaks the ANSI code page.
        const std::wstring tip = Wide(model_.TipText(header->idFrom - 1), CP_UTF8);
        tipText_.assign(static_cast<std::size_t>(
                            WideCharToMultiByte(CP_ACP, 0, tip.c_str(), -1, nullptr, 0, nullptr, nullptr)),
                        '\0');
        WideCharToMultiByte(CP_ACP, 0, tip.c_str(), -1, tipText_.data(), static_cast<int>(tipText_.size()), nullptr,
                            nullptr);
        info->lpszText = tipText_.data();
        return 0;
      }
      break;
    }
    default:
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

void LatencyChart::Paint(HDC dc, const chart::Layout& layout) {
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, GetStockObject(DC_PEN));
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
      const double height = box.bottom - box.top;
      for (LONG y = box.top; y < box.bottom; ++y) {
        FillBox(dc, RECT{box.left, y, box.right, y + 1}, Ref(gradient->ColourAt((y + 0.5 - box.top) / height)));
      }
    } else if (const auto* text = std::get_if<chart::Text>(&shape)) {
      SelectObject(dc, FontFor(text->font, text->turned));
      SetTextColor(dc, Ref(text->colour));
      const std::wstring wide = Wide(text->text, CP_UTF8);
      RECT box = Scaled(text->box);
      if (text->turned) {
        // Read from the bottom up: the text starts at the box's foot.
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        TextOutW(dc, box.left, box.bottom - (box.bottom - box.top - size.cx) / 2, wide.c_str(),
                 static_cast<int>(wide.size()));
        continue;
      }
      const UINT align = text->align == chart::Align::Left    ? DT_LEFT
                         : text->align == chart::Align::Right ? DT_RIGHT
                                                              : DT_CENTER;
      DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &box,
                align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
  }
}

HBITMAP LatencyChart::Draw(HDC dc, bool focused) {
  RECT client{};
  GetClientRect(window_, &client);
  HDC buffer = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
  HGDIOBJ old = SelectObject(buffer, bitmap);
  FillBox(buffer, client, Ref(kWindowColour));  // the last pixel the layout's rounding may leave
  Paint(buffer, LayOut(focused));
  SelectObject(buffer, old);
  DeleteDC(buffer);
  return bitmap;
}

void LatencyChart::Render(HDC dc) {
  RECT client;
  GetClientRect(window_, &client);
  // Into a bitmap first, so that a redraw after every sample doesn't flicker.
  HBITMAP bitmap = Draw(dc, focused());
  HDC buffer = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(buffer, bitmap);
  BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
  SelectObject(buffer, old);
  DeleteDC(buffer);
  DeleteObject(bitmap);
}

// At the pointer, or when the keyboard asked (Shift+F10, the menu key: no
// position then) where the layout says.
void LatencyChart::ShowMenu(LPARAM at) {
  POINT where{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
  if (where.x == -1 && where.y == -1) {
    const chart::Layout layout = LayOut(false);
    where = POINT{Px(layout.menuX), Px(layout.menuY)};
    ClientToScreen(window_, &where);
  }
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, kCopyCsv, Wide(kCopyCsvText, CP_UTF8).c_str());
  AppendMenuW(menu, MF_STRING, kSaveImage, Wide(kSaveImageText, CP_UTF8).c_str());
  // The chosen item comes back as WM_COMMAND to this window.
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, where.x, where.y, 0, window_, nullptr);
  DestroyMenu(menu);
}

bool LatencyChart::SaveImage(const std::string& path, std::string* reason) {
  HBITMAP image = Image();
  std::string why;
  const bool saved = image && SavePng(image, Wide(path, CP_ACP), &why);
  if (image) DeleteObject(image);
  if (reason) *reason = image ? why : "the chart has no size";
  return saved;
}

HBITMAP LatencyChart::Image() {
  RECT client{};
  GetClientRect(window_, &client);
  if (client.right <= 0 || client.bottom <= 0) return nullptr;
  HDC screen = GetDC(window_);
  HBITMAP bitmap = Draw(screen, false);
  ReleaseDC(window_, screen);
  return bitmap;
}

}  // namespace tolvane::ui::win
