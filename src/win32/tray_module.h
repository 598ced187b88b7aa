// The tray module: the notification-area icon's record, the hook on the
// main window's procedure while the icon is up, and the procedure that
// hands the icon's right-button press to the window's menu. One record and
// one hook state for the whole program; one thread.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <array>
#include <cstdint>
#include <string_view>

namespace tolvane::ui::win {

inline constexpr std::uint32_t kTrayIconRecordSize = 88;
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;
// The icon reports to its window under this number, with the mouse message
// in lParam. It is WM_RBUTTONUP's: the window's own procedure takes it for
// an ordinary mouse message.
inline constexpr UINT kTrayCallbackMessage = WM_RBUTTONUP;
inline constexpr std::size_t kTipWidth = 64;

// Booleans the module keeps.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

using TipField = std::array<char, kTipWidth>;

// What the last add sent, kept as it was until the next add.
struct TrayIconRecord {
  std::uint32_t size = 0;
  HWND window = nullptr;
  std::uint32_t id = 0;
  std::uint32_t flags = 0;
  std::uint32_t callbackMessage = 0;
  HICON icon = nullptr;
  TipField tip{};
};

struct HookState {
  HWND window = nullptr;
  WNDPROC previous = nullptr;
  std::int16_t hooked = kFalse;  // kTrue while the window's procedure is replaced
};

// The window whose menu the icon's right-button press opens.
class TrayMenuOwner {
 public:
  virtual void SysTrayMouseEventHandler() = 0;

 protected:
  ~TrayMenuOwner() = default;
};

// The text and one NUL, filled up with spaces; a text of 64 characters or
// more is cut to 64, without the NUL.
TipField MakeTipField(std::string_view text);

// The shell's record for the module's. The module keeps the 88-byte layout
// of 32-bit Windows; the shell of this build takes its own first layout,
// so the size is that one's.
NOTIFYICONDATAW ShellRecord(const TrayIconRecord& record);

// Shell_NotifyIconW's form: the shell's own, or a test's.
using NotifyIconFunction = BOOL(WINAPI*)(DWORD message, NOTIFYICONDATAW* data);
// nullptr: the shell's own, loaded with the first icon.
void UseShellNotifyIcon(NotifyIconFunction notify);

// Fills the record and adds the icon. True when the icon is up: an icon of
// the record's window and id left over from before (an add the shell timed
// out on, or an earlier run) is taken down first, and an add that reports
// failure although the shell did put the icon up (it can time out) counts
// as made, since the icon answers a change.
bool TrayAdd(HWND window, std::uint32_t id, HICON icon, std::string_view tip);
// The record's icon again, for a shell that restarted without it.
bool TrayAddAgain();
// Deletes the icon the record describes (that of the last add).
void TrayRemove();

// Replaces the window's procedure by TrayWindowProc. Does nothing while
// hooked, and stays unhooked when the replacement fails.
void HookWindow(HWND window);
// Puts the window's own procedure back; nothing when not hooked.
void UnhookWindow();
// The window's procedure while hooked.
LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Whose menu TrayWindowProc opens; nullptr for none.
void UseTrayMenuOwner(TrayMenuOwner* owner);

const TrayIconRecord& TrayRecord();
const HookState& TrayHook();

}  // namespace tolvane::ui::win
