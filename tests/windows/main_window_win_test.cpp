// The Win32 main window as it opens: frame, translucency, shadow, every
// control at its place in the twip layout, tab order and colours; and the
// About dialog's texts from this executable's version record.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/about/version_record_win.h"
#include "ui/main/controls_win.h"
#include "ui/main/dpi_win.h"
#include "ui/main/layout.h"
#include "ui/main/main_window_win.h"

namespace tolvane::ui::win {
namespace {

std::string Text(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

class MainWindowWin : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window.Open(SW_HIDE));
    main = window.handle();
    dpi = WindowDpi(main);
  }
  MainWindow window{GetModuleHandleA(nullptr)};
  HWND main = nullptr;
  int dpi = 96;
};

TEST_F(MainWindowWin, OpensTranslucentWithAShadowInAFixedToolFrame) {
  EXPECT_EQ(Text(main), "Tolvane");
  EXPECT_EQ(ClassOf(main), kMainClass);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(main, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 210);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
  EXPECT_TRUE(GetClassLongPtrA(main, GCL_STYLE) & CS_DROPSHADOW);
  const LONG_PTR style = GetWindowLongPtrA(main, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrA(main, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(exStyle & WS_EX_LAYERED);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  RECT client;
  GetClientRect(main, &client);
  const layout::PixelRect expected = layout::Scaled(layout::kClientArea, dpi);
  EXPECT_EQ(client.right, expected.width);
  EXPECT_EQ(client.bottom, expected.height);
}

TEST_F(MainWindowWin, PlacesEveryControlFromTheLayoutTable) {
  struct Case {
    int id;
    const char* className;
    const char* text;
    layout::Place place;
    bool visible;
  };
  const Case cases[] = {
      {kGraph, kChartClass, "", layout::kGraph, true},
      {kLabel3, "Static", "IP:", layout::kLabel3, true},
      {kText1, "Edit", "127.0.0.1", layout::kText1, true},
      {kCommand1, "Button", "Ping", layout::kCommand1, true},
      {kLabel1, "Static", "How many times?", layout::kLabel1, true},
      {kLabel2, "Static", "Int in Sec.", layout::kLabel2, true},
      {kDuration, "Edit", "6", layout::kDuration, true},
      {kInterval, "Edit", "2", layout::kInterval, true},
      {kResults, "Static", "Duration in sec.", layout::kResults, true},
      {kCurrent, "Static", "", layout::kCurrent, true},
      {kCommand5, "Button", "&Stop", layout::kCommand5, false},
      {kCommand4, "Button", "&About", layout::kCommand4, true},
      {kCommand3, "Button", "&Systray", layout::kCommand3, true},
      {kCommand2, "Button", "&Exit", layout::kCommand2, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    HWND control = GetDlgItem(main, c.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ClassOf(control), c.className);
    EXPECT_EQ(Text(control), c.text);
    EXPECT_EQ((GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0, c.visible);
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    const layout::PixelRect expected = layout::Scaled(c.place, dpi);
    EXPECT_EQ(r.left, expected.left);
    EXPECT_EQ(r.top, expected.top);
    EXPECT_EQ(r.right - r.left, expected.width);
    EXPECT_EQ(r.bottom - r.top, expected.height);
  }
  // The buttons over the chart lie above it.
  HWND lower = GetDlgItem(main, kCommand4);
  while ((lower = GetWindow(lower, GW_HWNDNEXT)) != nullptr && lower != GetDlgItem(main, kGraph)) {}
  EXPECT_EQ(lower, GetDlgItem(main, kGraph));
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
