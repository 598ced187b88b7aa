// A ping run, without any toolkit: what "Ping", each tick of the sampling
// timer and "&Stop" do to the run state, the engine and the window. The
// window (Qt on Linux, Win32 on Windows) is only its view: it hands over
// what was typed and shows what the run tells it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/chart_control.h"
#include "app/run_texts.h"
#include "app/typed_number.h"

namespace tolvane::probe {
class Checker;
}  // namespace tolvane::probe
namespace tolvane::resolve {
struct Resolver;
}  // namespace tolvane::resolve

namespace tolvane::ui {

// Everything the run does to a window.
class RunView {
 public:
  enum class BoxIcon { None, Warning };

  // The window's chart, which the run writes its rows to.
  virtual ChartControl& chart() = 0;

  // The labels "Current" and "results", and the "&Stop" button.
  virtual void SetCurrentText(const std::string& text) = 0;
  virtual void SetResultsText(const std::string& text) = 0;
  virtual void ShowStop(bool shown) = 0;

  // The sampling timer: a period in ms and its enabled flag (TimerTicks).
  virtual void SetTimerPeriod(std::int32_t milliseconds) = 0;
  virtual void SetTimerEnabled(bool enabled) = 0;

  // A modal message box captioned with the program's title, OK only. Ticks
  // may go on under it.
  virtual void ShowMessage(const std::string& text, BoxIcon icon) = 0;

 protected:
  ~RunView() = default;
};

// Whether the sampling timer ticks: while it is enabled, and its period is
// above 0 ms. A period that rounds to 0 never ticks, though the run goes on.
constexpr bool TimerTicks(bool enabled, std::int32_t milliseconds) { return enabled && milliseconds > 0; }

// What the user typed into the host, count and interval boxes.
struct TypedRun {
  std::string host;
  std::string count;
  std::string interval;
};

class PingRun {
 public:
  // `program` is the program's path, for the permission hint.
  PingRun(probe::Checker& checker, resolve::Resolver& resolver, RunView& view,
          NumberSeparators separators, std::string program);

  // "Ping": judges what was typed, probes (falling back to the name), and
  // starts the run; a refused press tells why and leaves a run going on.
  void Press(const TypedRun& typed);
  // One tick of the sampling timer; `intervalText` is the interval box now
  // (the rows' labels follow it).
  void Tick(const std::string& intervalText);
  // "&Stop": the timer off and the button hidden; nothing else changes.
  void Stop();
  // Takes sample `curping`: its row's label, sample and value, and the
  // labels. Only a tick calls it.
  void graphping(const std::string& intervalText);

  bool running() const { return running_; }

  // Run state, read by the windows' tests.
  std::int32_t maxt = kNoStatistic;
  std::int32_t mint = kNoStatistic;
  std::int32_t sumt = 0;        // sum of answered round trips; the average at the end
  std::int32_t numreplies = 0;  // answered samples so far
  std::int16_t numpings = 0;    // samples the run takes
  std::int16_t curping = 0;     // next sample, and its chart row
  std::string curhost;          // what every sample of the run probes

 private:
  // A press refused: the message box that says why.
  std::nullopt_t Refuse(std::string_view message);
  std::optional<std::int16_t> ReadCount(const std::string& text);
  std::optional<double> ReadInterval(const std::string& text);
  bool RefusedForPermission();

  probe::Checker& checker_;
  resolve::Resolver& resolver_;
  RunView& view_;
  NumberSeparators separators_;
  std::string program_;
  double runInterval_ = 0;  // labels the rows when the box no longer reads
  bool running_ = false;
};

}  // namespace tolvane::ui
