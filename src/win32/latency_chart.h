// The latency chart as a Win32 control: one bar per sample of a run, drawn
// with GDI into a buffer, and a tooltip per row. Looks like the Qt chart.
// With the focus, Left, Right, Home and End select a row, which shows its
// tooltip's text at the row; screen readers read the rows as a list
// (ChartAccessible).
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

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
  // The right-click menu's "Copy as CSV": the rows onto the clipboard as
  // text. False when the clipboard can't be had.
  bool CopyCsv();
  // The chart as it shows now, as a PNG of the window's size; `path` in the
  // ANSI code page, as the save dialog gives it. False when the file can't
  // be written.
  bool SaveImage(const std::string& path);
  // Fonts and margins follow the window's DPI.
  void SetDpi(int dpi);

  // A row's slot across the plot, in client coordinates (index from 0),
  // and the row whose slot holds a point.
  RECT RowRect(std::size_t index) const;
  std::optional<std::size_t> RowAt(POINT client) const;
  // Selects a row as the keys would (an index past the end: the last).
  void SelectIndex(std::size_t index);
  bool focused() const { return window_ != nullptr && GetFocus() == window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // `focus`: with the dotted rectangle that marks the keyboard focus.
  void Paint(HDC dc, const RECT& area, bool focus);
  void PaintFocus(HDC dc, const RECT& plot);
  // The chart drawn into a new bitmap compatible with `dc`; the caller
  // deletes it.
  HBITMAP Draw(HDC dc, const RECT& client, bool focus);
  void ShowMenu(LPARAM at);
  void Move(ChartModel::Move move);
  // Tells screen readers which row is selected now, when it moved.
  void SelectionMoved(std::optional<std::size_t> before);
  void Announce(DWORD event, long child);
  void AnnounceWrittenRow();
  void DropAccessible();
  void SaveImageAs();
  RECT PlotArea(const RECT& client) const;
  RECT RowSlot(const RECT& plot, std::size_t index) const;
  void MakeFonts();
  void DeleteFonts();
  void UpdateTools();
  void Changed(bool rowsMoved);
  int Px(double pixelsAt96) const;

  HWND window_ = nullptr;
  HWND tips_ = nullptr;
  std::size_t tools_ = 0;
  ChartModel model_;
  int dpi_ = 96;
  HFONT titleFont_ = nullptr;
  HFONT axisTitleFont_ = nullptr;
  HFONT verticalTitleFont_ = nullptr;
  HFONT labelFont_ = nullptr;
  HFONT legendFont_ = nullptr;
  std::string tipText_;  // what the tooltip shows, alive while it shows
  int writing_ = 0;      // the row the run writes to (from 1)
  ChartAccessible* accessible_ = nullptr;  // made when first asked for
  bool destroyed_ = false;
};

}  // namespace tolvane::ui::win
