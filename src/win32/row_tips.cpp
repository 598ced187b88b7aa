#include "win32/row_tips.h"

#include <commctrl.h>

#include "win32/wide_text.h"

namespace tolvane::ui::win {

RowTips::RowTips(HWND chart)
    : chart_(chart),
      tips_(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, chart, nullptr,
                            reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(chart, GWLP_HINSTANCE)), nullptr)) {
  if (tips_) SetWindowSubclass(tips_, &RowTips::TipsProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

RowTips::~RowTips() {
  if (!tips_) return;
  RemoveWindowSubclass(tips_, &RowTips::TipsProc, 0);
  DestroyWindow(tips_);
}

// The tip window goes with the chart's top-level window, which owns it,
// often before this object: its handle is forgotten then.
LRESULT CALLBACK RowTips::TipsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, &RowTips::TipsProc, 0);
    reinterpret_cast<RowTips*>(self)->tips_ = nullptr;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

void RowTips::Place(const std::vector<RECT>& slots, const std::optional<RECT>& host) {
  if (!tips_) return;
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = chart_;
  const auto send = [&](UINT message, UINT_PTR id, const RECT& rect) {
    tool.uId = id;
    tool.rect = rect;
    SendMessageW(tips_, message, 0, reinterpret_cast<LPARAM>(&tool));
  };
  for (std::size_t i = 0; i < tools_; ++i) send(TTM_DELTOOLW, i + 1, RECT{});
  if (hostTool_) send(TTM_DELTOOLW, kHostTool, RECT{});
  tools_ = slots.size();
  hostTool_ = host.has_value();
  tool.uFlags = TTF_SUBCLASS;
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  for (std::size_t i = 0; i < tools_; ++i) send(TTM_ADDTOOLW, i + 1, slots[i]);
  if (host) send(TTM_ADDTOOLW, kHostTool, *host);
}

bool RowTips::Answer(LPARAM notice, const std::function<std::string(std::size_t)>& text) {
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(notice);
  if (!tips_ || info->hdr.hwndFrom != tips_ || info->hdr.code != TTN_GETDISPINFOW) return false;
  shown_ = Wide(text(info->hdr.idFrom == kHostTool ? kHostRow : info->hdr.idFrom - 1));
  info->lpszText = shown_.data();
  return true;
}

}  // namespace tolvane::ui::win
