#include "tests/support/private_x_server.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

extern char** environ;

namespace quorvane::testing {

namespace {

// Waits up to timeout_ms for the child to end and reaps it; kills it when it does not.
void EndChild(pid_t pid, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (::waitpid(pid, nullptr, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);  // SIGKILL cannot be caught: the end is immediate
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace

PrivateXServer::PrivateXServer(const std::string& screen) {
  int fds[2];
  if (::pipe(fds) != 0) {
    return;
  }
  const std::string fd_text = std::to_string(fds[1]);
  const char* argv[] = {"Xvfb",         "-displayfd", fd_text.c_str(), "-screen", "0",
                        screen.c_str(), "-nolisten",  "tcp",           nullptr};
  if (::posix_spawnp(&pid_, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
    pid_ = -1;
  }
  ::close(fds[1]);
  // The number arrives, ended by a line break, once the server accepts connections.
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
  std::string number;
  bool ended = false;
  while (pid_ > 0 && !ended) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd readable{fds[0], POLLIN, 0};
    const int ready = ::poll(&readable, 1, static_cast<int>(std::max<long>(left.count(), 0)));
    if (ready < 0 && errno == EINTR) {
      continue;
    }
    char c = 0;
    if (ready <= 0 || ::read(fds[0], &c, 1) != 1) {
      number.clear();  // no number in time, or the server ended first
      break;
    }
    ended = c == '\n';
    if (!ended) {
      number += c;
    }
  }
  ::close(fds[0]);
  if (ended && !number.empty()) {
    display_ = ":" + number;
  } else if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    EndChild(pid_, kEndTimeoutMs);
    pid_ = -1;
  }
}

PrivateXServer::~PrivateXServer() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    EndChild(pid_, kEndTimeoutMs);
  }
}

}  // namespace quorvane::testing
