// The latency chart as a Win32 control: one bar per sample of a run. Where
// everything goes comes from the core (app/chart_layout.h); this control
// only paints it with GDI at the window's DPI, into a buffer, and forwards
// the mouse and the keys. With the focus, Left, Right, Home and End select
// a row, which shows its tooltip's text at the row; screen readers read the
// rows as a list (ChartAccessible).
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "app/chart_layout.h"
#include "app/chart_model.h"
#include "app/twips.h"

namespace tolvane::ui::win {

class ChartAccessible;

class LatencyChart {
 public:
  // Registers the class (once) and creates the chart as a child of
  // `parent`, at `place` and drawn for `dpi`.
  LatencyChart(HINSTANCE instance, HWND parent, int id, layout::PixelRect place, int dpi);
  ~LatencyChart();
  LatencyChart(const LatencyChart&) = delete;
  LatencyChart& operator=(const LatencyChart&) = delete;

  HWND handle() const { return window_; }
  // The rows' tooltips: a window of their own, made once the chart shows
  // (a pop-up window held up the first sight of the program's window).
  void MakeTips();

  void SetNameText(const std::string& text);
  void SetRowCount(std::int16_t count);
  void SetHostText(const std::string& text);
  void SelectRow(std::int16_t row);
  void SetRowLabel(const std::string& text);
  void SetRowValue(const std::string& text);
  void SetRowToolTip(const std::string& text);

  const ChartModel& model() const { return model_; }
  // Draws the whole chart, as it shows, into `dc` (the window's size).
  void Render(HDC dc);
  // The chart without the keyboard's marks, in a new bitmap the caller
  // deletes; null while the chart has no size.
  HBITMAP Image();
  // That image as a PNG, whole or not at all (chart_export.h); `path` in
  // the ANSI code page, as the save dialog gives it. False, and why, when
  // it can't be written.
  bool SaveImage(const std::string& path, std::string* reason = nullptr);
  // Fonts and sizes follow the window's DPI.
  void SetDpi(int dpi);

  // A row's slot across the plot, in client coordinates (index from 0),
  // and the row whose slot holds a point.
  RECT RowRect(std::size_t index) const;
  std::optional<std::size_t> RowAt(POINT client) const;
  // Selects a row as the keys would (an index past the end: the last).
  void SelectIndex(std::size_t index);
  bool focused() const { return window_ != nullptr && GetFocus() == window_; }
  // Where everything shows, in pixels at 96 dpi; scaled to the window's
  // DPI when painted.
  chart::Layout LayOut(bool focused) const;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // The chart drawn into a new bitmap compatible with `dc`; the caller
  // deletes it.
  HBITMAP Draw(HDC dc, bool focused);
  void Paint(HDC dc, const chart::Layout& layout);
  HFONT FontFor(chart::Font font, bool turned) const;
  int Px(int pixelsAt96) const { return MulDiv(pixelsAt96, dpi_, 96); }
  RECT Scaled(const chart::Box& box) const;
  void ShowMenu(LPARAM at);
  // After a change: repainted, and screen readers told what really changed.
  void Changed(bool renamed, std::optional<std::size_t> selectedBefore);
  void Announce(DWORD event, long child);
  void DropAccessible();
  void MakeFonts();
  void DeleteFonts();
  void UpdateTools();

  HWND window_ = nullptr;
  HWND tips_ = nullptr;
  std::size_t tools_ = 0;
  ChartModel model_;
  int dpi_ = 96;
  HFONT fonts_[5] = {};  // the four styles upright, the axis title turned
  std::string tipText_;  // what the tooltip shows, alive while it shows
  int writing_ = 0;      // the row the run writes to (from 1)
  ChartAccessible* accessible_ = nullptr;  // made when first asked for
  bool destroyed_ = false;
};

}  // namespace tolvane::ui::win
