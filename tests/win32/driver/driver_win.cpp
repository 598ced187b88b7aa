// Drives the Windows program from outside, as another process on the same
// desktop: finds its windows, types, clicks and reads back. The arguments
// are a list of steps, run in order; the first step that fails ends the
// run with its reason and exit status 1. Every wait is bounded.
//
//   window MS                  the main window, shown within MS ms
//   frame                      frame, translucency, drop shadow, layout
//   type NAME TEXT             WM_SETTEXT into a box
//   click NAME                 BM_CLICK on a button (posted: it may open a box)
//   expect NAME TEXT           the control's text is TEXT
//   shown NAME 0|1             the control is visible or not
//   watch PREFIX MS            prints "Current | results" as each tick left
//                              them, until Current begins with PREFIX
//   box TEXT MS                a message box says TEXT, without an icon; OK
//   nobox                      no message box of the program is open
//   rows N                     the chart has N rows (its tooltip, one tool
//                              per row, counts them)
//   tip ROW                    prints the tooltip text of the chart's row
//   hosttip                    prints the tooltip text over the host's legend entry
//   csv                        the chart's menu command "Copy as CSV"; prints
//                              the text it left on the clipboard (UTF-8)
//   main 0|1 MS                the main window becomes visible or hidden
//   menu MS                    a popup menu shows; prints where
//   nomenu MS                  no popup menu shows within MS ms
//   centre NAME                prints the screen point in the control's
//                              middle, "X Y" (the X display's too, under Wine)
//   about MS                   the About dialog shows the version record
//                              of the program's executable
//   about-ok                   its OK button closes it
//   tree                       prints the chart as screen readers read it
//                              (MSAA): its role, name, description and
//                              rows, each row's role, name and state
//   selected ROW MS            the chart's selected row (MSAA) becomes ROW
//   sampled N MS               N of the chart's rows (MSAA) have a sample
//   named NAME TEXT            screen readers name the control TEXT
//   menu-at-row MS             a popup menu shows at the chart's selected row
//   script D...                the scripted host's replies (x = none)
//   focus NAME MS              the program's keyboard focus comes to the
//                              control NAME within MS ms
//   end-shell MS               ends the shell's process (the owner of the
//                              notification area), waiting MS ms at most
//   requests N                 N echoes reached the scripted host
//   save                       the chart's menu command "Save Image…" (posted:
//                              it opens the save dialog)
//   savename TEXT MS           the save dialog shows within MS ms; TEXT
//                              goes into its file name box, then its OK
//   saving 0|1 MS              the save dialog is open or closed
//   asked CAPTION MS           a message box captioned CAPTION shows (the
//                              program's, or the save dialog's question);
//                              prints its text
//   answer CAPTION ID          presses its button ID (1 OK, 6 Yes, 7 No)
//   codepage                   prints the ANSI code page, "codepage N"
//   lonebox CAPTION MS         a message box captioned CAPTION shows, of a
//                              program without a window; prints its text, OK
//
// Texts in steps and in what is printed are UTF-8.

// windows.h first: the others build on it.
#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>
#include <oleacc.h>
#include <shellapi.h>

#include <cctype>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/about_layout.h"
#include "app/chart_style.h"
#include "app/layout.h"
#include "testbed/testbed.h"
#include "win32/window_ids.h"
#include "win32/row_tips.h"
#include "win32/wide_text.h"

namespace {

namespace win = tolvane::ui::win;
namespace layout = tolvane::ui::layout;
using Clock = std::chrono::steady_clock;

struct Control {
  int id;
  layout::Place place;
};

// The main window's controls by their plain names, from the table both
// windows make them from.
const std::map<std::string, Control>& Controls() {
  static const std::map<std::string, Control> controls = [] {
    std::map<std::string, Control> byName = {{"graph", {win::kGraph, layout::kGraph}}};
    for (const auto& c : tolvane::ui::controls::kControls) byName[std::string(c.name)] = {c.id, c.place};
    return byName;
  }();
  return controls;
}

[[noreturn]] void Fail(const std::string& why) { throw std::runtime_error(why); }

// Polls `ready` every 10 ms for at most `ms` milliseconds.
template <typename F>
bool Within(int ms, F ready) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    if (ready()) return true;
    if (Clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// Bounded: a program that hangs must not hang its tests. In UTF-8, as
// the steps are written.
std::optional<std::string> TryText(HWND window) {
  wchar_t text[1024] = L"";
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                           5000, &copied))
    return std::nullopt;
  return tolvane::ui::win::Utf8(text);
}

std::string TextOf(HWND window) {
  std::optional<std::string> text = TryText(window);
  if (!text) Fail("no answer to WM_GETTEXT");
  return *text;
}

std::string ClassOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

struct Found {
  std::string className, caption;
  bool visible;
  HWND window = nullptr;
};

BOOL CALLBACK FindTop(HWND window, LPARAM param) {
  auto* want = reinterpret_cast<Found*>(param);
  if (ClassOf(window) == want->className && (!want->visible || IsWindowVisible(window)) &&
      (want->caption.empty() || TryText(window) == want->caption)) {
    want->window = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindTopLevel(const std::string& className, const std::string& caption, bool visible) {
  Found found{className, caption, visible};
  EnumWindows(FindTop, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

HWND MainWindow() {
  HWND main = FindTopLevel(win::kMainClass, "Tolvane", false);
  if (!main) Fail("no main window");
  return main;
}

HWND ControlNamed(const std::string& name) {
  const auto it = Controls().find(name);
  if (it == Controls().end()) Fail("unknown control " + name);
  HWND control = GetDlgItem(MainWindow(), it->second.id);
  if (!control) Fail("no control " + name);
  return control;
}

// A child's rectangle in its parent's client coordinates.
RECT PlaceOf(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
         std::to_string(r.bottom - r.top);
}

RECT Expected(layout::Place place, int dpi) {
  const layout::PixelRect p = layout::Scaled(place, dpi);
  return RECT{p.left, p.top, p.left + p.width, p.top + p.height};
}

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

using Faults = std::vector<std::string>;

void Report(const char* what, const Faults& faults) {
  if (faults.empty()) return;
  std::string all;
  for (const auto& f : faults) all += "\n  " + f;
  Fail(what + all);
}

// A fixed frame with a caption and a close box only, and every part at its
// place at the window's own DPI. Returns the DPI.
int CheckPlaces(HWND window, layout::Place clientArea, const std::map<std::string, Control>& controls,
                Faults& faults) {
  const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  if (!(style & WS_CAPTION) || !(style & WS_SYSMENU)) faults.push_back("no caption or close box");
  if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) faults.push_back("resizable or min/max boxes");
  const int dpi = static_cast<int>(GetDpiForWindow(window));
  RECT client;
  GetClientRect(window, &client);
  if (!Same(client, Expected(clientArea, dpi)))
    faults.push_back("client area " + Describe(client) + " at " + std::to_string(dpi) + " dpi");
  for (const auto& [name, control] : controls) {
    HWND child = GetDlgItem(window, control.id);
    if (!child) {
      faults.push_back(name + " missing");
      continue;
    }
    const RECT at = PlaceOf(child);
    if (!Same(at, Expected(control.place, dpi))) faults.push_back(name + " at " + Describe(at));
  }
  return dpi;
}

// The main window's frame, translucency, class shadow and layout.
void CheckFrame() {
  HWND main = MainWindow();
  Faults faults;
  const int dpi = CheckPlaces(main, layout::kClientArea, Controls(), faults);
  const LONG_PTR exStyle = GetWindowLongPtrA(main, GWL_EXSTYLE);
  if (!(exStyle & WS_EX_TOOLWINDOW)) faults.push_back("not a tool window");
  if (!(exStyle & WS_EX_LAYERED)) faults.push_back("not layered");
  BYTE alpha = 0;
  DWORD flags = 0;
  if (!GetLayeredWindowAttributes(main, nullptr, &alpha, &flags) || alpha != 210 || !(flags & LWA_ALPHA))
    faults.push_back("opacity " + std::to_string(alpha) + " flags " + std::to_string(flags));
  if (!(GetClassLongPtrA(main, GCL_STYLE) & CS_DROPSHADOW)) faults.push_back("no CS_DROPSHADOW");
  Report("frame:", faults);
  RECT client;
  GetClientRect(main, &client);
  std::printf("frame: %d dpi, %s\n", dpi, Describe(client).c_str());
}

// One line per value that Current took: "Current | results" as they stood
// just before Current changed again. The program may answer between
// writing the two labels, so a tick's line is the last one read before the
// next tick's; two ticks with the same Current text make one line. A tick
// writes Current before results, so results is read first: a pair read
// across a tick can then only hold the new Current with the old results,
// which the next read replaces, never the old Current with the new results.
void Watch(const std::string& prefix, int ms) {
  HWND current = ControlNamed("Current"), results = ControlNamed("results");
  const auto read = [&](std::string& now) {
    std::string shownResults = TextOf(results);
    now = TextOf(current);
    return now + " | " + shownResults;
  };
  std::string shown, line = read(shown);
  // What the labels show before: the end of an earlier run may match too.
  bool changed = false;
  const bool ended = Within(ms, [&] {
    std::string now;
    const std::string nowLine = read(now);
    if (nowLine == line) return changed && shown.rfind(prefix, 0) == 0;
    if (now != shown) {
      std::printf("%s\n", line.c_str());
      std::fflush(stdout);
      shown = now;
      changed = true;
    }
    line = nowLine;
    return false;
  });
  std::printf("%s\n", line.c_str());
  if (!ended) Fail("Current never began with '" + prefix + "'");
}

// The program's message box: a dialog captioned with its title.
HWND MessageBoxWindow() { return FindTopLevel("#32770", "Tolvane", true); }

struct BoxParts {
  std::string text;
  bool icon = false;
};

BOOL CALLBACK ReadBox(HWND child, LPARAM param) {
  auto* parts = reinterpret_cast<BoxParts*>(param);
  if (ClassOf(child) == "Static" && IsWindowVisible(child)) {
    if ((GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      parts->icon = parts->icon || SendMessageA(child, STM_GETICON, 0, 0) != 0;
    } else if (std::optional<std::string> text = TryText(child); text && !text->empty()) {
      parts->text = *text;
    }
  }
  return TRUE;
}

void Box(const std::string& text, int ms) {
  HWND box = nullptr;
  if (!Within(ms, [&] { return (box = MessageBoxWindow()) != nullptr; })) Fail("no message box");
  BoxParts parts;
  EnumChildWindows(box, ReadBox, reinterpret_cast<LPARAM>(&parts));
  if (parts.text != text) Fail("the box says '" + parts.text + "'");
  if (parts.icon) Fail("the box has an icon");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  if (!Within(3000, [&] { return !IsWindow(box) || !IsWindowVisible(box); })) Fail("the box stayed open");
}

void Menu(int ms) {
  HWND menu = nullptr;
  if (!Within(ms, [&] { return (menu = FindTopLevel("#32768", "", true)) != nullptr; })) Fail("no popup menu");
  RECT r;
  GetWindowRect(menu, &r);
  std::printf("menu: %s\n", Describe(r).c_str());
}

std::string VersionString(const std::vector<char>& record, const char* name) {
  struct Translation {
    WORD language, codePage;
  };
  Translation* t = nullptr;
  UINT size = 0;
  if (!VerQueryValueA(record.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&t), &size) ||
      size < sizeof *t)
    Fail("no translation in the version record");
  char path[128];
  std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", t->language, t->codePage, name);
  char* value = nullptr;
  if (!VerQueryValueA(record.data(), path, reinterpret_cast<void**>(&value), &size) || !value)
    Fail(std::string("no ") + name + " in the version record");
  return value;
}

BOOL CALLBACK CollectTexts(HWND child, LPARAM param) {
  reinterpret_cast<std::map<int, std::string>*>(param)->emplace(GetDlgCtrlID(child), TryText(child).value_or(""));
  return TRUE;
}

struct Tips {
  HWND owner;
  HWND window = nullptr;
};

BOOL CALLBACK FindTips(HWND window, LPARAM param) {
  auto* tips = reinterpret_cast<Tips*>(param);
  if (ClassOf(window) == TOOLTIPS_CLASSA && GetWindow(window, GW_OWNER) == tips->owner) {
    tips->window = window;
    return FALSE;
  }
  return TRUE;
}

HWND ChartTips() {
  Tips tips{MainWindow()};
  EnumWindows(FindTips, reinterpret_cast<LPARAM>(&tips));
  if (!tips.window) Fail("the chart has no tooltip");
  return tips.window;
}

std::string TipText(int row);

// Tools but the host's.
void Rows(int want) {
  const auto count = SendMessageA(ChartTips(), TTM_GETTOOLCOUNT, 0, 0) - (TipText(static_cast<int>(win::RowTips::kHostTool)).empty() ? 0 : 1);
  if (count != want) Fail("the chart has " + std::to_string(count) + " rows");
}

// The text a row's tool shows. The tooltip's messages carry pointers, which
// mean something only in the program's own memory: the request is written
// there and the answer read back from there.
std::string TipText(int row) {
  HWND tips = ChartTips(), chart = ControlNamed("graph");
  DWORD pid = 0;
  GetWindowThreadProcessId(tips, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) Fail("cannot open the program's memory");
  constexpr SIZE_T kTextSize = 512;
  auto* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof(TOOLINFOA) + kTextSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = chart;
  tool.uId = static_cast<UINT_PTR>(row);
  tool.lpszText = remote + sizeof tool;
  char text[kTextSize] = "";
  const bool read = remote && WriteProcessMemory(process, remote, &tool, sizeof tool, nullptr) &&
                    SendMessageTimeoutA(tips, TTM_GETTEXTA, kTextSize, reinterpret_cast<LPARAM>(remote),
                                        SMTO_ABORTIFHUNG, 5000, nullptr) &&
                    ReadProcessMemory(process, tool.lpszText, text, kTextSize - 1, nullptr);
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  if (!read) Fail("cannot read the tooltip of row " + std::to_string(row));
  return text;
}

// The clipboard is emptied first: what an earlier copy left must not pass
// for this one's.
void CopyCsv() {
  HWND chart = ControlNamed("graph");
  if (!Within(3000, [] { return OpenClipboard(nullptr) != 0; })) Fail("cannot open the clipboard");
  EmptyClipboard();
  CloseClipboard();
  if (!SendMessageTimeoutA(chart, WM_COMMAND, MAKEWPARAM(win::kCopyCsv, 0), 0, SMTO_ABORTIFHUNG, 5000, nullptr))
    Fail("the chart did not answer");
  if (!Within(3000, [] { return OpenClipboard(nullptr) != 0; })) Fail("cannot open the clipboard");
  std::wstring text;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (const auto* locked = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr) {
    text = locked;
    GlobalUnlock(data);
  }
  CloseClipboard();
  if (text.empty()) Fail("no text on the clipboard");
  const int wide = static_cast<int>(text.size());
  std::string utf8(
      static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

// --- The save dialog and the questions it asks -----------------------------

// A visible top-level window of the program's process that `is` accepts.
template <typename F>
HWND ProgramWindow(F is) {
  struct Search {
    DWORD pid;
    F* is;
    HWND found = nullptr;
  };
  DWORD pid = 0;
  GetWindowThreadProcessId(MainWindow(), &pid);
  Search search{pid, &is};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != s->pid || !IsWindowVisible(window) || ClassOf(window) != "#32770" || !(*s->is)(window))
          return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Message boxes hold their text in a static control of ID 0xFFFF.
constexpr int kBoxText = 0xFFFF;

HWND SaveDialog() {
  return ProgramWindow([](HWND w) { return !GetDlgItem(w, kBoxText) && TryText(w) == tolvane::ui::chart::kSaveImageTitle; });
}

HWND QuestionBox(const std::string& caption) {
  return ProgramWindow([&](HWND w) { return GetDlgItem(w, kBoxText) && TryText(w) == caption; });
}

// The dialog's file name box: a combo box (cmb13) or an edit (edt1).
void SaveName(const std::string& name, int ms) {
  HWND dialog = nullptr;
  if (!Within(ms, [&] { return (dialog = SaveDialog()) != nullptr; })) Fail("no save dialog");
  HWND box = GetDlgItem(dialog, cmb13);
  if (!box || !IsWindowVisible(box)) box = GetDlgItem(dialog, edt1);
  if (!box) Fail("the save dialog has no file name box");
  const std::wstring wide = tolvane::ui::win::Wide(name);
  if (!SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_ABORTIFHUNG, 5000, nullptr))
    Fail("the file name box did not answer");
  // Posted: OK may ask a question, which waits for an answer.
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

void Asked(const std::string& caption, int ms) {
  HWND box = nullptr;
  if (!Within(ms, [&] { return (box = QuestionBox(caption)) != nullptr; })) Fail("no message box '" + caption + "'");
  std::printf("%s: %s\n", caption.c_str(), TextOf(GetDlgItem(box, kBoxText)).c_str());
}

void Answer(const std::string& caption, int id) {
  HWND box = QuestionBox(caption);
  if (!box) Fail("no message box '" + caption + "'");
  if (!GetDlgItem(box, id)) Fail("the box has no button " + std::to_string(id));
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
  if (!Within(3000, [&] { return !IsWindow(box) || !IsWindowVisible(box); })) Fail("the box stayed open");
}

// --- What screen readers read, through MSAA -------------------------------

class Accessible {
 public:
  explicit Accessible(HWND window) {
    const HRESULT hr =
        AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object_));
    if (FAILED(hr) || !object_) Fail("no accessible object (" + Hex(hr) + ")");
  }
  ~Accessible() { object_->Release(); }
  Accessible(const Accessible&) = delete;
  Accessible& operator=(const Accessible&) = delete;
  IAccessible* operator->() const { return object_; }

  static std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(hr));
    return text;
  }
  static VARIANT Child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
  }
  static std::string Utf8(BSTR text) {
    const int length = text ? static_cast<int>(SysStringLen(text)) : 0;
    std::string out(static_cast<std::size_t>(
                        length ? WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr) : 0),
                    '\0');
    if (!out.empty()) WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    SysFreeString(text);
    return out;
  }
  std::string Name(long id) const {
    BSTR name = nullptr;
    const HRESULT hr = object_->get_accName(Child(id), &name);
    if (FAILED(hr)) Fail("no name of child " + std::to_string(id) + " (" + Hex(hr) + ")");
    return Utf8(name);
  }
  long Number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long id, const char* what) const {
    VARIANT v;
    VariantInit(&v);
    const HRESULT hr = (object_->*get)(Child(id), &v);
    if (FAILED(hr) || v.vt != VT_I4) Fail(std::string("no ") + what + " of child " + std::to_string(id));
    return v.lVal;
  }
  long Role(long id) const { return Number(&IAccessible::get_accRole, id, "role"); }
  long State(long id) const { return Number(&IAccessible::get_accState, id, "state"); }
  // A child reported by accFocus or accSelection, 0 for the object itself;
  // -1 for none.
  long Reported(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT*)) const {
    VARIANT v;
    VariantInit(&v);
    const HRESULT hr = (object_->*get)(&v);
    if (FAILED(hr)) Fail("accFocus or accSelection failed (" + Hex(hr) + ")");
    if (v.vt == VT_EMPTY) return -1;
    if (v.vt != VT_I4) Fail("accFocus or accSelection gave an object, not a row");
    return v.lVal;
  }
  RECT Location(long id) const {
    long left = 0, top = 0, width = 0, height = 0;
    const HRESULT hr = object_->accLocation(&left, &top, &width, &height, Child(id));
    if (FAILED(hr)) Fail("no location of child " + std::to_string(id));
    return RECT{left, top, left + width, top + height};
  }

 private:
  IAccessible* object_ = nullptr;
};

std::string RoleText(long role) {
  char text[64] = "";
  GetRoleTextA(static_cast<DWORD>(role), text, sizeof text);
  return text;
}

// The chart as a screen reader reads it: a list of its rows. Beside what
// it prints, it checks that the rows stand in order across the chart, that
// the selection, the focus and the rows' states agree, and that a child
// past the last is refused.
void Tree() {
  HWND chart = ControlNamed("graph");
  Accessible list(chart);
  BSTR description = nullptr;
  if (FAILED(list->get_accDescription(Accessible::Child(CHILDID_SELF), &description))) Fail("no description");
  long count = -1;
  if (FAILED(list->get_accChildCount(&count)) || count < 0) Fail("no child count");
  std::printf("%s '%s', description '%s', %ld children\n", RoleText(list.Role(CHILDID_SELF)).c_str(),
              list.Name(CHILDID_SELF).c_str(), Accessible::Utf8(description).c_str(), count);
  RECT area;
  GetWindowRect(chart, &area);
  const long focus = list.Reported(&IAccessible::get_accFocus);
  const long selection = list.Reported(&IAccessible::get_accSelection);
  LONG lastLeft = LONG_MIN;
  for (long id = 1; id <= count; ++id) {
    const long state = list.State(id);
    std::string flags;
    for (const auto& [bit, word] : {std::pair{STATE_SYSTEM_SELECTED, " selected"}, std::pair{STATE_SYSTEM_FOCUSED, " focused"}})
      if (state & bit) flags += word;
    std::printf("  %s '%s'%s\n", RoleText(list.Role(id)).c_str(), list.Name(id).c_str(), flags.c_str());
    if (!(state & STATE_SYSTEM_SELECTABLE)) Fail("row " + std::to_string(id) + " is not selectable");
    if (((state & STATE_SYSTEM_SELECTED) != 0) != (selection == id)) Fail("row " + std::to_string(id) + ": state and selection disagree");
    if (((state & STATE_SYSTEM_FOCUSED) != 0) != (focus == id)) Fail("row " + std::to_string(id) + ": state and focus disagree");
    const RECT at = list.Location(id);
    if (at.left <= lastLeft || at.right <= at.left || at.left < area.left || at.right > area.right || at.top < area.top ||
        at.bottom > area.bottom)
      Fail("row " + std::to_string(id) + " at " + Describe(at) + ", out of order or outside the chart");
    lastLeft = at.left;
  }
  BSTR name = nullptr;
  const HRESULT past = list->get_accName(Accessible::Child(count + 1), &name);
  if (past != E_INVALIDARG) Fail("a child past the last gave " + Accessible::Hex(past));
}

// Rows that screen readers read with a sample, not as waiting for one.
long SampledRows() {
  Accessible list(ControlNamed("graph"));
  long count = 0, sampled = 0;
  if (FAILED(list->get_accChildCount(&count))) Fail("no child count");
  const std::string waiting = ": not sampled yet";
  for (long id = 1; id <= count; ++id) {
    const std::string name = list.Name(id);
    if (name.size() < waiting.size() || name.compare(name.size() - waiting.size(), waiting.size(), waiting) != 0)
      ++sampled;
  }
  return sampled;
}

void Named(const std::string& control, const std::string& want) {
  Accessible box(ControlNamed(control));
  const std::string got = box.Name(CHILDID_SELF);
  if (got != want) Fail(control + " is named '" + got + "', not '" + want + "'");
  std::printf("%s: %s '%s'\n", control.c_str(), RoleText(box.Role(CHILDID_SELF)).c_str(), got.c_str());
}

// Shift+F10 or the menu key: the menu stands at the selected row.
void MenuAtRow(int ms) {
  HWND menu = nullptr;
  if (!Within(ms, [&] { return (menu = FindTopLevel("#32768", "", true)) != nullptr; })) Fail("no popup menu");
  Accessible list(ControlNamed("graph"));
  const long row = list.Reported(&IAccessible::get_accSelection);
  if (row < 1) Fail("no row is selected");
  const RECT slot = list.Location(row);
  RECT at;
  GetWindowRect(menu, &at);
  if (at.left < slot.left || at.left >= slot.right) Fail("the menu at " + Describe(at) + ", row " + std::to_string(row) + " at " + Describe(slot));
  std::printf("menu at row %ld\n", row);
}

HANDLE ProgramProcess(DWORD access) {
  DWORD pid = 0;
  GetWindowThreadProcessId(MainWindow(), &pid);
  HANDLE process = OpenProcess(access, FALSE, pid);
  if (!process) Fail("cannot open the program's process");
  return process;
}

std::string ProgramPath() {
  HANDLE process = ProgramProcess(PROCESS_QUERY_LIMITED_INFORMATION);
  char path[MAX_PATH] = "";
  DWORD size = sizeof path;
  const bool named = QueryFullProcessImageNameA(process, 0, path, &size);
  CloseHandle(process);
  if (!named) Fail("no path of the program's executable");
  return path;
}

HWND AboutDialog(int ms) {
  HWND dialog = nullptr;
  if (!Within(ms, [&] { return (dialog = FindTopLevel(win::kAboutClass, "", true)) != nullptr; }))
    Fail("no About dialog");
  return dialog;
}

// The dialog's texts against the record that the running executable carries.
void About(int ms) {
  const std::string exe = ProgramPath();
  DWORD ignored = 0;
  std::vector<char> record(GetFileVersionInfoSizeA(exe.c_str(), &ignored));
  if (record.empty() || !GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(record.size()), record.data()))
    Fail("no version record in " + exe);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &size);
  if (!fixed) Fail("no fixed version");
  const std::string version = "Version " + std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(HIWORD(fixed->dwFileVersionLS));
  const std::string title = VersionString(record, "ProductName");
  const std::string comments = VersionString(record, "Comments");

  HWND dialog = AboutDialog(ms);
  namespace about = tolvane::ui::about;
  std::map<std::string, Control> places;
  for (const auto& c : about::kControls) places[std::string(c.name)] = {c.id, c.place};
  Faults faults;
  CheckPlaces(dialog, about::layout::kClientArea, places, faults);
  // No taskbar button of its own: owned, or a tool window.
  const LONG_PTR exStyle = GetWindowLongPtrA(dialog, GWL_EXSTYLE);
  if ((exStyle & WS_EX_APPWINDOW) || (!GetWindow(dialog, GW_OWNER) && !(exStyle & WS_EX_TOOLWINDOW)))
    faults.push_back("a taskbar button");
  Report("About:", faults);
  std::map<int, std::string> texts;
  EnumChildWindows(dialog, CollectTexts, reinterpret_cast<LPARAM>(&texts));
  const std::pair<std::string, std::string> want[] = {
      {"caption", "About " + title},
      {"lblTitle", title},
      {"lblVersion", version},
      {"lblDisclaimer", comments},
  };
  const std::string got[] = {TextOf(dialog), texts[win::kLblTitle], texts[win::kLblVersion],
                             texts[win::kLblDisclaimer]};
  for (std::size_t i = 0; i < std::size(want); ++i) {
    if (got[i] != want[i].second) Fail(want[i].first + " is '" + got[i] + "', not '" + want[i].second + "'");
    std::printf("about %s: %s\n", want[i].first.c_str(), got[i].c_str());
  }
  if (texts[win::kLblDescription].rfind(" " + title + ", allows you", 0) != 0)
    Fail("lblDescription is '" + texts[win::kLblDescription] + "'");
}

void AboutOk() {
  HWND dialog = AboutDialog(0);
  PostMessageA(GetDlgItem(dialog, win::kCmdOK), BM_CLICK, 0, 0);
  if (!Within(3000, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); })) Fail("OK left it open");
}

// The control that has the program's keyboard focus, by its name.
std::string FocusName() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(MainWindow(), nullptr), &info) || !info.hwndFocus) return "nothing";
  if (info.hwndFocus == MainWindow()) return "the bare window";
  for (const auto& [name, control] : Controls())
    if (GetDlgItem(MainWindow(), control.id) == info.hwndFocus) return name;
  return "a " + ClassOf(info.hwndFocus) + " window";
}

// As the shell's crash or its end at log-off would: its process ends.
void EndShell(int ms) {
  DWORD pid = 0;
  HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
  if (!tray || !GetWindowThreadProcessId(tray, &pid)) Fail("no shell's tray window");
  HANDLE shell = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  if (!shell) Fail("cannot open the shell's process");
  const bool ended = TerminateProcess(shell, 1) && WaitForSingleObject(shell, ms) == WAIT_OBJECT_0;
  CloseHandle(shell);
  if (!ended) Fail("the shell's process did not end");
}

int Number(const std::string& text) {
  char* end = nullptr;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end) Fail("not a number: " + text);
  return static_cast<int>(n);
}

// The step list, read one word at a time.
class Steps {
 public:
  explicit Steps(std::vector<std::string> words) : words_(std::move(words)) {}
  bool done() const { return at_ == words_.size(); }
  const std::string& next() {
    if (done()) Fail("an argument is missing");
    return words_[at_++];
  }
  // The next word when it is a reply delay (digits or x), else nothing.
  const std::string* delay() {
    if (done()) return nullptr;
    const std::string& word = words_[at_];
    if (word != "x" && !std::isdigit(static_cast<unsigned char>(word[0]))) return nullptr;
    ++at_;
    return &word;
  }

 private:
  std::vector<std::string> words_;
  std::size_t at_ = 0;
};

void Step(const std::string& step, Steps& steps);

// Runs the steps; the first failure ends them.
void Run(Steps steps) {
  while (!steps.done()) {
    const std::string step = steps.next();
    try {
      Step(step, steps);
    } catch (const std::exception& e) {
      Fail(step + ": " + e.what());
    }
  }
}

void Step(const std::string& step, Steps& steps) {
  auto next = [&]() -> const std::string& { return steps.next(); };
  if (step == "window") {
    const int ms = Number(next());
    if (!Within(ms, [] {
          HWND main = FindTopLevel(win::kMainClass, "Tolvane", true);
          return main != nullptr;
        }))
      Fail("the main window did not show");
  } else if (step == "frame") {
    CheckFrame();
  } else if (step == "type") {
    HWND box = ControlNamed(next());
    const std::string& text = next();
    SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 2000, nullptr);
  } else if (step == "click") {
    PostMessageA(ControlNamed(next()), BM_CLICK, 0, 0);
  } else if (step == "expect") {
    const std::string& name = next();
    const std::string& want = next();
    const std::string got = TextOf(ControlNamed(name));
    if (got != want) Fail(name + " is '" + got + "', not '" + want + "'");
  } else if (step == "shown") {
    const std::string& name = next();
    const bool want = Number(next()) != 0;
    if (!Within(2000, [&] { return (IsWindowVisible(ControlNamed(name)) != 0) == want; }))
      Fail(name + (want ? " is hidden" : " is shown"));
  } else if (step == "watch") {
    const std::string& prefix = next();
    Watch(prefix, Number(next()));
  } else if (step == "box") {
    const std::string& text = next();
    Box(text, Number(next()));
  } else if (step == "nobox") {
    if (MessageBoxWindow()) Fail("a message box is open");
  } else if (step == "main") {
    const bool want = Number(next()) != 0;
    if (!Within(Number(next()), [&] { return (IsWindowVisible(MainWindow()) != 0) == want; }))
      Fail(want ? "the main window stayed hidden" : "the main window stayed on the screen");
  } else if (step == "rows") {
    Rows(Number(next()));
  } else if (step == "axis") {
    std::printf("axis top: %ld\n", static_cast<long>(SendMessageA(ControlNamed("graph"), win::kChartAxisTop, 0, 0)));
  } else if (step == "tip") {
    const int row = Number(next());
    std::printf("tip %d: %s\n", row, TipText(row).c_str());
  } else if (step == "hosttip") {
    std::printf("host tip: %s\n", TipText(static_cast<int>(win::RowTips::kHostTool)).c_str());
  } else if (step == "nomenu") {
    if (!Within(Number(next()), [] { return FindTopLevel("#32768", "", true) == nullptr; }))
      Fail("a popup menu stayed open");
  } else if (step == "centre") {
    RECT r;
    GetWindowRect(ControlNamed(next()), &r);
    std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  } else if (step == "csv") {
    CopyCsv();
  } else if (step == "menu") {
    Menu(Number(next()));
  } else if (step == "tree") {
    Tree();
  } else if (step == "selected") {
    const int row = Number(next());
    if (!Within(Number(next()), [&] {
          Accessible list(ControlNamed("graph"));
          return list.Reported(&IAccessible::get_accSelection) == row;
        }))
      Fail("row " + std::to_string(row) + " was not selected");
  } else if (step == "sampled") {
    const long want = Number(next());
    if (!Within(Number(next()), [&] { return SampledRows() >= want; }))
      Fail(std::to_string(SampledRows()) + " rows have a sample, not " + std::to_string(want));
  } else if (step == "named") {
    const std::string& name = next();
    Named(name, next());
  } else if (step == "menu-at-row") {
    MenuAtRow(Number(next()));
  } else if (step == "about") {
    About(Number(next()));
  } else if (step == "about-ok") {
    AboutOk();
  } else if (step == "focus") {
    const std::string& name = next();
    if (!Within(Number(next()), [&] { return FocusName() == name; })) Fail("the focus is on " + FocusName());
  } else if (step == "end-shell") {
    EndShell(Number(next()));
  } else if (step == "script") {
    std::vector<int> delays;
    while (const std::string* d = steps.delay()) delays.push_back(*d == "x" ? -1 : Number(*d));
    tolvane::testbed::ScriptReplies(delays);
  } else if (step == "requests") {
    const std::size_t want = static_cast<std::size_t>(Number(next()));
    const std::size_t got = tolvane::testbed::RequestTimesNs().size();
    if (got != want) Fail(std::to_string(got) + " echoes reached the scripted host, not " + std::to_string(want));
  } else if (step == "lonebox") {
    const std::string& caption = next();
    HWND box = nullptr;
    if (!Within(Number(next()), [&] { return (box = FindTopLevel("#32770", caption, true)) && GetDlgItem(box, kBoxText); }))
      Fail("no message box '" + caption + "'");
    std::printf("%s\n", TextOf(GetDlgItem(box, kBoxText)).c_str());
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  } else if (step == "codepage") {
    std::printf("codepage %u\n", GetACP());
  } else if (step == "save") {
    PostMessageA(ControlNamed("graph"), WM_COMMAND, MAKEWPARAM(win::kSaveImage, 0), 0);
  } else if (step == "savename") {
    const std::string& name = next();
    SaveName(name, Number(next()));
  } else if (step == "saving") {
    const bool want = Number(next()) != 0;
    if (!Within(Number(next()), [&] { return (SaveDialog() != nullptr) == want; }))
      Fail(want ? "no save dialog" : "the save dialog stayed open");
  } else if (step == "asked") {
    const std::string& caption = next();
    Asked(caption, Number(next()));
  } else if (step == "answer") {
    const std::string& caption = next();
    Answer(caption, Number(next()));
  } else {
    Fail("unknown step " + step);
  }
}

}  // namespace

int main() {
  // Coordinates as the program sees them, at any DPI.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  // The program's accessible objects come through COM.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  try {
    // From the wide command line: a step's text in any script, not only
    // in the ANSI code page.
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> words;
    for (int i = 1; i < count; ++i) words.push_back(tolvane::ui::win::Utf8(args[i]));
    LocalFree(args);
    Run(Steps(std::move(words)));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "FAIL: %s\n", e.what());
    return 1;
  }
  return 0;
}
