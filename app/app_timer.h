#pragma once

namespace quorvane {

// What a toolkit provides for one timer: start counting a full period from now (also when
// already counting), and stop. The toolkit calls the owner back at each tick.
class TimerBackend {
 public:
  virtual ~TimerBackend() = default;
  virtual void Start(int period_ms) = 0;
  virtual void Stop() = 0;
};

// A window timer with the rules the window relies on: enabling a disabled timer starts a fresh
// full period, enabling an enabled one changes nothing; a new period restarts a running
// timer's countdown, the same period changes nothing; a period of zero or less is never taken.
class AppTimer {
 public:
  AppTimer(TimerBackend& backend, int period_ms) : backend_(backend), period_ms_(period_ms) {}

  void SetEnabled(bool enabled);
  void SetPeriod(int period_ms);
  // Disables and enables again: the next tick comes one full period from now.
  void Restart();
  bool Enabled() const { return enabled_; }
  int Period() const { return period_ms_; }

 private:
  TimerBackend& backend_;
  int period_ms_;
  bool enabled_ = false;
};

}  // namespace quorvane
