// The chart's tooltips: a tool per row over the row's slot, and one over
// the host's legend entry. The text is asked for when a tip shows, so it is
// always the row's (or the host's) latest.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tolvane::ui::win {

class RowTips {
 public:
  explicit RowTips(HWND chart);
  ~RowTips();
  RowTips(const RowTips&) = delete;
  RowTips& operator=(const RowTips&) = delete;

  // The host's tool, apart from the rows' 1, 2, 3 ...; `row` for its text.
  static constexpr UINT_PTR kHostTool = 0xFFFF;
  static constexpr std::size_t kHostRow = static_cast<std::size_t>(-1);

  // The rows' slots and the host's legend entry (if shown), in the chart's
  // client coordinates.
  void Place(const std::vector<RECT>& slots, const std::optional<RECT>& host);
  // The chart's WM_NOTIFY: a tip asking for row's text (UTF-8, from
  // `text`; kHostRow for the host's) is answered; true when the notice was
  // the tips'.
  bool Answer(LPARAM notice, const std::function<std::string(std::size_t row)>& text);

 private:
  static LRESULT CALLBACK TipsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR self);

  HWND chart_;
  HWND tips_;
  std::size_t tools_ = 0;
  bool hostTool_ = false;
  std::wstring shown_;  // the text of the tip that shows, alive while it does
};

}  // namespace tolvane::ui::win
