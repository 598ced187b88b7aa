// The Win32 main window: the chart, the host, count and interval boxes,
// the result labels and buttons, Timer1 and the tray menu. It is the ping
// run's view; the run itself knows no window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/chart_model.h"
#include "app/engine.h"
#include "app/run.h"
#include "app/tray.h"
#include "app/tray_menu_owner.h"

namespace tolvane::ui::win {
class frmAbout;
}  // namespace tolvane::ui::win
namespace tolvane::ui::tray {
class NotifyArea;
class ShellNotifyArea;
class Win32WindowSystem;
}  // namespace tolvane::ui::tray

namespace tolvane::ui::win {

class LatencyChart;

class MainWindow final : public RunView, public tray::TrayMenuOwner, private tray::TrayWindow {
 public:
  // `area` stands in for the shell's notification area (tests); the
  // shell's own when none is given.
  explicit MainWindow(HINSTANCE instance, tray::NotifyArea* area = nullptr, Engine engine = SystemEngine());
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls, runs Form_Load and shows it.
  // False when the window could not be made.
  bool Open(int showCommand);
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
  void SetRowCount(std::int16_t count) override;
  void SetHostText(const std::string& text) override;
  void SelectRow(std::int16_t row) override;
  void SetRowLabel(const std::string& text) override;
  void SetRowValue(const std::string& text) override;
  void SetRowToolTip(const std::string& text) override;
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

  // TrayWindow: what the tray's sequences do to this window.
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
  // Seconds in a row the shell's tray window was missing while resident.
  int shellMissing_ = 0;
  // The control that had the keyboard focus when the window last lost it
  // (or was about to show a box): given back when it is active again, as a
  // dialog does, rather than left on the bare window.
  HWND focus_ = nullptr;

  // Timer1: a period in ms (0 never ticks) and its enabled flag.
  std::int32_t timerPeriod_ = 10000;
  bool timerEnabled_ = false;

  std::unique_ptr<LatencyChart> graph;
  std::unique_ptr<win::frmAbout> frmAbout_;  // made at the first "&About"

  // The run, on the engine.
  WiredRun wired_;
  PingRun& run_;

  // The tray's services.
  std::unique_ptr<tray::ShellNotifyArea> shellArea_;
  tray::NotifyArea* notifyArea_;
  std::unique_ptr<tray::Win32WindowSystem> windowSystem_;
};

}  // namespace tolvane::ui::win
