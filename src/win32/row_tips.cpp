#include "win32/row_tips.h"

#include <commctrl.h>

namespace tolvane::ui::win {

RowTips::RowTips(HWND chart)
    : chart_(chart),
      tips_(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, chart, nullptr,
                            reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(chart, GWLP_HINSTANCE)), nullptr)) {}

RowTips::~RowTips() {
  if (tips_) DestroyWindow(tips_);
}

void RowTips::Place(const std::vector<RECT>& slots, const std::optional<RECT>& host) {
  if (!tips_) return;
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = chart_;
  for (std::size_t i = 0; i < tools_; ++i) {
    tool.uId = i + 1;
    SendMessageA(tips_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  if (hostTool_) {
    tool.uId = kHostTool;
    SendMessageA(tips_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  tools_ = slots.size();
  hostTool_ = host.has_value();
  tool.uFlags = TTF_SUBCLASS;
  tool.lpszText = LPSTR_TEXTCALLBACKA;
  for (std::size_t i = 0; i < tools_; ++i) {
    tool.uId = i + 1;
    tool.rect = slots[i];
    SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  if (host) {
    tool.uId = kHostTool;
    tool.rect = *host;
    SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

bool RowTips::Answer(LPARAM notice, const std::function<std::string(std::size_t)>& text) {
  auto* info = reinterpret_cast<NMTTDISPINFOA*>(notice);
  if (!tips_ || info->hdr.hwndFrom != tips_ || info->hdr.code != TTN_GETDISPINFOA) return false;
  // The tip window speaks the ANSI code page.
  const std::string utf8 = text(info->hdr.idFrom == kHostTool ? kHostRow : info->hdr.idFrom - 1);
  std::wstring wide(utf8.size() + 1, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  shown_.assign(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr)),
                '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, shown_.data(), static_cast<int>(shown_.size()), nullptr, nullptr);
  info->lpszText = shown_.data();
  return true;
}

}  // namespace tolvane::ui::win
