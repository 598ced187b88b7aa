// Figures for the window: start-up time to the window first shown and peak
// RSS until half a second later (the program's icon loaded), for the program against a bare Qt Widgets window with the same
// controls and a hand-painted chart area (11 runs each, started in turns;
// medians and their ratio); and the timing of a 20-sample run at 0.5 s,
// from the send times the test bed's responder saw.
//
// ui_bench <tolvane_startup> <bare_window>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "qt/main_window.h"
#include "qt/periodic_timer.h"
#include "qt/program.h"
#include "testbed/testbed.h"

extern char** environ;

namespace {

constexpr int kRuns = 11;
constexpr int kSamples = 20;
constexpr int kPeriodMs = 500;

std::int64_t MonotonicNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

struct Start {
  double ms;
  long peakKb;
};

// One start of `program`: from the spawn to its "shown" line, and its peak
// RSS until it ends, half a second after that.
std::optional<Start> StartOnce(const char* program) {
  int out[2];
  if (pipe(out) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  char* argv[] = {const_cast<char*>(program), nullptr};
  const std::int64_t began = MonotonicNs();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    return std::nullopt;
  }
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  close(out[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const auto at = text.find("shown ");
  if (at == std::string::npos || !WIFEXITED(status)) return std::nullopt;
  const std::int64_t shown = std::stoll(text.substr(at + 6));
  return Start{(shown - began) / 1e6, usage.ru_maxrss};
}

template <typename T>
T Median(std::vector<T> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

bool StartupFigures(const char* program, const char* bare) {
  std::vector<double> programMs, bareMs;
  std::vector<long> programKb, bareKb;
  for (int run = 0; run < kRuns; ++run) {
    // Alternate, so that neither gets the warmer caches throughout.
    const auto a = StartOnce(program);
    const auto b = StartOnce(bare);
    if (!a || !b) {
      std::printf("startup: run %d failed to show a window\n", run + 1);
      return false;
    }
    std::printf("startup run %d: tolvane %.1f ms %ld KiB, bare window %.1f ms %ld KiB\n", run + 1, a->ms,
                a->peakKb, b->ms, b->peakKb);
    programMs.push_back(a->ms);
    bareMs.push_back(b->ms);
    programKb.push_back(a->peakKb);
    bareKb.push_back(b->peakKb);
  }
  const double ms = Median(programMs), bareMedianMs = Median(bareMs);
  const long kb = Median(programKb), bareMedianKb = Median(bareKb);
  std::printf("startup to first shown, median of %d: tolvane %.1f ms, bare window %.1f ms, ratio %.2f\n",
              kRuns, ms, bareMedianMs, ms / bareMedianMs);
  std::printf("peak RSS to 0.5 s after shown, median of %d: tolvane %ld KiB, bare window %ld KiB, ratio %.2f\n", kRuns, kb,
              bareMedianKb, static_cast<double>(kb) / bareMedianKb);
  return true;
}

bool DriftFigures() {
  std::string why;
  if (!tolvane::testbed::Available(&why)) {
    std::printf("drift: not measured, no test bed: %s\n", why.c_str());
    return false;
  }
  tolvane::testbed::ScriptReplies({1});
  tolvane::ui::MainWindow window(tolvane::ui::SystemEngine());
  window.show();
  window.findChild<QLineEdit*>("Text1")->setText(tolvane::testbed::kScriptedHost);
  window.findChild<QLineEdit*>("duration")->setText(QString::number(kSamples));
  window.findChild<QLineEdit*>("interval")->setText("0.5");
  auto* timer = window.findChild<tolvane::ui::PeriodicTimer*>("Timer1");
  window.findChild<QPushButton*>("Command1")->click();
  const std::int64_t deadline = MonotonicNs() + (kSamples + 4) * kPeriodMs * 1'000'000LL;
  while (timer->isEnabled() && MonotonicNs() < deadline) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  const auto times = tolvane::testbed::RequestTimesNs();
  // The press's own probe, then one request per sample.
  if (timer->isEnabled() || times.size() != kSamples + 1) {
    std::printf("drift: expected %d requests, the responder saw %zu\n", kSamples + 1, times.size());
    return false;
  }
  double worstFromFirst = 0, worstFromPress = 0, sumGap = 0;
  for (int k = 1; k <= kSamples; ++k) {
    const double fromFirst = (times[k] - times[1]) / 1e6 - (k - 1) * kPeriodMs;
    const double fromPress = (times[k] - times[0]) / 1e6 - k * kPeriodMs;
    worstFromFirst = std::max(worstFromFirst, std::abs(fromFirst));
    worstFromPress = std::max(worstFromPress, std::abs(fromPress));
    if (k > 1) sumGap += (times[k] - times[k - 1]) / 1e6;
  }
  std::printf("drift over %d samples at %d ms: max |t_k - t_1 - (k-1)P| = %.3f ms, "
              "max |t_k - t_press - kP| = %.3f ms, mean gap %.3f ms, last sample at %.3f s\n",
              kSamples, kPeriodMs, worstFromFirst, worstFromPress, sumGap / (kSamples - 1),
              (times[kSamples] - times[0]) / 1e9);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: ui_bench <tolvane_startup> <bare_window>\n");
    return 2;
  }
  const bool started = StartupFigures(argv[1], argv[2]);
  QApplication app(argc, argv);
  const bool drifted = DriftFigures();
  return started || drifted ? 0 : 77;
}
