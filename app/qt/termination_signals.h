#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace quorvane {

class LinkInterrupt;

// Catches SIGINT and SIGTERM from now on and holds them for TerminationSignals; each one also
// interrupts link_interrupt at once (a wait for a server that does not answer ends there). Call
// it first thing in main, so that a signal during start-up is not lost (or fatal) but handled.
void CatchTerminationSignals(LinkInterrupt& link_interrupt);

// Turns SIGINT and SIGTERM into a call of on_signal from the event loop, so that a Ctrl+C in a
// terminal or a logout runs the ordinary close handling instead of killing the process. A signal
// caught before this object existed is delivered as soon as the event loop runs, or by
// DeliverPending.
class TerminationSignals final : public QObject {
 public:
  explicit TerminationSignals(std::function<void()> on_signal);
  ~TerminationSignals() override;

  // Delivers a signal caught meanwhile now (where no event loop runs to deliver it).
  void DeliverPending();

 private:
  void Deliver();

  std::function<void()> on_signal_;
  QSocketNotifier* notifier_ = nullptr;
  bool handled_ = false;
};

}  // namespace quorvane
