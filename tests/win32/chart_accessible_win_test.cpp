// The chart for keyboard and screen-reader users, in this process: its rows
// as an MSAA list, the selection the keys move and what is announced, the
// mark at the selected row, and an object that outlives its window. (The
// real program is read from outside by the window test, through the same
// interface.)
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "win32/window_ids.h"
#include "win32/latency_chart.h"

namespace tolvane::ui::win {
namespace {

VARIANT Id(long id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

// The child's name, or another of its texts.
std::string Name(IAccessible* a, long id, HRESULT* result = nullptr,
                 HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*) = &IAccessible::get_accName) {
  BSTR name = nullptr;
  const HRESULT hr = (a->*get)(Id(id), &name);
  if (result) *result = hr;
  std::string out;
  for (UINT i = 0; name && i < SysStringLen(name); ++i) out += static_cast<char>(name[i]);
  SysFreeString(name);
  return out;
}

long Get(IAccessible* a, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long id) {
  VARIANT v;
  VariantInit(&v);
  return SUCCEEDED((a->*get)(Id(id), &v)) && v.vt == VT_I4 ? v.lVal : -1;
}

long Reported(IAccessible* a, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT*)) {
  VARIANT v;
  VariantInit(&v);
  (a->*get)(&v);
  return v.vt == VT_I4 ? v.lVal : -1;
}

struct Seen {
  DWORD event;
  LONG child;
  bool operator==(const Seen&) const = default;
};
HWND watched = nullptr;
std::vector<Seen> seen;
void CALLBACK Note(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (window == watched && object == OBJID_CLIENT) seen.push_back({event, child});
}
void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

class ChartAccessibleWin : public testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    parent = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 609, 265, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    chart = std::make_unique<LatencyChart>(GetModuleHandleA(nullptr), parent, kGraph,
                                           layout::PixelRect{0, 0, 609, 265}, 96);
  }
  void TearDown() override {
    if (IsWindow(parent)) DestroyWindow(parent);
    chart.reset();
    CoUninitialize();
  }
  // The 12, 15, lost, 20 ms run, every 0.5 s.
  void Run() {
    ChartControl& control = chart->control();
    control.SetRowCount(4);
    control.SetHostText("10.77.3.100");
    const char* values[][2] = {{" .5", "12"}, {" 1", "15"}, {" 1.5", "-"}, {" 2", "20"}};
    for (std::int16_t row = 1; row <= 4; ++row) {
      control.SelectRow(row);
      control.SetRowLabel(values[row - 1][0]);
      if (row == 3) control.SetRowSample({false, 0, 11010, "11010   [ ip req timed out ]"});
      control.SetRowValue(values[row - 1][1]);
    }
  }
  void Key(WPARAM key) { SendMessageA(chart->handle(), WM_KEYDOWN, key, 0); }

  HWND parent = nullptr;
  std::unique_ptr<LatencyChart> chart;
};

TEST_F(ChartAccessibleWin, ListsTheRowsFollowsTheKeysAndOutlivesItsWindow) {
  IAccessible* list = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(chart->handle(), OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&list)),
            S_OK);
  EXPECT_EQ(Get(list, &IAccessible::get_accRole, CHILDID_SELF), ROLE_SYSTEM_LIST);
  EXPECT_EQ(Name(list, CHILDID_SELF), "Latency chart");
  EXPECT_EQ(Name(list, CHILDID_SELF, nullptr, &IAccessible::get_accDescription), "no run yet");

  watched = chart->handle();
  seen.clear();
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_DESCRIPTIONCHANGE, nullptr, Note,
                                       GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  Run();
  Pump();
  long count = 0;
  ASSERT_EQ(list->get_accChildCount(&count), S_OK);
  ASSERT_EQ(count, 4);
  const char* names[] = {".5 s: 12 ms", "1 s: 15 ms", "1.5 s: no reply (11010 ip req timed out)", "2 s: 20 ms"};
  for (long id = 1; id <= 4; ++id) {
    EXPECT_EQ(Name(list, id), names[id - 1]);
    EXPECT_EQ(Get(list, &IAccessible::get_accRole, id), ROLE_SYSTEM_LISTITEM);
  }
  // Announced: a new list, its host, each row as its name changed.
  ASSERT_GE(seen.size(), 6u);
  EXPECT_EQ(seen[0], (Seen{EVENT_OBJECT_REORDER, CHILDID_SELF}));
  EXPECT_EQ(seen[1], (Seen{EVENT_OBJECT_DESCRIPTIONCHANGE, CHILDID_SELF}));
  EXPECT_EQ(seen.back(), (Seen{EVENT_OBJECT_NAMECHANGE, 4}));
  // Every child id is checked: none past the rows, none of another type.
  for (long bad : {-1L, 5L, 40000L}) {
    HRESULT hr = S_OK;
    Name(list, bad, &hr);
    EXPECT_EQ(hr, E_INVALIDARG) << bad;
    EXPECT_EQ(Get(list, &IAccessible::get_accState, bad), -1) << bad;
  }
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(L"1");
  BSTR name = nullptr;
  EXPECT_EQ(list->get_accName(text, &name), E_INVALIDARG);
  VariantClear(&text);

  // The keys, with the chart focused; the arrows are the chart's.
  EXPECT_EQ(SendMessageA(chart->handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);
  SetFocus(chart->handle());
  EXPECT_EQ(Reported(list, &IAccessible::get_accSelection), -1);
  struct Step {
    WPARAM key;
    long row;
  };
  for (const Step& s : {Step{VK_END, 4}, Step{VK_LEFT, 3}, Step{VK_HOME, 1}, Step{VK_LEFT, 1}, Step{VK_RIGHT, 2}}) {
    seen.clear();
    Key(s.key);
    Pump();
    SCOPED_TRACE(s.row);
    EXPECT_EQ(Reported(list, &IAccessible::get_accSelection), s.row);
    EXPECT_EQ(Reported(list, &IAccessible::get_accFocus), s.row);
    for (long id = 1; id <= 4; ++id) {
      const long want = id == s.row ? STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED : 0;
      EXPECT_EQ(Get(list, &IAccessible::get_accState, id) & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED), want) << id;
    }
    if (s.key != VK_LEFT || s.row != 1) {  // Left on the first row moves nothing
      EXPECT_NE(std::find(seen.begin(), seen.end(), Seen{EVENT_OBJECT_SELECTION, s.row}), seen.end());
      EXPECT_NE(std::find(seen.begin(), seen.end(), Seen{EVENT_OBJECT_FOCUS, s.row}), seen.end());
    }
  }
  // A new sample keeps the selection; a shorter run pulls it in.
  chart->control().SelectRow(3);
  chart->control().SetRowValue("17");
  EXPECT_EQ(Reported(list, &IAccessible::get_accSelection), 2);
  EXPECT_EQ(Name(list, 3), "1.5 s: 17 ms");
  Pump();
  seen.clear();
  chart->control().SetRowValue("17");  // the same again: no news for a screen reader
  Pump();
  EXPECT_EQ(std::count(seen.begin(), seen.end(), Seen{EVENT_OBJECT_NAMECHANGE, 3}), 0);
  Key(VK_END);
  chart->control().SetRowCount(2);
  EXPECT_EQ(Reported(list, &IAccessible::get_accSelection), 2);
  list->get_accChildCount(&count);
  EXPECT_EQ(count, 2);
  // Without the focus, nothing is focused, the row stays selected.
  SetFocus(nullptr);
  EXPECT_EQ(Reported(list, &IAccessible::get_accFocus), -1);
  EXPECT_EQ(Get(list, &IAccessible::get_accState, 2) & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED),
            STATE_SYSTEM_SELECTED);
  UnhookWinEvent(hook);

  // The window goes; a client that held on is told so.
  DestroyWindow(parent);
  EXPECT_EQ(list->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(list->get_accName(Id(1), &name), CO_E_OBJNOTCONNECTED);
  list->Release();
}

}  // namespace
}  // namespace tolvane::ui::win
