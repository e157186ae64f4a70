#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace quorvane {

// Turns SIGINT and SIGTERM into a call of on_signal from the event loop, so that a Ctrl+C in a
// terminal or a logout runs the ordinary close handling instead of killing the process.
class TerminationSignals final : public QObject {
 public:
  explicit TerminationSignals(std::function<void()> on_signal);
  ~TerminationSignals() override;

 private:
  std::function<void()> on_signal_;
  QSocketNotifier* notifier_ = nullptr;
  bool handled_ = false;
};

}  // namespace quorvane
