// The Win32 main window from inside: a change of the monitor's DPI, tab
// order and colours, the tray, and the About dialog's texts from this
// executable's version record.
#include <windows.h>

#include <gtest/gtest.h>

#include <intrin.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "app/about_layout.h"
#include "app/controls.h"
#include "app/layout.h"
#include "win32/window_ids.h"
#include "win32/dpi.h"
#include "win32/latency_chart.h"
#include "win32/main_window.h"
#include "win32/png.h"
#include "win32/tray_module.h"
#include "support/parity_run.h"

namespace tolvane::ui::win {
namespace {

std::string Text(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The GDI and USER objects this process holds. Wine's GetGuiResources
// answers 0: there, the live entries of the process's GDI handle table
// (the PEB's GdiSharedHandleTable) and the thread's windows stand in.
struct GuiObjects {
  long gdi, user;
};
GuiObjects CountGuiObjects() {
  HANDLE self = GetCurrentProcess();
  GuiObjects n{static_cast<long>(GetGuiResources(self, GR_GDIOBJECTS)),
               static_cast<long>(GetGuiResources(self, GR_USEROBJECTS))};
  if (n.gdi == 0) {
    struct Entry {
      std::uint64_t object;
      std::uint16_t process, count, upper, type;
      std::uint64_t user;
    };
    const auto* peb = reinterpret_cast<const unsigned char*>(__readgsqword(0x60));
    const auto* table = *reinterpret_cast<const Entry* const*>(peb + 0xF8);
    for (std::size_t i = 0; table && i < 0x10000; ++i) n.gdi += table[i].type != 0 && table[i].object != 0;
  }
  if (n.user == 0) {
    EnumThreadWindows(GetCurrentThreadId(), [](HWND top, LPARAM count) -> BOOL {
      ++*reinterpret_cast<long*>(count);
      EnumChildWindows(top, [](HWND, LPARAM c) -> BOOL { return ++*reinterpret_cast<long*>(c) > 0; }, count);
      return TRUE;
    }, reinterpret_cast<LPARAM>(&n.user));
  }
  return n;
}

class MainWindowWin : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window.Open(SW_HIDE));
    main = window.handle();
  }
  MainWindow window{GetModuleHandleA(nullptr)};
  HWND main = nullptr;
};

// The frame, translucency, shadow and every control's place at 96 and 144
// dpi are checked from outside, on the real program (wine_window_test.sh).

// Moved to a monitor of another DPI, the window takes the size Windows
// suggests and every control its place at that scale.
TEST_F(MainWindowWin, FollowsTheMonitorsDpi) {
  for (int newDpi : {120, 144, 96}) {
    SCOPED_TRACE(newDpi);
    const RECT frame = FrameFor(layout::kClientArea, static_cast<DWORD>(GetWindowLongPtrA(main, GWL_STYLE)),
                                static_cast<DWORD>(GetWindowLongPtrA(main, GWL_EXSTYLE)), newDpi);
    RECT suggested{10, 10, 10 + frame.right - frame.left, 10 + frame.bottom - frame.top};
    SendMessageA(main, WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));
    RECT client;
    GetClientRect(main, &client);
    const layout::PixelRect area = layout::Scaled(layout::kClientArea, newDpi);
    EXPECT_EQ(client.right, area.width);
    EXPECT_EQ(client.bottom, area.height);
    std::vector<std::pair<int, layout::Place>> places{{kGraph, layout::kGraph}};
    for (const controls::Control& control : controls::kControls) places.emplace_back(control.id, control.place);
    for (const auto& [id, place] : places) {
      RECT r;
      GetWindowRect(GetDlgItem(main, id), &r);
      MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
      const layout::PixelRect expected = layout::Scaled(place, newDpi);
      EXPECT_EQ(r.left, expected.left) << id;
      EXPECT_EQ(r.top, expected.top) << id;
      EXPECT_EQ(r.right - r.left, expected.width) << id;
      EXPECT_EQ(r.bottom - r.top, expected.height) << id;
    }
  }
}

// The icon isn't loaded for the first sight of the window; the work posted
// for after it gives the class the program's icon.
TEST_F(MainWindowWin, TakesItsIconOnceShown) {
  const auto icon = reinterpret_cast<ULONG_PTR>(LoadIconA(GetModuleHandleA(nullptr), "IDI_ICON1"));
  ASSERT_NE(icon, 0u);
  SetClassLongPtrA(main, GCLP_HICON, 0);  // the class outlives earlier tests' windows
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  EXPECT_EQ(GetClassLongPtrA(main, GCLP_HICON), icon);
  EXPECT_NE(GetClassLongPtrA(main, GCLP_HICONSM), 0u);
}

TEST_F(MainWindowWin, TabWalksTheControlsInTheirOrder) {
  ShowWindow(GetDlgItem(main, kCommand5), SW_SHOW);  // as during a run
  const int order[] = {kGraph, kText1, kCommand1, kCommand2, kDuration, kInterval,
                       kCommand3, kCommand4, kCommand5, kGraph};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    HWND next = GetNextDlgTabItem(main, GetDlgItem(main, order[i]), FALSE);
    EXPECT_EQ(GetDlgCtrlID(next), order[i + 1]) << "after " << order[i];
  }
}

TEST_F(MainWindowWin, ColoursLabelsAndBoxes) {
  struct Case {
    int id;
    UINT message;
    COLORREF text;
    int background;  // system colour index, or -1 for the labels' transparency
  };
  const Case cases[] = {
      {kLabel1, WM_CTLCOLORSTATIC, RGB(0, 255, 0), -1},
      {kResults, WM_CTLCOLORSTATIC, RGB(0, 255, 0), -1},
      {kText1, WM_CTLCOLOREDIT, GetSysColor(COLOR_MENU), COLOR_APPWORKSPACE},
      {kDuration, WM_CTLCOLOREDIT, GetSysColor(COLOR_WINDOWTEXT), COLOR_APPWORKSPACE},
      {kInterval, WM_CTLCOLOREDIT, GetSysColor(COLOR_WINDOWTEXT), COLOR_APPWORKSPACE},
  };
  HDC dc = CreateCompatibleDC(nullptr);
  for (const Case& c : cases) {
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    const LRESULT brush = SendMessageA(main, c.message, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(GetDlgItem(main, c.id)));
    EXPECT_NE(brush, 0) << c.id;
    EXPECT_EQ(GetTextColor(dc), c.text) << c.id;
    if (c.background < 0) {
      EXPECT_EQ(GetBkMode(dc), TRANSPARENT) << c.id;
    } else {
      EXPECT_EQ(GetBkColor(dc), GetSysColor(c.background)) << c.id;
      EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(c.background)) << c.id;
    }
  }
  DeleteDC(dc);
}

// A box shows the run's UTF-8 text as it is, beyond the ANSI code page too
// (a locale's decimal separator may be "\u066B").
TEST_F(MainWindowWin, BoxesShowTheirTextBeyondTheCodePage) {
  std::wstring shown;
  std::thread reader([&shown] {
    for (int i = 0; i < 300 && shown.empty(); ++i) {
      Sleep(10);
      if (HWND box = FindWindowW(L"#32770", L"Tolvane")) {
        wchar_t text[64] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 64);  // a message box's text
        shown = text;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
    }
  });
  window.ShowMessage("0\xD9\xAB" "5 \xE2\x82\xAC", RunView::BoxIcon::None);
  reader.join();
  EXPECT_EQ(shown, L"0\x066B" L"5 \x20AC");
}

// The painter paints the layout: the reply bar's gradient at its centre,
// the lost bar's frame, the focused row's outline and text box. (Where
// everything goes is the layout's test; that both painters agree, the
// parity test's.)
TEST(LatencyChartWin, PaintsItsLayout) {
  HWND parent = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 609, 265, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  LatencyChart chart(GetModuleHandleA(nullptr), parent, kGraph, layout::PixelRect{0, 0, 609, 265}, 96);
  test::WriteParityRun(chart.control());
  SetFocus(chart.handle());
  for (WPARAM key : {VK_HOME, VK_RIGHT}) SendMessageA(chart.handle(), WM_KEYDOWN, key, 0);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 609, 265);
  SelectObject(dc, bitmap);
  chart.Render(dc);
  const chart::Layout layout = chart.LayOut(true);
  const chart::Box reply = layout.bars[0], lost = layout.bars[1], slot = layout.rowSlots[1];
  const int y = (reply.top + reply.bottom) / 2;
  for (const chart::Shape& shape : layout.shapes) {
    const auto* fill = std::get_if<chart::Gradient>(&shape);
    if (!fill || !(fill->box == reply)) continue;
    const Colour want = fill->RowColour(y - reply.top, reply.height());
    const COLORREF got = GetPixel(dc, (reply.left + reply.right) / 2, y);
    EXPECT_NEAR(GetGValue(got), Green(want), 2);
    EXPECT_NEAR(GetRValue(got), Red(want), 2);
  }
  auto rgb = [](Colour c) { return RGB(Red(c), Green(c), Blue(c)); };
  EXPECT_EQ(GetPixel(dc, lost.left, (lost.top + lost.bottom) / 2), rgb(kLostColour));
  EXPECT_EQ(GetPixel(dc, slot.left, layout.plot.top - 3), rgb(kLabelColour));  // the outline's first dash
  ASSERT_TRUE(layout.tipBox);
  EXPECT_EQ(GetPixel(dc, layout.tipBox->left + 1, layout.tipBox->top + 1), rgb(kTipColour));
  DeleteDC(dc);
  DeleteObject(bitmap);
  ReleaseDC(nullptr, screen);
  DestroyWindow(parent);
}

// The saved file is a PNG of the chart's own size, whatever that is, under
// a name in any script and at a path of any length; a folder that isn't
// there is a failure, not a silent success.
TEST(LatencyChartWin, SavesAPngOfItsOwnSize) {
  wchar_t temp[MAX_PATH] = L"";
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = temp + std::wstring(L"tolvane-") + std::to_wstring(GetCurrentProcessId()) + L"\\";
  const std::wstring deep[] = {folder + std::wstring(150, L'd') + L"\\",
                               folder + std::wstring(150, L'd') + L"\\" + std::wstring(150, L'e') + L"\\"};
  for (const std::wstring& f : {folder, deep[0], deep[1]}) ASSERT_TRUE(CreateDirectoryW(LongPath(f).c_str(), nullptr));
  const std::pair<SIZE, std::wstring> cases[] = {
      {SIZE{609, 265}, folder + L"chart.png"},
      {SIZE{320, 140}, folder + L"\x0433\x0440\x0430\x0444\x0438\x043a.png"},
      {SIZE{320, 140}, deep[1] + L"\x03b4\x03b9\x03ac\x03b3\x03c1\x03b1\x03bc\x03bc\x03b1.png"},
  };
  for (const auto& [size, path] : cases) {
    HWND parent = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, size.cx, size.cy, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    LatencyChart chart(GetModuleHandleA(nullptr), parent, kGraph, layout::PixelRect{0, 0, size.cx, size.cy}, 96);
    HBITMAP image = chart.Image();
    std::string reason;
    ASSERT_TRUE(SavePng(image, path, &reason)) << size.cx << reason;
    std::string png(64, '\0');
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD read = 0;
    ReadFile(file, png.data(), static_cast<DWORD>(png.size()), &read, nullptr);
    CloseHandle(file);
    EXPECT_TRUE(DeleteFileW(LongPath(path).c_str())) << "not saved under its own name: " << path.size();
    ASSERT_GE(read, 24u);
    auto big = [&](std::size_t at) {
      return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
             (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
    };
    EXPECT_EQ(png.substr(0, 16), std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16));
    EXPECT_EQ(big(16), size.cx);
    EXPECT_EQ(big(20), size.cy);
    EXPECT_FALSE(SavePng(image, folder + L"no such folder\\chart.png", &reason));
    EXPECT_FALSE(reason.empty());
    DeleteObject(image);
    DestroyWindow(parent);
  }
  // Nothing left beside the files: each folder empties.
  for (const std::wstring& f : {deep[1], deep[0], folder}) EXPECT_TRUE(RemoveDirectoryW(LongPath(f).c_str()));
}

// A run through the window and its message boxes are driven from outside,
// on the real program, by the window test (wine_window_test.sh).

TEST_F(MainWindowWin, AboutShowsTheVersionRecordAndClosesOnEnterAndEsc) {
  struct Seen {
    std::string caption, title, version, comments, description;
  };
  static std::vector<Seen> shown;
  static RECT okAt144;
  static const WPARAM keys[] = {VK_RETURN, VK_ESCAPE};
  shown.clear();
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
    HWND about = FindWindowA(kAboutClass, nullptr);
    if (about == nullptr || !IsWindowVisible(about) || shown.size() >= 2) return;
    shown.push_back({Text(about), Text(GetDlgItem(about, kLblTitle)), Text(GetDlgItem(about, kLblVersion)),
                     Text(GetDlgItem(about, kLblDisclaimer)), Text(GetDlgItem(about, kLblDescription))});
    if (shown.size() == 2) {
      // Moved to a monitor at 144 dpi: the dialog's parts scale with it.
      RECT suggested{0, 0, 900, 600};
      SendMessageA(about, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
      GetWindowRect(GetDlgItem(about, kCmdOK), &okAt144);
      MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&okAt144), 2);
    }
    PostMessageA(GetFocus(), WM_KEYDOWN, keys[shown.size() - 1], 0);
  });
  SendMessageA(GetDlgItem(main, kCommand4), BM_CLICK, 0, 0);  // returns once closed
  SendMessageA(GetDlgItem(main, kCommand4), BM_CLICK, 0, 0);
  KillTimer(nullptr, timer);
  ASSERT_EQ(shown.size(), 2u);
  for (const Seen& s : shown) {  // the second showing sets its texts anew
    EXPECT_EQ(s.caption, "About Tolvane");
    EXPECT_EQ(s.title, "Tolvane");
    EXPECT_EQ(s.version, "Version 1.0.10");
    EXPECT_EQ(s.comments, "Shows the network latency to one host as a chart.");
    EXPECT_EQ(s.description.rfind(" Tolvane, allows you", 0), 0u);
  }
  EXPECT_TRUE(IsWindowEnabled(main));
  const layout::PixelRect ok = layout::Scaled(about::ControlOf(kCmdOK).place, 144);
  EXPECT_EQ(okAt144.left, ok.left);
  EXPECT_EQ(okAt144.top, ok.top);
  EXPECT_EQ(okAt144.right - okAt144.left, ok.width);
}

// Twenty rounds of About (moved to 144 dpi and back while it shows) and of
// the window moved to 144 dpi and back leave the objects one round left.
TEST_F(MainWindowWin, AboutAndDpiChangesLeaveNoObjectsBehind) {
  static const auto move = [](HWND window, int dpi) {
    RECT suggested{0, 0, 900, 600};
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  };
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
    HWND about = FindWindowA(kAboutClass, nullptr);
    if (about == nullptr || !IsWindowVisible(about)) return;
    // The OK button keeps a live font through the change.
    move(about, 144);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(SendMessageA(GetDlgItem(about, kCmdOK), WM_GETFONT, 0, 0))),
              static_cast<DWORD>(OBJ_FONT));
    move(about, 96);
    SendMessageA(about, WM_CLOSE, 0, 0);
  });
  const auto round = [&] {
    SendMessageA(GetDlgItem(main, kCommand4), BM_CLICK, 0, 0);  // returns once closed
    move(main, 144);
    move(main, 96);
  };
  round();  // the first makes the dialog and loads the icons
  const GuiObjects before = CountGuiObjects();
  for (int i = 0; i < 20; ++i) round();
  const GuiObjects after = CountGuiObjects();
  KillTimer(nullptr, timer);
  std::printf("GDI objects %ld, then %ld; USER objects %ld, then %ld (20 rounds)\n", before.gdi, after.gdi,
              before.user, after.user);
  EXPECT_GT(before.gdi, 0);
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.user, before.user);
}

// The layout is kept between questions, never past a change: the rows'
// places follow the row count, the size and the DPI at once.
TEST(LatencyChartWin, RowPlacesFollowEveryChange) {
  HWND parent = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 609, 265, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  LatencyChart chart(GetModuleHandleA(nullptr), parent, kGraph, layout::PixelRect{0, 0, 609, 265}, 96);
  const auto width = [&] { return chart.RowRect(0).right - chart.RowRect(0).left; };
  chart.control().SetRowCount(5);
  const LONG five = width();
  EXPECT_EQ(chart.RowAt(POINT{chart.RowRect(4).left + 1, chart.RowRect(4).top + 1}), 4u);
  chart.control().SetRowCount(10);
  EXPECT_LT(width(), five);
  EXPECT_GT(chart.RowRect(9).right, 0);
  const LONG ten = width();
  MoveWindow(chart.handle(), 0, 0, 400, 265, FALSE);
  EXPECT_LT(width(), ten);
  chart.SetDpi(144);
  LatencyChart fresh(GetModuleHandleA(nullptr), parent, kGraph + 1, layout::PixelRect{0, 0, 400, 265}, 144);
  fresh.control().SetRowCount(10);
  EXPECT_EQ(chart.RowRect(3).left, fresh.RowRect(3).left);
  EXPECT_EQ(width(), fresh.RowRect(0).right - fresh.RowRect(0).left);
  DestroyWindow(parent);
}

// A chart whose window went with its parent forgets the handle: its end
// has nothing left to destroy, and no windows pile up.
TEST(LatencyChartWin, ForgetsTheWindowThatWentWithItsParent) {
  const long before = CountGuiObjects().user;
  for (int i = 0; i < 20; ++i) {
    HWND parent = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 320, 140, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    auto chart = std::make_unique<LatencyChart>(GetModuleHandleA(nullptr), parent, kGraph,
                                                layout::PixelRect{0, 0, 320, 140}, 96);
    chart->MakeTips();
    DestroyWindow(parent);
    EXPECT_EQ(chart->handle(), nullptr);
  }
  EXPECT_EQ(CountGuiObjects().user, before);
}

// A shell that takes or refuses icons, and notes what it got.
struct FakeShell {
  static inline bool accepts = true;
  static inline std::vector<NOTIFYICONDATAW> added;
  static inline std::vector<DWORD> calls;
  static BOOL WINAPI Notify(DWORD message, NOTIFYICONDATAW* data) {
    calls.push_back(message);
    if (message == NIM_ADD) added.push_back(*data);
    return message == NIM_DELETE || accepts;
  }
};

class MainWindowTray : public testing::Test {
 protected:
  void SetUp() override {
    FakeShell::accepts = true;
    FakeShell::added.clear();
    FakeShell::calls.clear();
    UseShellNotifyIcon(&FakeShell::Notify);
    ASSERT_TRUE(window.Open(SW_SHOW));
    main = window.handle();
    ownProcedure = GetWindowLongPtrA(main, GWLP_WNDPROC);
  }
  void TearDown() override { UseShellNotifyIcon(nullptr); }
  bool Visible() const { return (GetWindowLongPtrA(main, GWL_STYLE) & WS_VISIBLE) != 0; }

  std::vector<NOTIFYICONDATAW>& added = FakeShell::added;
  MainWindow window{GetModuleHandleA(nullptr)};
  HWND main = nullptr;
  LONG_PTR ownProcedure = 0;
};

// Reads the popup menu's items while it is open, then closes it.
std::vector<std::string>* menuItems = nullptr;
void CALLBACK ReadMenu(HWND, UINT, UINT_PTR, DWORD) {
  HWND popup = FindWindowA("#32768", nullptr);
  if (popup == nullptr || !IsWindowVisible(popup)) return;
  const HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[32] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    menuItems->push_back(text);
  }
  EndMenu();
}

TEST_F(MainWindowTray, SystrayHidesBehindTheIconAndRestoreBringsItBack) {
  SendMessageA(GetDlgItem(main, kCommand3), BM_CLICK, 0, 0);
  EXPECT_FALSE(Visible());
  ASSERT_EQ(added.size(), 1u);
  const NOTIFYICONDATAW record = added[0];
  EXPECT_EQ(record.hWnd, main);
  EXPECT_EQ(record.uCallbackMessage, static_cast<UINT>(WM_RBUTTONUP));
  EXPECT_STREQ(record.szTip, L"Tolvane");
  EXPECT_NE(record.hIcon, nullptr);
  EXPECT_NE(GetWindowLongPtrA(main, GWLP_WNDPROC), ownProcedure);

  // A restarted shell gets the same icon again.
  SendMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  ASSERT_EQ(added.size(), 2u);
  EXPECT_EQ(added[1].uID, record.uID);
  EXPECT_EQ(added[1].hWnd, record.hWnd);

  // The right button pressed over the icon opens "&Restore" / "&Exit".
  std::vector<std::string> items;
  menuItems = &items;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, &ReadMenu);
  EXPECT_EQ(SendMessageA(main, WM_RBUTTONUP, 0, WM_RBUTTONDOWN), -1);
  KillTimer(nullptr, timer);
  EXPECT_EQ(items, (std::vector<std::string>{"&Restore", "&Exit"}));
  EXPECT_FALSE(Visible());  // closed without a choice: nothing changes

  SendMessageA(main, WM_COMMAND, kRestore, 0);
  EXPECT_TRUE(Visible());
  EXPECT_EQ(GetWindowLongPtrA(main, GWLP_WNDPROC), ownProcedure);
  EXPECT_EQ(FakeShell::calls.back(), static_cast<DWORD>(NIM_DELETE));
  // Not resident: a restarted shell gets nothing.
  SendMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_EQ(added.size(), 2u);
}

TEST_F(MainWindowTray, WithoutANotificationAreaTheWindowStaysAndSaysSo) {
  FakeShell::accepts = false;
  static std::string said;
  said.clear();
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindWindowA("#32770", "Tolvane");
    if (box == nullptr) return;
    said = Text(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  SendMessageA(GetDlgItem(main, kCommand3), BM_CLICK, 0, 0);
  KillTimer(nullptr, timer);
  EXPECT_EQ(said, "The notification area isn't available, so the window stays open.");
  EXPECT_TRUE(Visible());
  EXPECT_EQ(GetWindowLongPtrA(main, GWLP_WNDPROC), ownProcedure);
  EXPECT_EQ(TrayHook().hooked, kFalse);
}

// Alt and the underlined letter press the button, through the dialog keys
// the program's loop hands over.
TEST_F(MainWindowTray, AltSAndEnterPressSystray) {
  SetFocus(GetDlgItem(main, kText1));
  MSG key{GetDlgItem(main, kText1), WM_SYSCHAR, 's', 0x20000000, 0, {}};
  EXPECT_TRUE(window.TranslateDialogKeys(key));
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  EXPECT_EQ(added.size(), 1u);
  EXPECT_FALSE(Visible());
  SendMessageA(main, WM_COMMAND, kRestore, 0);

  // Enter presses the focused button; in a box it presses nothing.
  struct Case {
    int focus;
    std::size_t added;
  };
  for (const Case& c : {Case{kDuration, 1}, Case{kCommand3, 2}}) {
    SetFocus(GetDlgItem(main, c.focus));
    MSG enter{GetDlgItem(main, c.focus), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    window.TranslateDialogKeys(enter);
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    EXPECT_EQ(added.size(), c.added) << c.focus;
    SendMessageA(main, WM_COMMAND, kRestore, 0);
  }
}

// The manifest asks for per-monitor DPI awareness and common controls 6.
TEST(Manifest, DeclaresPerMonitorDpiAndCommonControlsSix) {
  const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  const auto* data = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
  const std::string manifest(data, SizeofResource(nullptr, found));
  for (const char* part : {"PerMonitorV2", "true/pm", "Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\""}) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace tolvane::ui::win
