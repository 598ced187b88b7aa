#include "ui/main/main_window_win.h"

#include <commctrl.h>

#include <algorithm>

#include "probe/probe.h"
#include "resolve/resolve.h"
#include "ui/about/about_dialog_win.h"
#include "ui/main/controls_win.h"
#include "ui/main/dpi_win.h"
#include "ui/main/latency_chart_win.h"
#include "ui/main/layout.h"
#include "ui/main/messages.h"
#include "ui/main/run.h"
#include "ui/main/window_effects.h"
#include "ui/style/colours.h"
#include "ui/tray/notify_area_win.h"
#include "ui/tray/tray.h"
#include "ui/tray/tray_texts.h"
#include "ui/tray/window_system_win.h"
#include "ui/style/owned_window_win.h"

namespace tolvane::ui::win {
namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr BYTE kOpacity = 210;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;

struct Control {
  int id;
  const char* className;
  const char* text;
  layout::Place place;
  DWORD style;
};

// In tab order: Tab walks the controls in the order they were made. The
// chart comes last, below the buttons that stand over it; Tab wraps round
// from "&Stop" to it and on to the host box, the cycle the tab indices give.
const Control kControls[] = {
    {kText1, "Edit", "127.0.0.1", layout::kText1, WS_TABSTOP | ES_AUTOHSCROLL},
    {kCommand1, "Button", "Ping", layout::kCommand1, WS_TABSTOP | BS_PUSHBUTTON},
    {kCommand2, "Button", "&Exit", layout::kCommand2, WS_TABSTOP | BS_PUSHBUTTON},
    {kDuration, "Edit", "6", layout::kDuration, WS_TABSTOP | ES_AUTOHSCROLL},
    {kInterval, "Edit", "2", layout::kInterval, WS_TABSTOP | ES_AUTOHSCROLL},
    {kCommand3, "Button", "&Systray", layout::kCommand3, WS_TABSTOP | BS_PUSHBUTTON},
    {kCommand4, "Button", "&About", layout::kCommand4, WS_TABSTOP | BS_PUSHBUTTON},
    {kCommand5, "Button", "&Stop", layout::kCommand5, WS_TABSTOP | BS_PUSHBUTTON},
    {kLabel3, "Static", "IP:", layout::kLabel3, SS_RIGHT | SS_NOPREFIX},
    {kLabel1, "Static", "How many times?", layout::kLabel1, SS_LEFTNOWORDWRAP | SS_NOPREFIX},
    {kLabel2, "Static", "Int in Sec.", layout::kLabel2, SS_CENTER | SS_NOPREFIX},
    {kResults, "Static", "Duration in sec.", layout::kResults, SS_LEFT | SS_NOPREFIX},
    {kCurrent, "Static", "", layout::kCurrent, SS_LEFT | SS_NOPREFIX},
};

// The engine's user messages, as the program's message boxes over the
// window.
class MessageBoxSink final : public probe::MessageSink {
 public:
  explicit MessageBoxSink(const HWND& owner) : owner_(owner) {}
  void Show(const std::string& text, probe::MessageIcon icon) override {
    MessageBoxA(owner_, text.c_str(), kProgramTitle.data(),
                MB_OK | (icon == probe::MessageIcon::Exclamation ? MB_ICONEXCLAMATION : 0));
  }

 private:
  const HWND& owner_;
};

std::string Utf8(const wchar_t* text, int length) {
  if (length <= 0) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
  return out;
}

std::string LocaleText(LCTYPE item, const char* fallback) {
  wchar_t text[16] = {};
  const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, item, text, 16);
  return length > 1 ? Utf8(text, length - 1) : std::string(fallback);
}

// The user's decimal and thousands separators, for reading typed numbers.
NumberSeparators UserSeparators() {
  return NumberSeparators{LocaleText(LOCALE_SDECIMAL, "."), LocaleText(LOCALE_STHOUSAND, ",")};
}

std::string ProgramPath() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length < MAX_PATH ? length : 0);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, tray::NotifyArea* area)
    : instance_(instance),
      sockets_(probe::MakeSystemSocketLibrary()),
      icmp_(probe::MakeSystemIcmpService()),
      lookup_(resolve::MakeSystemHostLookup()),
      messages_(std::make_unique<MessageBoxSink>(main_)),
      platform_(std::make_unique<probe::Platform>(probe::Platform{*sockets_, *icmp_, *messages_})),
      resolver_(std::make_unique<resolve::Resolver>(resolve::Resolver{*sockets_, *lookup_, *messages_})),
      checker_(std::make_unique<probe::Checker>(*platform_)),
      run_(std::make_unique<PingRun>(*checker_, *resolver_, *this, UserSeparators(), ProgramPath())),
      shellArea_(area ? nullptr : std::make_unique<tray::ShellNotifyArea>()),
      notifyArea_(area ? area : shellArea_.get()),
      windowSystem_(std::make_unique<tray::Win32WindowSystem>()) {
  tray::UseTrayPlatform(notifyArea_, windowSystem_.get());
}

MainWindow::~MainWindow() {
  LeaveTray();
  tray::UseTrayPlatform(nullptr, nullptr);
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

bool MainWindow::Open(int showCommand) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &MainWindow::WindowProc;
  wc.hInstance = instance_;
  icon_ = LoadIconA(instance_, "IDI_ICON1");
  smallIcon_ = static_cast<HICON>(LoadImageA(instance_, "IDI_ICON1", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  wc.hIcon = icon_;
  wc.hIconSm = smallIcon_;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowBrush_ = CreateSolidBrush(RGB(Red(kWindowColour), Green(kWindowColour), Blue(kWindowColour)));
  // The background is painted in WM_ERASEBKGND: the class outlives this
  // window and its brush.
  wc.lpszClassName = kMainClass;
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (!GetClassInfoExA(instance_, kMainClass, &existing) && !RegisterClassExA(&wc)) return false;

  // The client area first stands at 135 by 405 twips from the screen's
  // corner; sized for the screen's DPI, then for the monitor's once the
  // window is on one.
  const int dpi = WindowDpi(nullptr);
  const RECT frame = FrameFor(layout::kClientArea, kStyle, kExStyle, dpi);
  main_ = CreateWindowExA(kExStyle, kMainClass, kProgramTitle.data(), kStyle,
                          layout::TwipsToPixels(135, dpi) + frame.left, layout::TwipsToPixels(405, dpi) + frame.top,
                          frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance_,
                          this);
  if (!main_) return false;
  windowSystem_->SetMenuOwner(main_, this);
  // Sent to every top-level window when the shell (re)starts.
  taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
  BuildControls();
  ApplyDpi(WindowDpi(main_));
  Form_Load();
  ShowWindow(main_, showCommand);
  UpdateWindow(main_);
  SetFocus(graph->handle());
  return true;
}

void MainWindow::BuildControls() {
  for (const Control& c : kControls) {
    const DWORD exStyle = lstrcmpA(c.className, "Edit") == 0 ? WS_EX_CLIENTEDGE : 0;
    const DWORD visible = c.id == kCommand5 ? 0 : WS_VISIBLE;  // "&Stop" shows during a run
    CreateWindowExA(exStyle, c.className, c.text, WS_CHILD | WS_CLIPSIBLINGS | visible | c.style, 0, 0, 0, 0,
                    main_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr);
  }
  graph = std::make_unique<LatencyChart>(instance_, main_, kGraph);

  rcpopup = CreatePopupMenu();
  AppendMenuA(rcpopup, MF_STRING, kRestore, "&Restore");
  AppendMenuA(rcpopup, MF_STRING, kExit, "&Exit");
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
  const std::string text = TextOf(id);
  RECT box;
  GetClientRect(label, &box);
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, font_);
  SIZE extent{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
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
  SetLayeredWindowAttributes(main_, 0, kOpacity, LWA_ALPHA);
  graph->SetNameText(std::string(kProgramTitle));
  SetTimerEnabled(false);
  AddDropShadow(reinterpret_cast<std::uintptr_t>(main_));
}

const ChartModel& MainWindow::chart() const { return graph->model(); }

bool MainWindow::TranslateDialogKeys(MSG& message) {
  return main_ != nullptr && IsDialogMessageA(main_, &message);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return OwnedWindowProc<MainWindow, &MainWindow::main_, &MainWindow::Handle>(window, message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  // A restarted shell has lost the icon: put it up again while resident.
  if (taskbarCreated_ != 0 && message == taskbarCreated_) {
    if (tray::TrayHook().hooked == tray::kTrue) notifyArea_->Add(tray::TrayRecord());
    return 0;
  }
  switch (message) {
    case WM_COMMAND:
      if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1) Timer1_Timer();
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
      run_->Stop();  // a run ends with the window, without an average
      KillTimer(main_, kTimer1);
      // Closed while resident (the session ending): no icon left behind.
      LeaveTray();
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrA(main_, GWLP_USERDATA, 0);
      main_ = nullptr;
      return DefWindowProcA(main_, message, wParam, lParam);
    default:
      break;
  }
  return DefWindowProcA(main_, message, wParam, lParam);
}

LRESULT MainWindow::ControlColour(HDC dc, HWND control, bool edit) {
  const int id = GetDlgCtrlID(control);
  if (edit || id == kText1 || id == kDuration || id == kInterval) {
    SetBkColor(dc, GetSysColor(COLOR_APPWORKSPACE));
    SetTextColor(dc, id == kText1 ? GetSysColor(COLOR_MENU) : GetSysColor(COLOR_WINDOWTEXT));
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
  return Utf8(text.data(), read);
}

void MainWindow::Command1_Click() { run_->Press(TypedRun{TextOf(kText1), TextOf(kDuration), TextOf(kInterval)}); }
void MainWindow::Command2_Click() { SendMessageA(main_, WM_CLOSE, 0, 0); }
void MainWindow::Command3_Click() {
  const auto self = reinterpret_cast<tray::WindowHandle>(main_);
  const auto icon = reinterpret_cast<tray::IconHandle>(smallIcon_ ? smallIcon_ : icon_);
  if (!tray::SendToTray(self, icon, tray::kTrayTip)) {
    Tell(tray::kNoTrayMessage);
    return;
  }
  ShowWindow(main_, SW_HIDE);
}

// Modal; the run's ticks go on under it.
void MainWindow::Command4_Click() {
  if (!frmAbout_) frmAbout_ = std::make_unique<about::frmAbout>(instance_, icon_);
  frmAbout_->ShowModal(main_);
}
void MainWindow::Command5_Click() { run_->Stop(); }

std::int32_t MainWindow::check(const std::string& Vnewip_address) { return checker_->check(Vnewip_address); }
void MainWindow::graphping() { run_->graphping(TextOf(kInterval)); }
void MainWindow::Timer1_Timer() { run_->Tick(TextOf(kInterval)); }
void MainWindow::SysTrayMouseEventHandler() {
  SetForegroundWindow(main_);
  POINT at{};
  GetCursorPos(&at);
  TrackPopupMenu(rcpopup, TPM_RIGHTBUTTON, at.x, at.y, 0, main_, nullptr);
  // Without a message after it, the menu of a background window would not
  // close on a click elsewhere.
  PostMessageA(main_, WM_NULL, 0, 0);
}

void MainWindow::restore_Click() {
  tray::UnhookWindow();
  ShowWindow(main_, SW_SHOW);
  SetForegroundWindow(main_);
  tray::TrayRemove();
}

void MainWindow::exit_Click() {
  tray::UnhookWindow();
  tray::TrayRemove();
  SendMessageA(main_, WM_CLOSE, 0, 0);
}

void MainWindow::LeaveTray() {
  if (tray::TrayHook().hooked != tray::kTrue) return;
  tray::UnhookWindow();
  tray::TrayRemove();
}

void MainWindow::Tell(std::string_view text) { ShowMessage(std::string(text), BoxIcon::None); }

void MainWindow::SetRowCount(std::int16_t count) { graph->SetRowCount(count); }
void MainWindow::SetHostText(const std::string& text) { graph->SetHostText(text); }
void MainWindow::SelectRow(std::int16_t row) { graph->SelectRow(row); }
void MainWindow::SetRowLabel(const std::string& text) { graph->SetRowLabel(text); }
void MainWindow::SetRowValue(const std::string& text) { graph->SetRowValue(text); }
void MainWindow::SetRowToolTip(const std::string& text) { graph->SetRowToolTip(text); }
void MainWindow::SetCurrentText(const std::string& text) { SetDlgItemTextA(main_, kCurrent, text.c_str()); }
void MainWindow::SetResultsText(const std::string& text) { SetDlgItemTextA(main_, kResults, text.c_str()); }
void MainWindow::ShowStop(bool shown) { ShowWindow(GetDlgItem(main_, kCommand5), shown ? SW_SHOW : SW_HIDE); }

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
  if (timerEnabled_ && timerPeriod_ > 0) {
    SetTimer(main_, kTimer1, static_cast<UINT>(timerPeriod_), nullptr);
  } else {
    KillTimer(main_, kTimer1);
  }
}

void MainWindow::ShowMessage(const std::string& text, BoxIcon icon) {
  MessageBoxA(main_, text.c_str(), kProgramTitle.data(),
              MB_OK | (icon == BoxIcon::Warning ? MB_ICONEXCLAMATION : 0));
}

}  // namespace tolvane::ui::win
