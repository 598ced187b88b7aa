// The main window: the chart, the host, count and interval boxes, the
// result labels and buttons, and the run state a ping run keeps between
// ticks. A run is in progress exactly while Timer1 is enabled.
#pragma once

#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "ui/main/run_texts.h"
#include "ui/tray/tray_menu_owner.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace tolvane::probe {
class Checker;
class IcmpService;
class SocketLibrary;
struct Platform;
}  // namespace tolvane::probe
namespace tolvane::resolve {
class HostLookup;
struct Resolver;
}  // namespace tolvane::resolve

namespace tolvane::ui {

namespace about {
class frmAbout;
}  // namespace about

class LatencyChart;
class MessageBoxSink;
class PeriodicTimer;

class MainWindow : public QWidget, public tray::TrayMenuOwner {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // One echo to `Vnewip_address`: the round-trip time in ms, or
  // probe::kNoReply.
  std::int32_t check(const std::string& Vnewip_address);
  // Takes sample `curping` of the run.
  void graphping();

  // Texts for the host, count and interval boxes, in that order, as the
  // command line gives them; boxes past the end of the list keep theirs.
  void Prefill(const QStringList& boxes);

  // The tray's popup menu: "&Restore" and "&Exit".
  QMenu* rcpopup() const { return rcpopup_; }
  // The icon's right-button press while the window is in the tray.
  void SysTrayMouseEventHandler() override;

  // Largest and smallest answered round trip of the run, in ms;
  // kNoStatistic while none was answered.
  std::int32_t maxt = kNoStatistic;
  std::int32_t mint = kNoStatistic;

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
  std::optional<std::int16_t> ReadCount();
  std::optional<double> ReadInterval();
  bool RefusedForPermission();
  void Tell(std::string_view text);

  // The probe engine, on this platform's services.
  std::unique_ptr<probe::SocketLibrary> sockets_;
  std::unique_ptr<probe::IcmpService> icmp_;
  std::unique_ptr<resolve::HostLookup> lookup_;
  std::unique_ptr<MessageBoxSink> messages_;
  std::unique_ptr<probe::Platform> platform_;
  std::unique_ptr<resolve::Resolver> resolver_;
  std::unique_ptr<probe::Checker> checker_;

  // Run state beside maxt and mint.
  std::int32_t sumt = 0;        // sum of answered round trips; the average at the end
  std::int32_t numreplies = 0;  // answered samples so far
  std::int16_t numpings = 0;    // samples the run takes
  std::int16_t curping = 0;     // next sample, and its chart row
  std::string curhost;          // what every sample of the run probes
  double runInterval_ = 0;      // labels the rows when the box no longer reads

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
