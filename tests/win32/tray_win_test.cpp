// The tray module on Windows' own window procedures and shell record, with
// real windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/tray.h"
#include "app/tray_menu_owner.h"
#include "win32/notify_area.h"
#include "win32/window_system.h"

namespace tolvane::ui::tray {
namespace {

struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Seen> seen;

// The window's own procedure: notes what reaches it and answers 7.
LRESULT CALLBACK Own(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_USER || message == WM_RBUTTONUP) {
    seen.push_back({message, wParam, lParam});
    return 7;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

struct MenuOwner : TrayMenuOwner {
  int opened = 0;
  void SysTrayMouseEventHandler() override { ++opened; }
};

class TrayWin : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &Own;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TrayWinTest";
    RegisterClassA(&wc);
    window = CreateWindowExA(0, "TrayWinTest", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                             wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    windows.SetMenuOwner(window, &owner);
    UseTrayPlatform(&area, &windows);
    seen.clear();
  }
  void TearDown() override {
    UnhookWindow();
    ResetTray();
    DestroyWindow(window);
  }
  LONG_PTR Procedure() const { return GetWindowLongPtrA(window, GWLP_WNDPROC); }

  HWND window = nullptr;
  MenuOwner owner;
  ShellNotifyArea area;
  Win32WindowSystem windows;
};

TEST_F(TrayWin, HookedTheRightPressOpensTheMenuAndAllElsePassesUnchanged) {
  const auto handle = reinterpret_cast<WindowHandle>(window);
  HookWindow(handle);
  HookWindow(handle);  // twice: the first one's procedure is kept
  ASSERT_EQ(TrayHook().hooked, kTrue);
  EXPECT_NE(Procedure(), reinterpret_cast<LONG_PTR>(&Own));

  struct Case {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    bool passed;
  };
  const Case cases[] = {
      {WM_RBUTTONUP, 1, WM_RBUTTONDOWN, -1, false},  // the press over the icon
      {WM_RBUTTONUP, 1, WM_RBUTTONUP, 7, true},
      {WM_RBUTTONUP, 1, WM_MOUSEMOVE, 7, true},
      {WM_RBUTTONUP, 1, WM_LBUTTONDOWN, 7, true},
      {WM_RBUTTONUP, 1, WM_LBUTTONUP, 7, true},
      {WM_USER + 5, 0x1234, -99, 7, true},
      {WM_USER, 3, WM_RBUTTONDOWN, 7, true},
  };
  for (const Case& c : cases) {
    seen.clear();
    const int opened = owner.opened;
    EXPECT_EQ(SendMessageA(window, c.message, c.wParam, c.lParam), c.result) << c.message << "/" << c.lParam;
    EXPECT_EQ(owner.opened - opened, c.passed ? 0 : 1) << c.lParam;
    ASSERT_EQ(seen.size(), c.passed ? 1u : 0u) << c.lParam;
    if (c.passed) {
      EXPECT_EQ(seen[0].message, c.message);
      EXPECT_EQ(seen[0].wParam, c.wParam);
      EXPECT_EQ(seen[0].lParam, c.lParam);
    }
  }

  // One unhook gives the window its own procedure back, and the press is
  // then an ordinary message of its own.
  UnhookWindow();
  EXPECT_EQ(TrayHook().hooked, kFalse);
  EXPECT_EQ(Procedure(), reinterpret_cast<LONG_PTR>(&Own));
  seen.clear();
  EXPECT_EQ(SendMessageA(window, WM_RBUTTONUP, 0, WM_RBUTTONDOWN), 7);
  EXPECT_EQ(seen.size(), 1u);
  UnhookWindow();  // nothing to undo
  EXPECT_EQ(Procedure(), reinterpret_cast<LONG_PTR>(&Own));
}

// A window that is gone can't be hooked: no null procedure is kept to be
// installed later.
TEST_F(TrayWin, AFailedHookStaysUnhooked) {
  HWND gone = CreateWindowExA(0, "TrayWinTest", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  DestroyWindow(gone);
  HookWindow(reinterpret_cast<WindowHandle>(gone));
  EXPECT_EQ(TrayHook().hooked, kFalse);
  EXPECT_EQ(TrayHook().previous, nullptr);
  // The live window can still be hooked afterwards.
  HookWindow(reinterpret_cast<WindowHandle>(window));
  EXPECT_EQ(TrayHook().hooked, kTrue);
}

TEST(ShellRecord, CarriesTheTrayRecordInTheShellsLayout) {
  TrayIconRecord record;
  record.size = kTrayIconRecordSize;
  record.window = 0x10a2c;
  record.id = 0x2f0041;
  record.flags = kNifMessage | kNifIcon | kNifTip;
  record.callbackMessage = kTrayCallbackMessage;
  record.icon = 0x2f0041;
  record.tip = MakeTipField("Tolvane");
  NOTIFYICONDATAA data = ShellRecord(record);
  EXPECT_EQ(data.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(data.hWnd), 0x10a2cu);
  EXPECT_EQ(data.uID, 0x2f0041u);
  EXPECT_EQ(data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(data.uCallbackMessage, static_cast<UINT>(WM_RBUTTONUP));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(data.hIcon), 0x2f0041u);
  EXPECT_STREQ(data.szTip, "Tolvane");

  // A 64-character tip has no NUL in the record; the shell's copy ends in one.
  record.tip = MakeTipField(std::string(70, 'x'));
  data = ShellRecord(record);
  EXPECT_EQ(std::strlen(data.szTip), 63u);
}

// A shell that answers from a script: what each message returns, and the
// icon it really holds (an add may time out after the icon went up).
struct ScriptedShell {
  static inline std::vector<DWORD> calls;
  static inline bool addResult, iconTakesAdd, iconThere;
  static BOOL WINAPI Notify(DWORD message, NOTIFYICONDATAA*) {
    calls.push_back(message);
    if (message == NIM_DELETE) iconThere = false;
    if (message == NIM_ADD) iconThere = iconThere || iconTakesAdd;
    if (message == NIM_ADD) return addResult;
    return message == NIM_MODIFY ? iconThere : TRUE;
  }
};

TEST(ShellNotifyArea, AnAddCountsWhenTheIconIsThereWhateverTheShellSaid) {
  const struct {
    bool leftOver, addResult, iconTakesAdd, added;
  } cases[] = {
      {false, TRUE, true, true},
      {true, TRUE, true, true},     // an icon of an earlier add goes first
      {false, FALSE, true, true},   // timed out, but up: no orphan, no message
      {false, FALSE, false, false}, // no area: the window must stay
  };
  for (const auto& c : cases) {
    ScriptedShell::calls.clear();
    ScriptedShell::iconThere = c.leftOver;
    ScriptedShell::addResult = c.addResult;
    ScriptedShell::iconTakesAdd = c.iconTakesAdd;
    ShellNotifyArea area(&ScriptedShell::Notify);
    EXPECT_EQ(area.Add(TrayIconRecord{}), c.added);
    EXPECT_EQ(ScriptedShell::calls.front(), static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(ScriptedShell::iconThere, c.added);
  }
}

}  // namespace
}  // namespace tolvane::ui::tray
