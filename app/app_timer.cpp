#include "app/app_timer.h"

namespace quorvane {

void AppTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) {
    return;
  }
  enabled_ = enabled;
  if (enabled_) {
    backend_.Start(period_ms_);
  } else {
    backend_.Stop();
  }
}

void AppTimer::SetPeriod(int period_ms) {
  if (period_ms <= 0 || period_ms == period_ms_) {
    return;
  }
  period_ms_ = period_ms;
  if (enabled_) {
    backend_.Start(period_ms_);
  }
}

void AppTimer::Restart() {
  SetEnabled(false);
  SetEnabled(true);
}

}  // namespace quorvane
