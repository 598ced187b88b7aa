// The Win32 main window: the chart, the host, count and interval boxes,
// the result labels and buttons, Timer1 and the tray menu. It is the ping
// run's view; the run itself knows no window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/chart_model.h"
#include "app/engine.h"
#include "app/run.h"
#include "app/tray.h"
#include "win32/tray_module.h"

namespace tolvane::ui::win {

class frmAbout;
class LatencyChart;

class MainWindow final : public RunView, public TrayMenuOwner, private tray::TrayPort {
 public:
  explicit MainWindow(HINSTANCE instance, Engine engine = SystemEngine());
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls, runs Form_Load and shows it, the
  // host, count and interval boxes filled from `boxes` (UTF-8; as many as
  // given, the others as they open). False when the window could not be made.
  bool Open(int showCommand, const std::vector<std::string>& boxes = {});
  HWND handle() const { return main_; }

  // What the chart shows, for the tests.
  const ChartModel& chart() const;

  // Keyboard navigation: Tab, the access keys. True when the message was
  // taken for that.
  bool TranslateDialogKeys(MSG& message);

  // Button and menu handlers.
  void Command1_Click();  // "Ping"
  void Command2_Click();  // "&Exit"
  void Command3_Click();  // "&Systray"
  void Command4_Click();  // "&About"
  void Command5_Click();  // "&Stop"
  void Timer1_Timer();
  void restore_Click();  // "&Restore" in the tray menu
  void exit_Click();     // "&Exit" in the tray menu
  void SysTrayMouseEventHandler() override;

  // RunView
  ChartControl& chart() override;
  void SetCurrentText(const std::string& text) override;
  void SetResultsText(const std::string& text) override;
  void ShowStop(bool shown) override;
  void SetTimerPeriod(std::int32_t milliseconds) override;
  void SetTimerEnabled(bool enabled) override;
  void ShowMessage(const std::string& text, BoxIcon icon) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void LoadIcons();
  void BuildControls();
  void Form_Load();
  void ApplyDpi(int dpi);
  void FitLabel(int id);
  void RearmTimer();
  void OnCommand(int id);
  void RememberFocus();
  void GiveFocusBack();
  void WatchShell();
  LRESULT ControlColour(HDC dc, HWND control, bool edit);
  std::string TextOf(int id) const;

  // TrayPort: what the tray asks of this window.
  bool ShowIcon(std::string_view tip) override;
  void RemoveIcon() override;
  void HideWindow() override;
  void ShowWindow() override;
  void CloseWindow() override;
  void Tell(std::string_view text) override;

  HINSTANCE instance_;
  HWND main_ = nullptr;
  HMENU rcpopup = nullptr;
  HFONT font_ = nullptr;
  HFONT narrowFont_ = nullptr;
  HBRUSH windowBrush_ = nullptr;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  int dpi_ = 96;
  UINT taskbarCreated_ = 0;
  // The control that had the keyboard focus when the window last lost it
  // (or was about to show a box): given back when it is active again, as a
  // dialog does, rather than left on the bare window.
  HWND focus_ = nullptr;

  // Timer1: a period in ms and its enabled flag.
  std::int32_t timerPeriod_ = 10000;
  bool timerEnabled_ = false;

  std::unique_ptr<LatencyChart> graph;
  std::unique_ptr<frmAbout> frmAbout_;  // made at the first "&About"

  // The run, on the engine.
  WiredRun wired_;
  PingRun& run_;

  tray::Tray tray_{*this};
};

}  // namespace tolvane::ui::win
