#pragma once

#include <QTimer>
#include <functional>

#include "app/app_timer.h"

namespace quorvane {

// A window timer made of a QTimer; calls on_tick at every tick.
class QtTimerBackend final : public TimerBackend {
 public:
  explicit QtTimerBackend(std::function<void()> on_tick);
  void Start(int period_ms) override { timer_.start(period_ms); }
  void Stop() override { timer_.stop(); }

 private:
  QTimer timer_;
};

}  // namespace quorvane
