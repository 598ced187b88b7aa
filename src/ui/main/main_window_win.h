// The Win32 main window: the chart, the host, count and interval boxes,
// the result labels and buttons, Timer1 and the tray menu. It is the ping
// run's view; the run itself knows no window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "ui/main/chart_model.h"
#include "ui/main/run.h"
#include "ui/tray/tray_menu_owner.h"

namespace tolvane::probe {
class Checker;
class IcmpService;
class MessageSink;
class SocketLibrary;
struct Platform;
}  // namespace tolvane::probe
namespace tolvane::resolve {
class HostLookup;
struct Resolver;
}  // namespace tolvane::resolve

namespace tolvane::ui::about {
class frmAbout;
}  // namespace tolvane::ui::about
namespace tolvane::ui::tray {
class NotifyArea;
class ShellNotifyArea;
class Win32WindowSystem;
}  // namespace tolvane::ui::tray

namespace tolvane::ui::win {

class LatencyChart;

class MainWindow final : public RunView, public tray::TrayMenuOwner {
 public:
  // `area` stands in for the shell's notification area (tests); the
  // shell's own when none is given.
  explicit MainWindow(HINSTANCE instance, tray::NotifyArea* area = nullptr);
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

  // One echo to `Vnewip_address`: the round trip in ms, or probe::kNoReply.
  std::int32_t check(const std::string& Vnewip_address);
  // Takes sample `curping` of the run.
  void graphping();

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
  void BuildControls();
  void Form_Load();
  void ApplyDpi(int dpi);
  void FitLabel(int id);
  void RearmTimer();
  void OnCommand(int id);
  LRESULT ControlColour(HDC dc, HWND control, bool edit);
  std::string TextOf(int id) const;
  void LeaveTray();
  void Tell(std::string_view text);

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

  // Timer1: a period in ms (0 never ticks) and its enabled flag.
  std::int32_t timerPeriod_ = 10000;
  bool timerEnabled_ = false;

  std::unique_ptr<LatencyChart> graph;
  std::unique_ptr<about::frmAbout> frmAbout_;  // made at the first "&About"

  // The probe engine, on Windows' services.
  std::unique_ptr<probe::SocketLibrary> sockets_;
  std::unique_ptr<probe::IcmpService> icmp_;
  std::unique_ptr<resolve::HostLookup> lookup_;
  std::unique_ptr<probe::MessageSink> messages_;
  std::unique_ptr<probe::Platform> platform_;
  std::unique_ptr<resolve::Resolver> resolver_;
  std::unique_ptr<probe::Checker> checker_;
  std::unique_ptr<PingRun> run_;

  // The tray's services.
  std::unique_ptr<tray::ShellNotifyArea> shellArea_;
  tray::NotifyArea* notifyArea_;
  std::unique_ptr<tray::Win32WindowSystem> windowSystem_;
};

}  // namespace tolvane::ui::win
