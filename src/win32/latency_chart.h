// The latency chart as a Win32 control: one bar per sample of a run. Where
// everything goes comes from the core (app/chart_layout.h), what a change
// means from app/chart_control.h; this control only paints with GDI at the
// window's DPI, into a buffer, and forwards the mouse and the keys. With
// the focus, Left, Right, Home and End select a row, which shows its
// tooltip's text at the row; screen readers read the rows as a list
// (ChartAccessible).
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "app/chart_control.h"
#include "app/chart_layout.h"
#include "app/twips.h"
#include "win32/row_tips.h"

namespace tolvane::ui::win {

class ChartAccessible;

class LatencyChart : private ChartControl::Window {
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

  // The chart's operations, as the run and the window use them.
  ChartControl& control() { return control_; }
  const ChartModel& model() const { return control_.model(); }

  // Where everything shows, in pixels at 96 dpi; scaled to the window's
  // DPI when painted. Kept until the model, the size, the DPI or the focus
  // changes: a screen reader asks every row for its place in turn.
  const chart::Layout& LayOut(bool focused) const;
  // Draws the whole chart, as it shows, into `dc` (the window's size).
  void Render(HDC dc);
  // The chart without the keyboard's marks, in a new bitmap the caller
  // deletes; null while the chart has no size.
  HBITMAP Image();
  // Fonts and sizes follow the window's DPI.
  void SetDpi(int dpi);

  // A row's slot across the plot, in client coordinates (index from 0),
  // and the row whose slot holds a point.
  RECT RowRect(std::size_t index) const;
  std::optional<std::size_t> RowAt(POINT client) const;
  bool Focused() const override { return window_ != nullptr && GetFocus() == window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // ChartControl::Window: repaints, and screen readers told by WinEvents.
  void Repaint() override;
  void RowsChanging(std::size_t, std::size_t) override {}
  void RowsChanged(std::size_t before, std::size_t after) override;
  void DescriptionChanged() override;
  void RowRenamed(std::size_t row) override;
  void SelectionMoved(std::optional<std::size_t> before, std::size_t now, bool focused) override;
  void Announce(DWORD event, long child);

  void Paint(HDC dc, const chart::Layout& layout);
  HBITMAP Draw(HDC dc, bool focused, bool shown);
  int Px(int pixelsAt96) const { return MulDiv(pixelsAt96, dpi_, 96); }
  RECT Scaled(const chart::Box& box) const { return RECT{Px(box.left), Px(box.top), Px(box.right), Px(box.bottom)}; }
  void UpdateTools();

  HWND window_ = nullptr;
  std::unique_ptr<RowTips> tips_;
  ChartControl control_{*this};
  int dpi_ = 96;
  mutable std::optional<chart::Layout> layouts_[2];  // without and with the focus's marks
  ChartAccessible* accessible_ = nullptr;  // made when first asked for
  bool destroyed_ = false;
};

}  // namespace tolvane::ui::win
