// The main window: the chart, the host, count and interval boxes, the
// result labels and buttons. It is the view of a ping run: its buttons and
// timer hand over to the run, and the run tells it what to show. A run is
// in progress exactly while Timer1 is enabled.
#pragma once

#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

#include "probe/platform.h"
#include "resolve/resolve.h"
#include "ui/main/run.h"
#include "ui/tray/tray_menu_owner.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace tolvane::probe {
class Checker;
struct Platform;
}  // namespace tolvane::probe

namespace tolvane::ui {

namespace about {
class frmAbout;
}  // namespace about

class LatencyChart;
class MessageBoxSink;
class PeriodicTimer;

// What the window probes and looks names up with; the program gives it the
// system's, tests may give it fakes.
struct Engine {
  std::unique_ptr<probe::SocketLibrary> sockets;
  std::unique_ptr<probe::IcmpService> icmp;
  std::unique_ptr<resolve::HostLookup> lookup;
};

class MainWindow : public QWidget, public tray::TrayMenuOwner, private RunView {
  Q_OBJECT

 public:
  explicit MainWindow(Engine engine, QWidget* parent = nullptr);
  ~MainWindow() override;

  // One echo to `Vnewip_address`: the round-trip time in ms, or
  // probe::kNoReply.
  std::int32_t check(const std::string& Vnewip_address);
  // Takes sample `curping` of the run.
  void graphping();

  // The tray's popup menu: "&Restore" and "&Exit".
  QMenu* rcpopup() const { return rcpopup_; }
  // The icon's right-button press while the window is in the tray.
  void SysTrayMouseEventHandler() override;

  // The run this window shows.
  const PingRun& run() const { return *run_; }

 public slots:
  void Command1_Click();  // "Ping"
  void Command2_Click();  // "&Exit"
  void Command3_Click();  // "&Systray"
  void Command4_Click();  // "&About"
  void Command5_Click();  // "&Stop"
  void Timer1_Timer();
  void restore_Click();  // "&Restore" in the tray menu
  void exit_Click();     // "&Exit" in the tray menu

 signals:
  void systrayPressed();
  void aboutPressed();
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void Form_Load();
  void Tell(std::string_view text);

  // RunView: what the run shows, on this window's controls.
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

  Engine engine_;
  std::unique_ptr<MessageBoxSink> messages_;
  std::unique_ptr<probe::Platform> platform_;
  std::unique_ptr<resolve::Resolver> resolver_;
  std::unique_ptr<probe::Checker> checker_;
  std::unique_ptr<PingRun> run_;  // made once the controls are

  LatencyChart* graph;
  QLineEdit* Text1;
  QLineEdit* duration;
  QLineEdit* interval;
  QPushButton* Command1;
  QPushButton* Command2;
  QPushButton* Command3;
  QPushButton* Command4;
  QPushButton* Command5;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Current;
  QLabel* results;
  PeriodicTimer* Timer1;
  QMenu* rcpopup_;
  QAction* restore;
  QAction* exit;
  about::frmAbout* frmAbout_ = nullptr;  // made at the first "&About"
};

}  // namespace tolvane::ui
