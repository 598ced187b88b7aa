// The About dialog on Win32: the program's icon, title, version, comments
// and a description, with one "OK" button. Shown modally; every showing
// loads it anew.
#pragma once

#include <windows.h>

namespace tolvane::ui::win {

class frmAbout {
 public:
  frmAbout(HINSTANCE instance, HICON icon);
  ~frmAbout();
  frmAbout(const frmAbout&) = delete;
  frmAbout& operator=(const frmAbout&) = delete;

  // Loads and shows the dialog over `owner`, which takes no input meanwhile,
  // and returns once it has been closed. The owner's timers go on ticking.
  void ShowModal(HWND owner);

  void cmdOK_Click();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Form_Load();
  void BuildControls();
  void FitTexts();
  void FitText(int id, HFONT& fitted);
  void Rescale(int dpi, const RECT& suggested);
  void SizePicture();
  void PaintLines(HDC dc);

  HINSTANCE instance_;
  HICON icon_;
  HICON pictureIcon_ = nullptr;  // the icon at the picture's size, while shown
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  HFONT fitted_[2] = {nullptr, nullptr};  // the fitted labels', in table order
  HBRUSH brush_ = nullptr;
  int dpi_ = 96;
  bool open_ = false;
};

}  // namespace tolvane::ui::win
