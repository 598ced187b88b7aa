#include "first_shown.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <ctime>

namespace tolvane::bench {
namespace {

constexpr int kStayMs = 500;

class FirstExpose : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* window = qobject_cast<QWindow*>(watched);
    if (!done_ && event->type() == QEvent::Expose && window != nullptr && window->isExposed()) {
      done_ = true;
      timespec now{};
      clock_gettime(CLOCK_MONOTONIC, &now);
      std::printf("shown %lld\n", static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec);
      std::fflush(stdout);
      // Half a second on, what the window loads once it shows (the
      // program's icon) is in, and counts towards the peak.
      QTimer::singleShot(kStayMs, qApp, &QApplication::quit);
    }
    return false;
  }

 private:
  bool done_ = false;
};

}  // namespace

void QuitWhenFirstShown(QApplication& app) { app.installEventFilter(new FirstExpose(&app)); }

}  // namespace tolvane::bench
