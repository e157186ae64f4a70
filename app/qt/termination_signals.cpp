#include "app/qt/termination_signals.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <csignal>

namespace quorvane {

namespace {

int g_signal_pipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  // Only async-signal-safe work here: the event loop does the rest.
  [[maybe_unused]] const auto written = ::write(g_signal_pipe[1], &byte, 1);
}

}  // namespace

void CatchTerminationSignals() {
  if (g_signal_pipe[0] >= 0 ||
      ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signal_pipe) != 0) {
    return;
  }
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

TerminationSignals::TerminationSignals(std::function<void()> on_signal)
    : on_signal_(std::move(on_signal)) {
  CatchTerminationSignals();
  if (g_signal_pipe[0] < 0) {
    return;
  }
  notifier_ = new QSocketNotifier(g_signal_pipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, [this] {
    char byte = 0;
    [[maybe_unused]] const auto read_count = ::read(g_signal_pipe[0], &byte, 1);
    if (!handled_) {
      handled_ = true;
      on_signal_();
    }
  });
}

TerminationSignals::~TerminationSignals() {
  ::signal(SIGINT, SIG_DFL);
  ::signal(SIGTERM, SIG_DFL);
}

}  // namespace quorvane
