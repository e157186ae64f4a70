#include "app/qt/termination_signals.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <csignal>

#include "link/link_interrupt.h"

namespace quorvane {

namespace {

int g_signal_pipe[2] = {-1, -1};
LinkInterrupt* g_link_interrupt = nullptr;

void OnSignal(int) {
  const char byte = 1;
  // Only async-signal-safe work here: a write, and the interrupt's (a write too). The event
  // loop does the rest, once the link has stopped waiting.
  [[maybe_unused]] const auto written = ::write(g_signal_pipe[1], &byte, 1);
  g_link_interrupt->Request();
}

}  // namespace

void CatchTerminationSignals(LinkInterrupt& link_interrupt) {
  if (g_signal_pipe[0] >= 0 ||
      ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signal_pipe) != 0) {
    return;
  }
  g_link_interrupt = &link_interrupt;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

TerminationSignals::TerminationSignals(std::function<void()> on_signal)
    : on_signal_(std::move(on_signal)) {
  if (g_signal_pipe[0] < 0) {
    return;
  }
  notifier_ = new QSocketNotifier(g_signal_pipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, [this] { Deliver(); });
}

TerminationSignals::~TerminationSignals() {
  ::signal(SIGINT, SIG_DFL);
  ::signal(SIGTERM, SIG_DFL);
}

void TerminationSignals::DeliverPending() {
  pollfd wait{g_signal_pipe[0], POLLIN, 0};
  if (g_signal_pipe[0] >= 0 && ::poll(&wait, 1, 0) == 1) {
    Deliver();
  }
}

void TerminationSignals::Deliver() {
  char byte = 0;
  [[maybe_unused]] const auto read_count = ::read(g_signal_pipe[0], &byte, 1);
  if (!handled_) {
    handled_ = true;
    on_signal_();
  }
}

}  // namespace quorvane
