#include "app/qt/qt_timer_backend.h"

namespace quorvane {

QtTimerBackend::QtTimerBackend(std::function<void()> on_tick) {
  QObject::connect(&timer_, &QTimer::timeout, [on_tick = std::move(on_tick)] { on_tick(); });
}

}  // namespace quorvane
