#include "qt/periodic_timer.h"

#include "app/run.h"

namespace tolvane::ui {

PeriodicTimer::PeriodicTimer(QObject* parent) : QObject(parent) {
  // Coarse timers may fire 5% early or late; samples are to be k periods apart.
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &PeriodicTimer::ticked);
}

void PeriodicTimer::setPeriod(int milliseconds) {
  period_ = milliseconds;
  Rearm();
}

void PeriodicTimer::setEnabled(bool enabled) {
  enabled_ = enabled;
  Rearm();
}

void PeriodicTimer::Rearm() {
  // A QTimer of 0 ms would fire on every pass of the event loop.
  if (TimerTicks(enabled_, period_)) {
    timer_.start(period_);
  } else {
    timer_.stop();
  }
}

}  // namespace tolvane::ui
