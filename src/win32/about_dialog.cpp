#include "win32/about_dialog.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/about_layout.h"
#include "app/about_texts.h"
#include "app/colours.h"
#include "app/program_info.h"
#include "win32/window_ids.h"
#include "win32/dpi.h"
#include "win32/owned_window.h"
#include "win32/version_record.h"
#include "win32/wide_text.h"

namespace tolvane::ui::win {
namespace {

namespace layout = about::layout;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

COLORREF Ref(Colour c) { return RGB(Red(c), Green(c), Blue(c)); }

// The record's title, version and comments; what the build put there when
// the file carries no record.
about::VersionRecord ProgramRecord() {
  if (auto record = about::ReadVersionRecord()) return *record;
  return about::VersionRecord{std::string(about::kTitle), about::kVersionMajor, about::kVersionMinor,
                              about::kVersionRevision, std::string(about::kComments)};
}

}  // namespace

frmAbout::frmAbout(HINSTANCE instance, HICON icon) : instance_(instance), icon_(icon) {
  brush_ = CreateSolidBrush(Ref(kWindowColour));
  win::RegisterClassOnce(instance, kAboutClass, &frmAbout::WindowProc);
}

frmAbout::~frmAbout() {
  if (window_) DestroyWindow(window_);
  if (pictureIcon_) DestroyIcon(pictureIcon_);
  for (HFONT f : {font_, fitted_[0], fitted_[1]}) {
    if (f) DeleteObject(f);
  }
  DeleteObject(brush_);
}

void frmAbout::ShowModal(HWND owner) {
  if (open_) return;
  dpi_ = ui::win::WindowDpi(owner);
  const RECT frame = ui::win::FrameFor(layout::kClientArea, kStyle, kExStyle, dpi_);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  // Centred over the owner (the owner may be hidden in the tray: then on
  // the screen).
  RECT area{};
  if (owner && IsWindowVisible(owner)) {
    GetWindowRect(owner, &area);
  } else {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  }
  const int left = area.left + ((area.right - area.left) - width) / 2;
  const int top = area.top + ((area.bottom - area.top) - height) / 2;
  window_ = CreateWindowExW(kExStyle, ui::win::Wide(kAboutClass).c_str(), L"About MyApp", kStyle, left, top, width,
                            height, owner, nullptr, instance_, this);
  if (!window_) return;
  ui::win::FitClientArea(window_, layout::kClientArea, dpi_);
  BuildControls();
  Form_Load();

  open_ = true;
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(window_, SW_SHOW);
  SetFocus(GetDlgItem(window_, ui::win::kCmdOK));
  MSG message;
  bool quit = false;
  // Until closed, or destroyed with its owner.
  while (open_ && window_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      quit = got == 0;
      break;
    }
    if (window_ && IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // Enabled again before this one goes, so that the owner takes the activation.
  if (owner) EnableWindow(owner, TRUE);
  if (window_) DestroyWindow(window_);
  open_ = false;
  if (pictureIcon_) DestroyIcon(pictureIcon_);
  pictureIcon_ = nullptr;
  if (owner && IsWindowVisible(owner)) SetActiveWindow(owner);
  if (quit) PostQuitMessage(static_cast<int>(message.wParam));
}

void frmAbout::BuildControls() {
  if (font_) DeleteObject(font_);  // the last showing's
  font_ = ui::win::MakeGuiFont(dpi_);
  // In tab order: "OK" is made first and so takes the focus.
  for (const about::Control& c : about::kControls) {
    const auto make = [&](DWORD exStyle, const wchar_t* cls, DWORD style) {
      const ui::layout::PixelRect r = ui::layout::Scaled(c.place, dpi_);
      HWND control = CreateWindowExW(exStyle, cls, ui::win::Wide(c.text).c_str(), WS_CHILD | WS_VISIBLE | style, r.left,
                                     r.top, r.width, r.height, window_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr);
      SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    };
    switch (c.kind) {
      case about::Kind::Button:
        make(0, L"Button", WS_TABSTOP | BS_DEFPUSHBUTTON);
        break;
      case about::Kind::Picture:
        make(WS_EX_CLIENTEDGE, L"Static", SS_ICON | SS_CENTERIMAGE);
        break;
      case about::Kind::Label:
        make(0, L"Static", SS_LEFT | SS_NOPREFIX);
        break;
    }
  }
  SizePicture();
}

void frmAbout::Form_Load() {
  const about::VersionRecord record = ProgramRecord();
  using ui::win::Wide;
  SetWindowTextW(window_, Wide(about::Caption(record.title)).c_str());
  SetDlgItemTextW(window_, ui::win::kLblVersion,
                  Wide(about::VersionLine(record.major, record.minor, record.revision)).c_str());
  SetDlgItemTextW(window_, ui::win::kLblTitle, Wide(record.title).c_str());
  SetDlgItemTextW(window_, ui::win::kLblDisclaimer, Wide(record.comments).c_str());
  SetDlgItemTextW(window_, ui::win::kLblDescription, Wide(about::Description(about::kToolsAddress)).c_str());
  FitTexts();
}

// The icon drawn at 16 pixels for 96 dpi, scaled to the dialog's DPI from
// the resource's own images; the one it replaces goes.
void frmAbout::SizePicture() {
  const int side = ui::layout::TwipsToPixels(240, dpi_);
  HICON old = pictureIcon_;
  pictureIcon_ = static_cast<HICON>(CopyImage(icon_, IMAGE_ICON, side, side, LR_COPYFROMRESOURCE));
  SendMessageA(GetDlgItem(window_, ui::win::kPicIcon), STM_SETICON,
               reinterpret_cast<WPARAM>(pictureIcon_ ? pictureIcon_ : icon_), 0);
  if (old) DestroyIcon(old);
}

// Moved to a monitor of another DPI: every place, the fonts and the icon
// at the new scale.
void frmAbout::Rescale(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ui::win::FitClientArea(window_, layout::kClientArea, dpi_);
  // The old font goes only once no control holds it any more.
  HFONT old = font_;
  font_ = ui::win::MakeGuiFont(dpi_);
  for (const about::Control& c : about::kControls) {
    ui::win::PlaceChild(GetDlgItem(window_, c.id), c.place, dpi_);
    if (c.kind != about::Kind::Picture)
      SendMessageA(GetDlgItem(window_, c.id), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  SizePicture();
  FitTexts();
  if (old) DeleteObject(old);
  InvalidateRect(window_, nullptr, TRUE);
}

// The fitted labels at the size the shared rule picks from what GDI measures.
void frmAbout::FitTexts() {
  int slot = 0;
  for (const about::Control& c : about::kControls) {
    if (c.fitted) FitText(c.id, fitted_[slot++]);
  }
}

void frmAbout::FitText(int id, HFONT& fitted) {
  HWND label = GetDlgItem(window_, id);
  RECT box;
  GetClientRect(label, &box);
  const int length = GetWindowTextLengthW(label);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(label, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));

  LOGFONTA lf{};
  GetObjectA(font_, sizeof lf, &lf);
  auto fontAt = [&](double points) {
    lf.lfHeight = -static_cast<LONG>(std::lround(points * dpi_ / 72.0));
    return CreateFontIndirectA(&lf);
  };
  HDC dc = GetDC(label);
  const double points = about::FittedPoints(-lf.lfHeight * 72.0 / dpi_, box.bottom, [&](double size) {
    HFONT font = fontAt(size);
    HGDIOBJ old = SelectObject(dc, font);
    RECT need{0, 0, box.right, 0};
    DrawTextW(dc, text.c_str(), length, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
    return static_cast<int>(need.bottom);
  });
  ReleaseDC(label, dc);
  HFONT chosen = fontAt(points);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(chosen), TRUE);
  if (fitted) DeleteObject(fitted);
  fitted = chosen;
}

void frmAbout::cmdOK_Click() { open_ = false; }

LRESULT CALLBACK frmAbout::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return win::OwnedWindowProc<frmAbout, &frmAbout::window_, &frmAbout::Handle>(window, message, wParam, lParam);
}

LRESULT frmAbout::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // "OK", Enter and Esc alike.
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) cmdOK_Click();
      return 0;
    case WM_CLOSE:
      cmdOK_Click();
      return 0;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, Ref(kLabelColour));
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(brush_);
    }
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window_, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush_);
      return 1;
    }
    case WM_DPICHANGED:
      Rescale(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window_, &ps);
      PaintLines(dc);
      EndPaint(window_, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

// The etched separator: a grey line with a white one under it.
void frmAbout::PaintLines(HDC dc) {
  auto line = [&](layout::Line l, COLORREF colour) {
    const int x1 = ui::layout::TwipsToPixels(l.x1, dpi_);
    const int x2 = ui::layout::TwipsToPixels(l.x2, dpi_);
    const int y = ui::layout::TwipsToPixels(l.y, dpi_);
    const int width = std::max(1, ui::layout::TwipsToPixels(l.width, dpi_));
    RECT r{x1, y, x2, y + width};
    SetDCBrushColor(dc, colour);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  };
  line(layout::kLine1Grey, RGB(128, 128, 128));
  line(layout::kLine1White, RGB(255, 255, 255));
}

}  // namespace tolvane::ui::win
