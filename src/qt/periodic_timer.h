// The sampling timer: a period in milliseconds and an enabled flag. A
// period of 0 never ticks, though the timer stays enabled.
#pragma once

#include <QObject>
#include <QTimer>

namespace tolvane::ui {

class PeriodicTimer : public QObject {
  Q_OBJECT

 public:
  explicit PeriodicTimer(QObject* parent = nullptr);

  void setPeriod(int milliseconds);
  int period() const { return period_; }
  void setEnabled(bool enabled);
  bool isEnabled() const { return enabled_; }

 signals:
  void ticked();

 private:
  void Rearm();

  QTimer timer_;
  int period_ = 0;
  bool enabled_ = false;
};

}  // namespace tolvane::ui
