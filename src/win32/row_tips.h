// The chart's tooltips: a tool per row over the row's slot. The text is
// asked for when a tip shows, so it is always the row's latest.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tolvane::ui::win {

class RowTips {
 public:
  explicit RowTips(HWND chart);
  ~RowTips();
  RowTips(const RowTips&) = delete;
  RowTips& operator=(const RowTips&) = delete;

  // The rows' slots, in the chart's client coordinates.
  void Place(const std::vector<RECT>& slots);
  // The chart's WM_NOTIFY: a tip asking for row's text (UTF-8, from
  // `text`) is answered; true when the notice was the tips'.
  bool Answer(LPARAM notice, const std::function<std::string(std::size_t row)>& text);

 private:
  static LRESULT CALLBACK TipsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR self);

  HWND chart_;
  HWND tips_;
  std::size_t tools_ = 0;
  std::wstring shown_;  // the text of the tip that shows, alive while it does
};

}  // namespace tolvane::ui::win
