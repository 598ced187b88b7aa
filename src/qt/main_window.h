// The main window: the chart, the host, count and interval boxes, the
// result labels and buttons. It is the view of a ping run: its buttons and
// timer hand over to the run, and the run tells it what to show. A run is
// in progress exactly while Timer1 is enabled.
#pragma once

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/engine.h"
#include "app/run.h"
#include "app/tray.h"

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace tolvane::ui {

namespace qt {
class frmAbout;
}  // namespace qt

class LatencyChart;
class PeriodicTimer;
namespace tray {
class TrayIcon;
}  // namespace tray

class MainWindow : public QWidget, private RunView, private tray::TrayPort {
  Q_OBJECT

 public:
  // The program gives it the system's engine; tests may give it fakes.
  explicit MainWindow(Engine engine, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Texts for the host, count and interval boxes, in that order, as the
  // command line gives them; boxes past the end of the list keep theirs.
  void Prefill(const std::vector<std::string>& boxes);

  // The icon's right-button press while the window is in the tray.
  void SysTrayMouseEventHandler();

  // Whether the window is in the tray.
  const tray::Tray& tray() const { return tray_; }

  // The run this window shows.
  const PingRun& run() const { return wired_->run(); }

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
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void Form_Load();
  void LoadIcon();

  // TrayPort: what the tray asks of this window.
  bool ShowIcon(std::string_view tip) override;
  void RemoveIcon() override;
  void HideWindow() override;
  void ShowWindow() override;
  void CloseWindow() override;
  void Tell(std::string_view text) override;

  // RunView: what the run shows, on this window's controls.
  ChartControl& chart() override;
  void SetCurrentText(const std::string& text) override;
  void SetResultsText(const std::string& text) override;
  void ShowStop(bool shown) override;
  void SetTimerPeriod(std::int32_t milliseconds) override;
  void SetTimerEnabled(bool enabled) override;
  void ShowMessage(const std::string& text, BoxIcon icon) override;

  Engine engine_;                     // until the run takes it
  std::unique_ptr<WiredRun> wired_;  // made once the controls are

  LatencyChart* graph;
  QLineEdit* Text1;
  QLineEdit* duration;
  QLineEdit* interval;
  QPushButton* Command5;
  QLabel* Current;
  QLabel* results;
  PeriodicTimer* Timer1;
  QMenu* rcpopup_;
  qt::frmAbout* frmAbout_ = nullptr;     // made at the first "&About"
  tray::Tray tray_{*this};
  tray::TrayIcon* trayIcon_ = nullptr;
  QPointer<QWidget> trayFocus_;          // had the focus when the window went to the tray
  bool iconLoaded_ = false;
};

}  // namespace tolvane::ui
