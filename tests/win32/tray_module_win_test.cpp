// The tray module on Windows' own window procedures, with real windows and
// a shell that answers from a script.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "win32/tray_module.h"

namespace tolvane::ui::win {
namespace {

std::string Field(const TipField& tip) { return std::string(tip.begin(), tip.end()); }

TEST(TrayRecord, TipIsTextThenOneNulThenSpacesOrCutAtSixtyFour) {
  EXPECT_EQ(Field(MakeTipField("Tolvane")), std::string("Tolvane") + '\0' + std::string(56, ' '));
  EXPECT_EQ(Field(MakeTipField("")), '\0' + std::string(63, ' '));
  EXPECT_EQ(Field(MakeTipField(std::string(63, 'a'))), std::string(63, 'a') + '\0');
  EXPECT_EQ(Field(MakeTipField(std::string(64, 'b'))), std::string(64, 'b'));
  EXPECT_EQ(Field(MakeTipField(std::string(70, 'c'))), std::string(64, 'c'));
}

// What each message returns, and the icon the shell really holds (an add
// may time out after the icon went up).
struct ScriptedShell {
  static inline std::vector<std::pair<DWORD, NOTIFYICONDATAW>> calls;
  static inline bool addResult = TRUE, iconTakesAdd = true, iconThere = false;
  static BOOL WINAPI Notify(DWORD message, NOTIFYICONDATAW* data) {
    calls.emplace_back(message, *data);
    if (message == NIM_DELETE) iconThere = false;
    if (message == NIM_ADD) iconThere = iconThere || iconTakesAdd;
    if (message == NIM_ADD) return addResult;
    return message == NIM_MODIFY ? iconThere : TRUE;
  }
};

// An add fills the record and sends it in the shell's layout, and a
// remove sends it again unchanged.
TEST(TrayRecord, AddFillsAndSendsItRemoveSendsItAgain) {
  UseShellNotifyIcon(&ScriptedShell::Notify);
  ScriptedShell::addResult = ScriptedShell::iconTakesAdd = true;
  const HWND window = reinterpret_cast<HWND>(0x10a2c);
  const HICON icon = reinterpret_cast<HICON>(0x2f0041);
  ScriptedShell::calls.clear();
  ASSERT_TRUE(TrayAdd(window, 0x2f0041, icon, "Tolvane"));
  const TrayIconRecord& r = TrayRecord();
  EXPECT_EQ(r.size, 88u);  // flags and callback as the shell's copies show them below
  TrayRemove();
  TrayRemove();
  EXPECT_EQ(r.id, 0x2f0041u);  // kept: the second remove names the same icon
  ASSERT_EQ(ScriptedShell::calls.size(), 4u);
  for (const auto& [message, data] : ScriptedShell::calls) {
    EXPECT_EQ(data.cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V1_SIZE));
    EXPECT_EQ(data.hWnd, window);
    EXPECT_EQ(data.uID, 0x2f0041u);
    EXPECT_EQ(data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(data.uCallbackMessage, static_cast<UINT>(WM_RBUTTONUP));
    EXPECT_EQ(data.hIcon, icon);
    EXPECT_STREQ(data.szTip, L"Tolvane");
  }
  EXPECT_EQ(ScriptedShell::calls[1].first, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(ScriptedShell::calls[3].first, static_cast<DWORD>(NIM_DELETE));

  // A 64-character tip has no NUL in the record; the shell's copy ends in one.
  TrayAdd(window, 1, icon, std::string(70, 'x'));
  EXPECT_EQ(std::wcslen(ShellRecord(TrayRecord()).szTip), 63u);
  UseShellNotifyIcon(nullptr);
}

TEST(TrayRecord, AnAddCountsWhenTheIconIsThereWhateverTheShellSaid) {
  const struct {
    bool leftOver, addResult, iconTakesAdd, added;
  } cases[] = {
      {false, TRUE, true, true},
      {true, TRUE, true, true},      // an icon of an earlier add goes first
      {false, FALSE, true, true},    // timed out, but up: no orphan, no message
      {false, FALSE, false, false},  // no area: the window must stay
  };
  UseShellNotifyIcon(&ScriptedShell::Notify);
  for (const auto& c : cases) {
    ScriptedShell::calls.clear();
    ScriptedShell::iconThere = c.leftOver;
    ScriptedShell::addResult = c.addResult;
    ScriptedShell::iconTakesAdd = c.iconTakesAdd;
    EXPECT_EQ(TrayAdd(nullptr, 0, nullptr, "Tolvane"), c.added);
    EXPECT_EQ(ScriptedShell::calls.front().first, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(ScriptedShell::iconThere, c.added);
  }
  UseShellNotifyIcon(nullptr);
}

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

class TrayWindowHook : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &Own;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TrayHookTest";
    RegisterClassA(&wc);
    window = CreateWindowExA(0, "TrayHookTest", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                             wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    UseTrayMenuOwner(&owner);
    seen.clear();
  }
  void TearDown() override {
    UnhookWindow();
    UseTrayMenuOwner(nullptr);
    DestroyWindow(window);
  }
  LONG_PTR Procedure() const { return GetWindowLongPtrA(window, GWLP_WNDPROC); }

  HWND window = nullptr;
  MenuOwner owner;
};

TEST_F(TrayWindowHook, HookedTheRightPressOpensTheMenuAndAllElsePassesUnchanged) {
  EXPECT_EQ(TrayWindowProc(window, WM_RBUTTONUP, 1, WM_RBUTTONDOWN), 0);  // not hooked: nothing
  HookWindow(window);
  HookWindow(window);  // twice: the first one's procedure is kept
  ASSERT_EQ(TrayHook().hooked, kTrue);
  EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&TrayWindowProc));

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
  EXPECT_EQ(TrayWindowProc(window, WM_RBUTTONUP, 1, WM_RBUTTONDOWN), 0);
  UnhookWindow();  // nothing to undo
  EXPECT_EQ(Procedure(), reinterpret_cast<LONG_PTR>(&Own));
}

// A window that is gone can't be hooked: no null procedure is kept to be
// installed later.
TEST_F(TrayWindowHook, AFailedHookStaysUnhooked) {
  HWND gone = CreateWindowExA(0, "TrayHookTest", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  DestroyWindow(gone);
  HookWindow(gone);
  EXPECT_EQ(TrayHook().hooked, kFalse);
  // The live window can still be hooked afterwards.
  HookWindow(window);
  EXPECT_EQ(TrayHook().hooked, kTrue);
}

}  // namespace
}  // namespace tolvane::ui::win
