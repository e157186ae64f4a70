#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace quorvane {

// Catches SIGINT and SIGTERM from now on and holds them for TerminationSignals. Call it first
// thing in main, so that a signal during start-up is not lost (or fatal) but handled once the
// event loop runs.
void CatchTerminationSignals();

// Turns SIGINT and SIGTERM into a call of on_signal from the event loop, so that a Ctrl+C in a
// terminal or a logout runs the ordinary close handling instead of killing the process. A signal
// caught before this object existed is delivered as soon as the event loop runs.
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
