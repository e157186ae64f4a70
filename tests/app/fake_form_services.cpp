#include "tests/app/fake_form_services.h"

#include <algorithm>

namespace quorvane::testing {

void FakeTimer::Start(int period_ms) {
  running_ = true;
  period_ms_ = period_ms;
  due_ms_ = clock_.now_ms() + period_ms;
  ++starts;
  if (on_start) {
    on_start();
  }
}

FakeTimer* FakeClock::NextDue(long long until) const {
  FakeTimer* next = nullptr;
  for (FakeTimer* timer : timers_) {
    if (timer->running_ && timer->due_ms_ <= until && (!next || timer->due_ms_ < next->due_ms_)) {
      next = timer;
    }
  }
  return next;
}

void FakeClock::Advance(long long ms) {
  const long long until = now_ms_ + ms;
  while (FakeTimer* timer = NextDue(until)) {
    now_ms_ = std::max(now_ms_, timer->due_ms_);
    timer->due_ms_ = now_ms_ + timer->period_ms_;
    timer->on_tick_();
  }
  now_ms_ = std::max(now_ms_, until);
}

void FakeClock::RunDue() {
  Advance(0);
}

}  // namespace quorvane::testing
