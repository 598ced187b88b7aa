#include "win32/latency_chart.h"

#include <commctrl.h>
#include <commdlg.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "app/chart_style.h"
#include "app/colours.h"
#include "app/messages.h"
#include "win32/chart_accessible.h"
#include "win32/controls.h"
#include "win32/owned_window.h"
#include "win32/png.h"
#include "win32/system_library.h"

namespace tolvane::ui::win {
namespace {

using namespace chart;

COLORREF Ref(Colour c) { return RGB(Red(c), Green(c), Blue(c)); }

// A mix of two colours, t = 0 giving a, 1 giving b.
COLORREF Mix(Colour a, Colour b, double t) {
  auto channel = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return RGB(channel(Red(a), Red(b)), channel(Green(a), Green(b)), channel(Blue(a), Blue(b)));
}

Colour Darker(Colour c, double factor) {
  return Rgb(static_cast<int>(Red(c) / factor), static_cast<int>(Green(c) / factor),
             static_cast<int>(Blue(c) / factor));
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Frame(HDC dc, const RECT& r, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

std::wstring Wide(const std::string& text, UINT codePage) {
  const int size = static_cast<int>(text.size());
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0)), L'\0');
  if (!wide.empty()) MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

// The chart's texts are UTF-8 (the host as typed among them).
void Text(HDC dc, HFONT font, COLORREF colour, const std::string& text, RECT r, UINT format) {
  SelectObject(dc, font);
  SetTextColor(dc, colour);
  const std::wstring wide = Wide(text, CP_UTF8);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, format | DT_NOPREFIX | DT_SINGLELINE);
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

HFONT MakeFont(int dpi, chart::Font style, int escapement = 0) {
  LOGFONTA lf{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  lf.lfHeight = -static_cast<LONG>(std::lround(style.points * dpi / 72.0));
  lf.lfWidth = 0;
  lf.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
  lf.lfEscapement = lf.lfOrientation = escapement;
  // Turned text needs an outline font; the stock one may be a raster font.
  if (escapement != 0) lstrcpynA(lf.lfFaceName, "Tahoma", LF_FACESIZE);
  return CreateFontIndirectA(&lf);
}

}  // namespace

LatencyChart::LatencyChart(HINSTANCE instance, HWND parent, int id, layout::PixelRect place, int dpi) : dpi_(dpi) {
  RegisterClassOnce(instance, kChartClass, &LatencyChart::WindowProc);
  window_ = CreateWindowExA(0, kChartClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, place.left,
                            place.top, place.width, place.height, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
  MakeFonts();
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
  Changed(false);
}
// A new run: screen readers read the list anew; a selection past its end
// came back to its last row.
void LatencyChart::SetRowCount(std::int16_t count) {
  const auto before = model_.selected();
  model_.SetRowCount(count);
  Changed(true);
  Announce(EVENT_OBJECT_REORDER, CHILDID_SELF);
  if (model_.selected() != before) SelectionMoved(before);
}
void LatencyChart::SetHostText(const std::string& text) {
  model_.SetHostText(text);
  Changed(false);
  Announce(EVENT_OBJECT_DESCRIPTIONCHANGE, CHILDID_SELF);
}
void LatencyChart::SelectRow(std::int16_t row) {
  model_.SelectRow(row);
  writing_ = row;
}
// A row's label and value make its name.
void LatencyChart::SetRowLabel(const std::string& text) {
  model_.SetRowLabel(text);
  Changed(false);
  AnnounceWrittenRow();
}
void LatencyChart::SetRowValue(const std::string& text) {
  model_.SetRowValue(text);
  Changed(false);
  AnnounceWrittenRow();
}
// A lost sample's name ends with its status, which comes with the tooltip.
void LatencyChart::SetRowToolTip(const std::string& text) {
  model_.SetRowToolTip(text);
  Changed(false);
  AnnounceWrittenRow();
}

void LatencyChart::SetDpi(int dpi) {
  dpi_ = dpi;
  DeleteFonts();
  MakeFonts();
  Changed(true);
}

int LatencyChart::Px(double pixelsAt96) const {
  return static_cast<int>(std::lround(pixelsAt96 * dpi_ / 96.0));
}

void LatencyChart::MakeFonts() {
  titleFont_ = MakeFont(dpi_, kTitleFont);
  axisTitleFont_ = MakeFont(dpi_, kAxisTitleFont);
  verticalTitleFont_ = MakeFont(dpi_, kAxisTitleFont, 900);
  labelFont_ = MakeFont(dpi_, kAxisLabelFont);
  legendFont_ = MakeFont(dpi_, kLegendFont);
}

void LatencyChart::DeleteFonts() {
  for (HFONT* f : {&titleFont_, &axisTitleFont_, &verticalTitleFont_, &labelFont_, &legendFont_}) {
    if (*f) DeleteObject(*f);
    *f = nullptr;
  }
}

void LatencyChart::Changed(bool rowsMoved) {
  if (rowsMoved) UpdateTools();
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

RECT LatencyChart::PlotArea(const RECT& client) const {
  return RECT{client.left + Px(44), client.top + Px(26), client.right - Px(kRightColumn) - Px(8),
              client.bottom - Px(36)};
}

RECT LatencyChart::RowRect(std::size_t index) const {
  RECT client{};
  if (window_) GetClientRect(window_, &client);
  return RowSlot(PlotArea(client), index);
}

std::optional<std::size_t> LatencyChart::RowAt(POINT at) const {
  for (std::size_t i = 0; i < model_.rows().size(); ++i) {
    const RECT slot = RowRect(i);
    if (PtInRect(&slot, at)) return i;
  }
  return std::nullopt;
}

void LatencyChart::Move(ChartModel::Move move) {
  const auto before = model_.selected();
  model_.Select(move);
  SelectionMoved(before);
}

// The model moves the selection a step at a time.
void LatencyChart::SelectIndex(std::size_t index) {
  const auto before = model_.selected();
  model_.Select(ChartModel::Move::First);
  for (std::size_t i = 0; i < index && i + 1 < model_.rows().size(); ++i) model_.Select(ChartModel::Move::Next);
  SelectionMoved(before);
}

void LatencyChart::SelectionMoved(std::optional<std::size_t> before) {
  if (window_) InvalidateRect(window_, nullptr, FALSE);
  const auto now = model_.selected();
  if (!now || now == before) return;
  const long child = static_cast<long>(*now) + 1;
  if (focused()) Announce(EVENT_OBJECT_FOCUS, child);
  Announce(EVENT_OBJECT_SELECTION, child);
}

void LatencyChart::AnnounceWrittenRow() {
  if (writing_ >= 1 && static_cast<std::size_t>(writing_) <= model_.rows().size())
    Announce(EVENT_OBJECT_NAMECHANGE, writing_);
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

RECT LatencyChart::RowSlot(const RECT& plot, std::size_t index) const {
  const std::size_t count = std::max<std::size_t>(model_.rows().size(), 1);
  const double width = static_cast<double>(plot.right - plot.left) / static_cast<double>(count);
  return RECT{plot.left + static_cast<LONG>(std::lround(width * static_cast<double>(index))), plot.top,
              plot.left + static_cast<LONG>(std::lround(width * static_cast<double>(index + 1))),
              plot.bottom};
}

// One tool per row, over the row's slot of the plot; the text is asked for
// when the tip shows, so it is always the row's latest.
void LatencyChart::UpdateTools() {
  if (!tips_ || !window_) return;
  for (std::size_t i = 0; i < tools_; ++i) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.uId = i + 1;
    SendMessageA(tips_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  RECT client;
  GetClientRect(window_, &client);
  const RECT plot = PlotArea(client);
  tools_ = model_.rows().size();
  for (std::size_t i = 0; i < tools_; ++i) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = i + 1;
    tool.rect = RowSlot(plot, i);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
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
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_LEFT: Move(ChartModel::Move::Previous); return 0;
        case VK_RIGHT: Move(ChartModel::Move::Next); return 0;
        case VK_HOME: Move(ChartModel::Move::First); return 0;
        case VK_END: Move(ChartModel::Move::Last); return 0;
        default: break;
      }
      break;
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
      if (LOWORD(wParam) == kCopyCsv) {
        CopyCsv();
        return 0;
      }
      if (LOWORD(wParam) == kSaveImage) {
        SaveImageAs();
        return 0;
      }
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == tips_ && header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        const auto& rows = model_.rows();
        const std::size_t row = header->idFrom;
        tipText_ = row >= 1 && row <= rows.size() ? rows[row - 1].tip : std::string();
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

HBITMAP LatencyChart::Draw(HDC dc, const RECT& client, bool focus) {
  HDC buffer = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
  HGDIOBJ old = SelectObject(buffer, bitmap);
  Paint(buffer, client, focus);
  SelectObject(buffer, old);
  DeleteDC(buffer);
  return bitmap;
}

void LatencyChart::Render(HDC dc) {
  RECT client;
  GetClientRect(window_, &client);
  // Into a bitmap first, so that a redraw after every sample doesn't flicker.
  HBITMAP bitmap = Draw(dc, client, GetFocus() == window_);
  HDC buffer = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(buffer, bitmap);
  BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
  SelectObject(buffer, old);
  DeleteDC(buffer);
  DeleteObject(bitmap);
}

// At the pointer, or when the keyboard asked (Shift+F10, the menu key: no
// position then) at the selected row, or the chart's corner without one.
void LatencyChart::ShowMenu(LPARAM at) {
  POINT where{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
  if (where.x == -1 && where.y == -1) {
    where = POINT{Px(44), Px(26)};
    if (const auto selected = model_.selected(); selected && *selected < model_.rows().size()) {
      const RECT slot = RowRect(*selected);
      where = POINT{(slot.left + slot.right) / 2, slot.top + Px(24)};
    }
    ClientToScreen(window_, &where);
  }
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, kCopyCsv, Wide(std::string(kCopyCsvText), CP_UTF8).c_str());
  AppendMenuW(menu, MF_STRING, kSaveImage, Wide(std::string(kSaveImageText), CP_UTF8).c_str());
  // The chosen item comes back as WM_COMMAND to this window.
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, where.x, where.y, 0, window_, nullptr);
  DestroyMenu(menu);
}

bool LatencyChart::CopyCsv() {
  // Text on the Windows clipboard ends its lines with CR LF.
  std::string csv;
  for (char c : model_.Csv()) {
    if (c == '\n') csv += '\r';
    csv += c;
  }
  const std::wstring text = Wide(csv, CP_UTF8);
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  void* to = GlobalLock(memory);
  if (to) {
    CopyMemory(to, text.c_str(), bytes);
    GlobalUnlock(memory);
  }
  if (!to || !OpenClipboard(window_)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  // Once set, the memory is the clipboard's.
  const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!set) GlobalFree(memory);
  return set;
}

bool LatencyChart::SaveImage(const std::string& path) {
  RECT client;
  GetClientRect(window_, &client);
  if (client.right <= 0 || client.bottom <= 0) return false;
  HDC screen = GetDC(window_);
  // The saved chart is the chart, without the keyboard focus on it.
  HBITMAP bitmap = Draw(screen, client, false);
  ReleaseDC(window_, screen);
  const bool saved = SavePng(bitmap, Wide(path, CP_ACP));
  DeleteObject(bitmap);
  return saved;
}

void LatencyChart::SaveImageAs() {
  char path[MAX_PATH] = {};
  lstrcpynA(path, std::string(kSaveImageName).c_str(), MAX_PATH);
  const std::string filter = std::string(kSaveImageFilter) + '\0' + "*.png" + '\0';
  const std::string title(kSaveImageTitle);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetAncestor(window_, GA_ROOT);
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.lpstrTitle = title.c_str();
  dialog.lpstrDefExt = "png";  // a name typed without one gets ".png"
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  // The dialog's DLL is loaded with the first save, not at the start.
  static auto* const saveDialog = SystemFunction<decltype(GetSaveFileNameA)>(L"comdlg32.dll", "GetSaveFileNameA");
  if (!saveDialog || !saveDialog(&dialog)) return;  // cancelled
  if (!SaveImage(path)) {
    const std::string text = std::string(kSaveFailedText) + path + ".";
    MessageBoxA(dialog.hwndOwner, text.c_str(), kProgramTitle.data(), MB_OK);
  }
}

void LatencyChart::Paint(HDC dc, const RECT& client, bool focus) {
  SetBkMode(dc, TRANSPARENT);
  Fill(dc, client, Ref(kWindowColour));
  const RECT plot = PlotArea(client);
  const auto& rows = model_.rows();
  const ChartModel::Scale scale = model_.ValueScale();

  // Title over the plot.
  Text(dc, titleFont_, Ref(kLabelColour), model_.name(),
       RECT{plot.left, client.top + Px(4), plot.right, plot.top - Px(2)}, DT_CENTER | DT_VCENTER);

  Fill(dc, plot, Ref(kPlotColour));
  const int height = plot.bottom - plot.top;
  auto yOf = [&](double value) {
    return plot.bottom - static_cast<int>(std::lround(height * std::min(value / scale.top, 1.0)));
  };

  // Value grid and its numbers.
  HPEN grid = CreatePen(PS_DOT, 1, Ref(kGridColour));
  HGDIOBJ oldPen = SelectObject(dc, grid);
  SetBkColor(dc, Ref(kPlotColour));
  const int steps = static_cast<int>(std::lround(scale.top / scale.step));
  for (int i = 0; i <= steps; ++i) {
    const double value = scale.step * i;
    const int y = yOf(value);
    if (i > 0 && i < steps) {
      MoveToEx(dc, plot.left, y, nullptr);
      LineTo(dc, plot.right, y);
    }
    Text(dc, labelFont_, Ref(kAxisTextColour), Number(value),
         RECT{client.left, y - Px(8), plot.left - Px(4), y + Px(8)}, DT_RIGHT | DT_VCENTER);
  }
  SelectObject(dc, oldPen);
  DeleteObject(grid);

  // Bars.
  HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, Mix(kPlotColour, kLostColour, kLostShade));
  const std::size_t step = ChartModel::LabelStep(rows.size(), kMaxShownLabels);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ChartModel::Row& row = rows[i];
    const RECT slot = RowSlot(plot, i);
    const int slotWidth = slot.right - slot.left;
    const int barWidth = std::max(1, static_cast<int>(std::lround(slotWidth * kBarWidth)));
    const int left = slot.left + (slotWidth - barWidth) / 2;
    RECT bar{left, plot.top, left + barWidth, plot.bottom};
    if (row.kind == ChartModel::Kind::Reply) {
      // A 0 ms reply is an answer: a sliver shows it (the tooltip has the time).
      bar.top = yOf(std::max(row.value, scale.top * kSliver));
      // Light at the top, darker towards the axis, as on the Qt chart.
      const int barHeight = bar.bottom - bar.top;
      for (int y = bar.top; y < bar.bottom; ++y) {
        const double t = barHeight > 1 ? static_cast<double>(y - bar.top) / (barHeight - 1) : 0;
        const COLORREF c = t < kReplyEdgeStop
                               ? Mix(kReplyEdgeColour, kReplyColour, t / kReplyEdgeStop)
                               : Mix(kReplyColour, Darker(kReplyColour, kReplyDarkening),
                                     (t - kReplyEdgeStop) / (1 - kReplyEdgeStop));
        Fill(dc, RECT{bar.left, y, bar.right, y + 1}, c);
      }
      Frame(dc, bar, Ref(kReplyEdgeColour));
    } else if (row.kind == ChartModel::Kind::Lost) {
      FillRect(dc, &bar, hatch);
      Frame(dc, bar, Ref(kLostColour));
    } else if (row.kind == ChartModel::Kind::Placeholder) {
      bar.top = yOf(row.value);
      Fill(dc, bar, Ref(kPlaceholderColour));
    }
    if ((i + 1) % step == 0) {
      Text(dc, labelFont_, Ref(kAxisTextColour), row.label,
           RECT{slot.left - Px(20), plot.bottom + Px(2), slot.right + Px(20), plot.bottom + Px(16)},
           DT_CENTER | DT_TOP);
    }
  }
  DeleteObject(hatch);
  Frame(dc, plot, Ref(kGridColour));

  // Axis titles: rows along the bottom, milliseconds turned up the left.
  Text(dc, axisTitleFont_, Ref(kLabelColour), std::string(kRowAxisTitle),
       RECT{plot.left, plot.bottom + Px(17), plot.right, client.bottom}, DT_CENTER | DT_TOP);
  {
    SelectObject(dc, verticalTitleFont_);
    SetTextColor(dc, Ref(kLabelColour));
    const std::string title(kValueAxisTitle);
    SIZE extent{};
    GetTextExtentPoint32A(dc, title.c_str(), static_cast<int>(title.size()), &extent);
    const int y = plot.top + (height + extent.cx) / 2;
    TextOutA(dc, client.left + Px(3), y, title.c_str(), static_cast<int>(title.size()));
  }

  // Legend: the host of the run, and lost samples when there are any.
  int legendY = Px(kLegendTop);
  const int legendX = Px(kLegendLeft);
  auto legendEntry = [&](const std::string& text, bool lost) {
    RECT swatch{legendX, legendY + Px(2), legendX + Px(10), legendY + Px(12)};
    if (lost) {
      HBRUSH lostBrush = CreateHatchBrush(HS_BDIAGONAL, Mix(kPlotColour, kLostColour, kLostShade));
      FillRect(dc, &swatch, lostBrush);
      DeleteObject(lostBrush);
      Frame(dc, swatch, Ref(kLostColour));
    } else {
      Fill(dc, swatch, Ref(kReplyColour));
      Frame(dc, swatch, Ref(kReplyEdgeColour));
    }
    Text(dc, legendFont_, Ref(kLabelColour), text,
         RECT{swatch.right + Px(4), legendY, client.right - Px(2), legendY + Px(14)},
         DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
    legendY += Px(16);
  };
  if (!model_.host().empty()) legendEntry(model_.host(), false);
  if (model_.AnyLost()) legendEntry(std::string(kLostLegend), true);

  if (focus) PaintFocus(dc, plot);
}

// The keyboard's place: the selected row's slot, from just above the plot
// to just below it, outlined in the gaps between the bars, with the row's
// tooltip text at the top of the plot, in the headroom over the bars; the
// whole plot while no row is selected.
void LatencyChart::PaintFocus(HDC dc, const RECT& plot) {
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkColor(dc, RGB(0, 0, 0));
  const auto selected = model_.selected();
  if (!selected || *selected >= model_.rows().size()) {
    RECT all = plot;
    InflateRect(&all, Px(2), Px(2));
    DrawFocusRect(dc, &all);
    return;
  }
  const RECT slot = RowSlot(plot, *selected);
  RECT mark{slot.left, plot.top - Px(3), slot.right, plot.bottom + Px(2)};
  DrawFocusRect(dc, &mark);

  const std::wstring tip = Wide(model_.rows()[*selected].tip, CP_UTF8);
  if (tip.empty()) return;
  SelectObject(dc, legendFont_);
  RECT size{0, 0, 0, 0};
  DrawTextW(dc, tip.c_str(), static_cast<int>(tip.size()), &size, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
  const int width = size.right + Px(8), height = size.bottom + Px(4);
  int left = (slot.left + slot.right - width) / 2;
  left = std::max<int>(plot.left + Px(2), std::min<int>(left, plot.right - Px(2) - width));
  RECT box{left, plot.top + Px(3), left + width, plot.top + Px(3) + height};
  Fill(dc, box, GetSysColor(COLOR_INFOBK));
  Frame(dc, box, GetSysColor(COLOR_INFOTEXT));
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  DrawTextW(dc, tip.c_str(), static_cast<int>(tip.size()), &box, DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_SINGLELINE);
}

}  // namespace tolvane::ui::win
