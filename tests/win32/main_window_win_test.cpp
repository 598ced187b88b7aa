// The Win32 main window from inside: a change of the monitor's DPI, tab
// order and colours, the tray, and the About dialog's texts from this
// executable's version record.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "app/about_layout.h"
#include "app/layout.h"
#include "app/notify_area.h"
#include "app/tray.h"
#include "win32/controls.h"
#include "win32/dpi.h"
#include "win32/latency_chart.h"
#include "win32/main_window.h"
#include "win32/png.h"
#include "win32/version_record.h"
#include "support/parity_run.h"

namespace tolvane::ui::win {
namespace {

std::string Text(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
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
    for (const auto& [id, place] : {std::pair{kCommand5, layout::kCommand5}, std::pair{kText1, layout::kText1},
                                    std::pair{kGraph, layout::kGraph}, std::pair{kResults, layout::kResults}}) {
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

TEST(VersionRecord, GivesTheTitleVersionAndCommentsOfThisExecutable) {
  const auto record = about::ReadVersionRecord();
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->title, "Tolvane");
  EXPECT_EQ(record->major, 1);
  EXPECT_EQ(record->minor, 0);
  EXPECT_EQ(record->revision, 10);
  EXPECT_EQ(record->comments, "Shows the network latency to one host as a chart.");
}

}  // namespace
}  // namespace tolvane::ui::win

namespace tolvane::ui::win {
namespace {

// The painter paints the layout: the reply bar's gradient at its centre,
// the lost bar's frame, the focused row's outline and text box. (Where
// everything goes is the layout's test; that both painters agree, the
// parity test's.)
TEST(LatencyChartWin, PaintsItsLayout) {
  HWND parent = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 609, 265, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  LatencyChart chart(GetModuleHandleA(nullptr), parent, kGraph, layout::PixelRect{0, 0, 609, 265}, 96);
  test::WriteParityRun(chart);
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
    const Colour want = fill->ColourAt((y + 0.5 - reply.top) / reply.height());
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

// The saved file is a PNG of the chart's own size, whatever that is; a
// folder that isn't there is a failure, not a silent success.
TEST(LatencyChartWin, SavesAPngOfItsOwnSize) {
  char folder[MAX_PATH] = "";
  GetTempPathA(sizeof folder, folder);
  const std::string path = std::string(folder) + "tolvane-chart-" + std::to_string(GetCurrentProcessId()) + ".png";
  for (const SIZE size : {SIZE{609, 265}, SIZE{320, 140}}) {
    HWND parent = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, size.cx, size.cy, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    LatencyChart chart(GetModuleHandleA(nullptr), parent, kGraph, layout::PixelRect{0, 0, size.cx, size.cy}, 96);
    HBITMAP image = chart.Image();
    std::string reason;
    ASSERT_TRUE(SavePng(image, path, &reason)) << size.cx << reason;
    std::string png(64, '\0');
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD read = 0;
    ReadFile(file, png.data(), static_cast<DWORD>(png.size()), &read, nullptr);
    CloseHandle(file);
    DeleteFileA(path.c_str());
    ASSERT_GE(read, 24u);
    auto big = [&](std::size_t at) {
      return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
             (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
    };
    EXPECT_EQ(png.substr(0, 16), std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16));
    EXPECT_EQ(big(16), size.cx);
    EXPECT_EQ(big(20), size.cy);
    EXPECT_FALSE(SavePng(image, std::string(folder) + "no such folder\\chart.png", &reason));
    EXPECT_FALSE(reason.empty());
    DeleteObject(image);
    DestroyWindow(parent);
  }
}

}  // namespace
}  // namespace tolvane::ui::win

namespace tolvane::ui::win {
namespace {

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

}  // namespace
}  // namespace tolvane::ui::win

namespace tolvane::ui::win {
namespace {

// A notification area that takes or refuses icons, and notes what it got.
struct FakeArea : tray::NotifyArea {
  bool accepts = true;
  std::vector<tray::TrayIconRecord> added, deleted;
  bool Add(const tray::TrayIconRecord& record) override {
    added.push_back(record);
    return accepts;
  }
  void Delete(const tray::TrayIconRecord& record) override { deleted.push_back(record); }
};

class MainWindowTray : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window.Open(SW_SHOW));
    main = window.handle();
    ownProcedure = GetWindowLongPtrA(main, GWLP_WNDPROC);
  }
  bool Visible() const { return (GetWindowLongPtrA(main, GWL_STYLE) & WS_VISIBLE) != 0; }

  FakeArea area;
  MainWindow window{GetModuleHandleA(nullptr), &area};
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
  ASSERT_EQ(area.added.size(), 1u);
  const tray::TrayIconRecord record = area.added[0];
  EXPECT_EQ(record.window, reinterpret_cast<tray::WindowHandle>(main));
  EXPECT_EQ(record.callbackMessage, static_cast<std::uint32_t>(WM_RBUTTONUP));
  EXPECT_EQ(tray::TipText(record.tip), "Tolvane");
  EXPECT_NE(record.icon, 0u);
  EXPECT_NE(GetWindowLongPtrA(main, GWLP_WNDPROC), ownProcedure);

  // A restarted shell gets the same icon again.
  SendMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  ASSERT_EQ(area.added.size(), 2u);
  EXPECT_EQ(area.added[1].id, record.id);
  EXPECT_EQ(area.added[1].window, record.window);

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
  ASSERT_EQ(area.deleted.size(), 1u);
  EXPECT_EQ(area.deleted[0].id, record.id);
  // Not resident: a restarted shell gets nothing.
  SendMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_EQ(area.added.size(), 2u);
}

TEST_F(MainWindowTray, WithoutANotificationAreaTheWindowStaysAndSaysSo) {
  area.accepts = false;
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
  EXPECT_EQ(tray::TrayHook().hooked, tray::kFalse);
}

}  // namespace
}  // namespace tolvane::ui::win

namespace tolvane::ui::win {
namespace {

// Alt and the underlined letter press the button, through the dialog keys
// the program's loop hands over.
TEST_F(MainWindowTray, AltSAndEnterPressSystray) {
  SetFocus(GetDlgItem(main, kText1));
  MSG key{GetDlgItem(main, kText1), WM_SYSCHAR, 's', 0x20000000, 0, {}};
  EXPECT_TRUE(window.TranslateDialogKeys(key));
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  EXPECT_EQ(area.added.size(), 1u);
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
    EXPECT_EQ(area.added.size(), c.added) << c.focus;
    SendMessageA(main, WM_COMMAND, kRestore, 0);
  }
}

}  // namespace
}  // namespace tolvane::ui::win

namespace tolvane::ui::win {
namespace {

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
