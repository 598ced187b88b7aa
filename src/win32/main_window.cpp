#include "win32/main_window.h"

#include <algorithm>
#include <utility>

#include "app/colours.h"
#include "app/contrast.h"
#include "app/layout.h"
#include "app/messages.h"
#include "win32/about_dialog.h"
#include "win32/window_ids.h"
#include "win32/dpi.h"
#include "win32/latency_chart.h"
#include "win32/owned_window.h"
#include "win32/png.h"
#include "win32/system_library.h"
#include "win32/window_effects.h"
#include "win32/wide_text.h"

namespace tolvane::ui::win {
namespace {

constexpr UINT_PTR kTimer1 = 1;
// While resident: is the shell's notification area still there? A shell
// that restarts (explorer after a crash) asks for the icon again
// (TaskbarCreated).
constexpr UINT_PTR kShellWatch = 2;
constexpr UINT kAfterShown = WM_APP + 2;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;

const wchar_t* ClassOf(Kind kind) {
  switch (kind) {
    case Kind::Box: return L"Edit";
    case Kind::Button: return L"Button";
    case Kind::Label: break;
  }
  return L"Static";
}

DWORD StyleOf(const Control& c) {
  switch (c.kind) {
    case Kind::Box: return WS_TABSTOP | ES_AUTOHSCROLL | (c.shown ? WS_VISIBLE : 0);
    case Kind::Button: return WS_TABSTOP | BS_PUSHBUTTON | (c.shown ? WS_VISIBLE : 0);
    case Kind::Label: break;
  }
  const DWORD align = c.align == Align::Right ? SS_RIGHT
                      : c.align == Align::Centre ? SS_CENTER
                      : c.oneLine ? SS_LEFTNOWORDWRAP
                                  : SS_LEFT;
  return align | SS_NOPREFIX | (c.shown ? WS_VISIBLE : 0);
}

std::string LocaleText(LCTYPE item, const char* fallback) {
  wchar_t text[16] = {};
  const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, item, text, 16);
  return length > 1 ? Utf8(std::wstring_view(text, static_cast<std::size_t>(length - 1))) : std::string(fallback);
}

// The user's decimal separator, for reading typed numbers.
NumberSeparators UserSeparators() {
  return NumberSeparators{LocaleText(LOCALE_SDECIMAL, ".")};
}

std::string ProgramPath() {
  std::wstring path(kLongestPath, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  return Utf8(std::wstring_view(path.data(), length < path.size() ? length : 0));
}

Colour FromColorRef(COLORREF c) { return Rgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

// The menu colour on the workspace colour, unless a high-contrast or dark
// scheme makes the two nearly equal: then the ordinary window text.
COLORREF HostTextColour() {
  const Colour text = ReadableText(FromColorRef(GetSysColor(COLOR_MENU)), FromColorRef(GetSysColor(COLOR_APPWORKSPACE)),
                                   FromColorRef(GetSysColor(COLOR_WINDOWTEXT)));
  return RGB(Red(text), Green(text), Blue(text));
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, Engine engine)
    : instance_(instance), wired_(std::move(engine), *this, UserSeparators(), ProgramPath()), run_(wired_.run()) {}

MainWindow::~MainWindow() {
  tray_.Closing();
  UseTrayMenuOwner(nullptr);
  frmAbout_.reset();
  if (main_) {
    SetWindowLongPtrA(main_, GWLP_USERDATA, 0);
    DestroyWindow(main_);
  }
  if (rcpopup) DestroyMenu(rcpopup);
  if (font_) DeleteObject(font_);
  if (narrowFont_) DeleteObject(narrowFont_);
  if (windowBrush_) DeleteObject(windowBrush_);
}

bool MainWindow::Open(int showCommand, const std::vector<std::string>& boxes) {
  // No icons yet: a tool window shows none, and they are loaded for the
  // tray and the About dialog once the window shows (LoadIcons). No brush:
  // the background is painted in WM_ERASEBKGND, since the class outlives
  // this window and its brush.
  if (!RegisterClassOnce(instance_, kMainClass, &MainWindow::WindowProc)) return false;
  windowBrush_ = CreateSolidBrush(RGB(Red(kWindowColour), Green(kWindowColour), Blue(kWindowColour)));

  // The client area first stands at 135 by 405 twips from the screen's
  // corner; sized for the screen's DPI, then for the monitor's once the
  // window is on one.
  const int dpi = WindowDpi(nullptr);
  const RECT frame = FrameFor(layout::kClientArea, kStyle, kExStyle, dpi);
  // Made layered from the start, as it will be shown; Form_Load sets how
  // translucent before the first show.
  main_ = CreateWindowExW(kExStyle | WS_EX_LAYERED, Wide(kMainClass).c_str(), Wide(kProgramTitle).c_str(), kStyle,
                          layout::TwipsToPixels(kFirstLeft, dpi) + frame.left,
                          layout::TwipsToPixels(kFirstTop, dpi) + frame.top,
                          frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance_,
                          this);
  if (!main_) return false;
  UseTrayMenuOwner(this);
  // Sent to every top-level window when the shell (re)starts.
  taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
  // Run as administrator, the window sits above the shell, and without
  // leave the message from the shell would never arrive: the icon would be
  // lost with a restarted shell while the window is hidden.
  ChangeWindowMessageFilterEx(main_, taskbarCreated_, MSGFLT_ALLOW, nullptr);
  // Everything is made at its place and in its font for the DPI the frame
  // was sized for; laid out again only if the monitor's differs.
  dpi_ = dpi;
  font_ = MakeGuiFont(dpi);
  BuildControls();
  if (const int monitorDpi = WindowDpi(main_); monitorDpi != dpi) {
    ApplyDpi(monitorDpi);
  } else {
    FitClientArea(main_, layout::kClientArea, dpi);
    FitLabel(kLabel1);
  }
  Form_Load();
  const int boxIds[] = {kText1, kDuration, kInterval};
  for (std::size_t i = 0; i < boxes.size() && i < std::size(boxIds); ++i) {
    SetDlgItemTextW(main_, boxIds[i], Wide(boxes[i]).c_str());
  }
  ::ShowWindow(main_, showCommand);
  UpdateWindow(main_);
  SetFocus(graph->handle());
  // What only hovering and screen readers need, once the window shows: the
  // chart's tooltips, and COM for its accessible object. Made earlier, they
  // held up the first sight of the window.
  PostMessageA(main_, kAfterShown, 0, 0);
  return true;
}

// The program's icon, big and small, for the tray, the About dialog and
// the class (Alt+Tab and the like, should the window ever be listed there).
void MainWindow::LoadIcons() {
  if (icon_) return;
  icon_ = LoadIconA(instance_, "IDI_ICON1");
  smallIcon_ = static_cast<HICON>(LoadImageA(instance_, "IDI_ICON1", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  SetClassLongPtrA(main_, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon_));
  SetClassLongPtrA(main_, GCLP_HICONSM, reinterpret_cast<LONG_PTR>(smallIcon_));
}

void MainWindow::BuildControls() {
  const auto make = [this](const Control& c) {
    const DWORD exStyle = c.kind == Kind::Box ? WS_EX_CLIENTEDGE : 0;
    const layout::PixelRect r = layout::Scaled(c.place, dpi_);
    HWND control = CreateWindowExW(exStyle, ClassOf(c.kind), Wide(c.text).c_str(),
                                   WS_CHILD | WS_CLIPSIBLINGS | StyleOf(c), r.left, r.top, r.width, r.height, main_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  };
  // Tab walks the controls in the order they were made. The chart comes
  // last, below the buttons that stand over it; Tab wraps round from
  // "&Stop" to it and on to the host box, the same cycle as the table's.
  // A box's label is made just before it: screen readers name a box by the
  // label that precedes it. Labels take no focus, so Tab's order stays.
  for (const Control& c : kControls) {
    if (c.names) continue;  // made with its box
    for (const Control& label : kControls) {
      if (label.names == c.id) make(label);
    }
    make(c);
  }
  graph = std::make_unique<LatencyChart>(instance_, main_, kGraph, layout::Scaled(layout::kGraph, dpi_), dpi_);

  rcpopup = CreatePopupMenu();
  AppendMenuW(rcpopup, MF_STRING, kRestore, Wide(kRestoreText).c_str());
  AppendMenuW(rcpopup, MF_STRING, kExit, Wide(kExitText).c_str());
}

void MainWindow::ApplyDpi(int dpi) {
  dpi_ = dpi;
  FitClientArea(main_, layout::kClientArea, dpi);
  HFONT old = font_;
  font_ = MakeGuiFont(dpi);
  for (const Control& c : kControls) {
    HWND control = GetDlgItem(main_, c.id);
    PlaceChild(control, c.place, dpi);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  FitLabel(kLabel1);
  PlaceChild(graph->handle(), layout::kGraph, dpi);
  graph->SetDpi(dpi);
  InvalidateRect(main_, nullptr, TRUE);
  if (old) DeleteObject(old);
}

// "How many times?" only just fits its box in the fonts it was laid out
// for; where the default font runs wider, the label takes a narrower cut
// of it rather than wrapping onto the box below.
void MainWindow::FitLabel(int id) {
  HWND label = GetDlgItem(main_, id);
  const std::wstring text = Wide(TextOf(id));
  RECT box;
  GetClientRect(label, &box);
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, font_);
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  if (narrowFont_) DeleteObject(narrowFont_);
  narrowFont_ = nullptr;
  const LONG room = box.right - 2;  // the last glyph's overhang
  if (extent.cx <= room || extent.cx == 0) return;
  LOGFONTA lf{};
  GetObjectA(font_, sizeof lf, &lf);
  lf.lfWidth = std::max<LONG>(1, metrics.tmAveCharWidth * room / extent.cx);
  narrowFont_ = CreateFontIndirectA(&lf);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(narrowFont_), FALSE);
}

void MainWindow::Form_Load() {
  SetWindowLongPtrA(main_, GWL_EXSTYLE, GetWindowLongPtrA(main_, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetLayeredWindowAttributes(main_, 0, controls::kOpacity, LWA_ALPHA);
  graph->control().SetNameText(std::string(kProgramTitle));
  SetTimerEnabled(false);
  AddDropShadow(reinterpret_cast<std::uintptr_t>(main_));
}

const ChartModel& MainWindow::chart() const { return graph->model(); }

bool MainWindow::TranslateDialogKeys(MSG& message) {
  return main_ != nullptr && IsDialogMessageW(main_, &message);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return OwnedWindowProc<MainWindow, &MainWindow::main_, &MainWindow::Handle>(window, message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  // A restarted shell has lost the icon: put it up again while resident.
  if (taskbarCreated_ != 0 && message == taskbarCreated_) {
    if (tray_.resident()) TrayAddAgain();
    return 0;
  }
  switch (message) {
    case WM_COMMAND:
      if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
      return 0;
    case kAfterShown:
      LoadIcons();
      graph->MakeTips();
      Accessibility();
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1) Timer1_Timer();
      if (wParam == kShellWatch) WatchShell();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        RememberFocus();
      } else {
        GiveFocusBack();
      }
      return 0;
    case WM_SETFOCUS:
      // The window itself took the focus (the focused control was hidden,
      // say): on to a control.
      if (IsChild(main_, reinterpret_cast<HWND>(wParam))) focus_ = reinterpret_cast<HWND>(wParam);
      GiveFocusBack();
      return 0;
    case DM_GETDEFID: {
      // No default button; Enter presses the button that has the focus, as
      // in a dialog.
      HWND focus = GetFocus();
      const int id = focus && GetParent(focus) == main_ ? GetDlgCtrlID(focus) : 0;
      const bool button = id == kCommand1 || id == kCommand2 || id == kCommand3 || id == kCommand4 || id == kCommand5;
      return button ? MAKELRESULT(id, DC_HASDEFID) : 0;
    }
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(main_, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, windowBrush_);
      return 1;
    }
    case WM_CTLCOLORSTATIC:
      return ControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), false);
    case WM_CTLCOLOREDIT:
      return ControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), true);
    case WM_DPICHANGED: {
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(main_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      ApplyDpi(HIWORD(wParam));
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(main_);
      return 0;
    case WM_DESTROY:
      run_.Stop();  // a run ends with the window, without an average
      KillTimer(main_, kTimer1);
      // Closed while resident (the session ending): no icon left behind.
      tray_.Closing();
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(main_, message, wParam, lParam);
}

LRESULT MainWindow::ControlColour(HDC dc, HWND control, bool edit) {
  const int id = GetDlgCtrlID(control);
  if (edit || id == kText1 || id == kDuration || id == kInterval) {
    SetBkColor(dc, GetSysColor(COLOR_APPWORKSPACE));
    SetTextColor(dc, id == kText1 ? HostTextColour() : GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_APPWORKSPACE));
  }
  // Labels: green on the window's colour, which is all that lies behind them.
  SetTextColor(dc, RGB(Red(kLabelColour), Green(kLabelColour), Blue(kLabelColour)));
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(windowBrush_);
}

void MainWindow::OnCommand(int id) {
  switch (id) {
    case kCommand1: Command1_Click(); break;
    case kCommand2: Command2_Click(); break;
    case kCommand3: Command3_Click(); break;
    case kCommand4: Command4_Click(); break;
    case kCommand5: Command5_Click(); break;
    case kRestore: restore_Click(); break;
    case kExit: exit_Click(); break;
    default: break;
  }
}

// As UTF-8, which the run reads; the boxes hold whatever the user typed.
std::string MainWindow::TextOf(int id) const {
  HWND control = GetDlgItem(main_, id);
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int read = GetWindowTextW(control, text.data(), length + 1);
  return Utf8(std::wstring_view(text.data(), static_cast<std::size_t>(read > 0 ? read : 0)));
}

void MainWindow::RememberFocus() {
  HWND focus = GetFocus();
  if (focus && IsChild(main_, focus)) focus_ = focus;
}

// To the remembered control; where that one is hidden or disabled now, to
// the next that takes the focus; the chart when none was remembered.
void MainWindow::GiveFocusBack() {
  if (!graph) return;  // not made yet
  HWND to = focus_ && IsChild(main_, focus_) ? focus_ : graph->handle();
  if (!IsWindowVisible(to) || !IsWindowEnabled(to)) to = GetNextDlgTabItem(main_, to, FALSE);
  if (to) SetFocus(to);
}

void MainWindow::WatchShell() { tray_.HostChecked(FindWindowA("Shell_TrayWnd", nullptr) != nullptr); }

void MainWindow::Command1_Click() { run_.Press(TypedRun{TextOf(kText1), TextOf(kDuration), TextOf(kInterval)}); }
void MainWindow::Command2_Click() { SendMessageA(main_, WM_CLOSE, 0, 0); }
void MainWindow::Command3_Click() {
  LoadIcons();
  RememberFocus();
  tray_.Systray();
}

// Modal; the run's ticks go on under it.
void MainWindow::Command4_Click() {
  LoadIcons();
  if (!frmAbout_) frmAbout_ = std::make_unique<win::frmAbout>(instance_, icon_);
  RememberFocus();
  frmAbout_->ShowModal(main_);
}
void MainWindow::Command5_Click() { run_.Stop(); }

void MainWindow::Timer1_Timer() { run_.Tick(TextOf(kInterval)); }
void MainWindow::SysTrayMouseEventHandler() {
  SetForegroundWindow(main_);
  POINT at{};
  GetCursorPos(&at);
  TrackPopupMenu(rcpopup, TPM_RIGHTBUTTON, at.x, at.y, 0, main_, nullptr);
  // Without a message after it, the menu of a background window would not
  // close on a click elsewhere.
  PostMessageA(main_, WM_NULL, 0, 0);
}

void MainWindow::restore_Click() { tray_.Restore(); }
void MainWindow::exit_Click() { tray_.Exit(); }

// The window hooked first, so that no notification of the icon is missed;
// without the hook or the icon, hidden, it could never be brought back.
// The icon's id is its handle's 32 bits, one icon per window.
bool MainWindow::ShowIcon(std::string_view tip) {
  HookWindow(main_);
  HICON icon = smallIcon_ ? smallIcon_ : icon_;
  const auto id = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(icon));
  if (TrayHook().hooked != kTrue || !TrayAdd(main_, id, icon, tip)) {
    UnhookWindow();
    return false;
  }
  SetTimer(main_, kShellWatch, tray::kHostCheckMs, nullptr);
  return true;
}
void MainWindow::RemoveIcon() {
  KillTimer(main_, kShellWatch);
  UnhookWindow();
  TrayRemove();
}

void MainWindow::HideWindow() { ::ShowWindow(main_, SW_HIDE); }
// "&Restore" gives the window its own procedure back before it shows, as
// "&Exit" does before the icon goes.
void MainWindow::ShowWindow() {
  UnhookWindow();
  ::ShowWindow(main_, SW_SHOW);
  SetForegroundWindow(main_);
  GiveFocusBack();
}
void MainWindow::CloseWindow() { SendMessageA(main_, WM_CLOSE, 0, 0); }

void MainWindow::Tell(std::string_view text) { ShowMessage(std::string(text), BoxIcon::None); }

ChartControl& MainWindow::chart() { return graph->control(); }
void MainWindow::SetCurrentText(const std::string& text) { SetDlgItemTextW(main_, kCurrent, Wide(text).c_str()); }
void MainWindow::SetResultsText(const std::string& text) { SetDlgItemTextW(main_, kResults, Wide(text).c_str()); }
void MainWindow::ShowStop(bool shown) { ::ShowWindow(GetDlgItem(main_, kCommand5), shown ? SW_SHOW : SW_HIDE); }

void MainWindow::SetTimerPeriod(std::int32_t milliseconds) {
  timerPeriod_ = milliseconds;
  RearmTimer();
}

void MainWindow::SetTimerEnabled(bool enabled) {
  timerEnabled_ = enabled;
  RearmTimer();
}

// WM_TIMER is made when the queue is otherwise empty and only once however
// many periods went by, so ticks never pile up behind a busy handler.
void MainWindow::RearmTimer() {
  if (!main_) return;
  if (TimerTicks(timerEnabled_, timerPeriod_)) {
    SetTimer(main_, kTimer1, static_cast<UINT>(timerPeriod_), nullptr);
  } else {
    KillTimer(main_, kTimer1);
  }
}

void MainWindow::ShowMessage(const std::string& text, BoxIcon icon) {
  RememberFocus();
  MessageBoxW(main_, Wide(text).c_str(), Wide(kProgramTitle).c_str(),
              MB_OK | (icon == BoxIcon::Warning ? MB_ICONEXCLAMATION : 0));
}

}  // namespace tolvane::ui::win
