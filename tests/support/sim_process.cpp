#include "tests/support/sim_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace quorvane::testing {

namespace {

pid_t Spawn(const std::string& path, const std::vector<std::string>& arguments,
            posix_spawn_file_actions_t* actions) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (::posix_spawn(&pid, path.c_str(), actions, nullptr, argv.data(), environ) != 0) {
    throw std::runtime_error("cannot start " + path);
  }
  return pid;
}

int ExitStatus(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The status of a child that something else reaped: neither an exit nor a signal.
constexpr int kUnknownStatus = -1;

// How a reaped child ended, for a failure message.
std::string Ending(int status) {
  if (status == kUnknownStatus) {
    return "a status unknown here (it was reaped elsewhere)";
  }
  if (WIFEXITED(status)) {
    return "exit status " + std::to_string(WEXITSTATUS(status));
  }
  if (WIFSIGNALED(status)) {
    return "signal " + std::to_string(WTERMSIG(status));
  }
  return "status " + std::to_string(status);
}

// Waits up to timeout_ms for the child pid to end and reaps it; false when it still runs.
// Polls, as no wait call of its own takes a time-out.
bool WaitForEnd(pid_t pid, int timeout_ms, int& status) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    const pid_t ended = ::waitpid(pid, &status, WNOHANG);
    if (ended == pid) {
      return true;
    }
    if (ended < 0 && errno != EINTR) {
      status = kUnknownStatus;  // not a child of ours (any more): nothing to wait for
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// Kills a child that overran its time and reaps it; the kill takes effect at once.
void Kill(pid_t pid) {
  ::kill(pid, SIGKILL);
  int status = 0;
  WaitForEnd(pid, 5000, status);
}

}  // namespace

std::string SimProgramPath() {
  return QUORVANE_SIM_PATH;
}

PrivateRuntimeDir::PrivateRuntimeDir() {
  char folder[] = "/tmp/quorvane-test-XXXXXX";
  if (::mkdtemp(folder) == nullptr) {
    throw std::runtime_error("mkdtemp failed");
  }
  path_ = folder;
  ::setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
}

PrivateRuntimeDir::~PrivateRuntimeDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

SimProcess::SimProcess(std::vector<std::string> arguments) {
  static int counter = 0;
  ready_file_ =
      std::string(std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "/tmp") +
      "/sim-ready-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
  ::unlink(ready_file_.c_str());
  arguments.push_back("--ready-file");
  arguments.push_back(ready_file_);
  pid_ = Spawn(SimProgramPath(), arguments, nullptr);
}

SimProcess::~SimProcess() {
  if (pid_ > 0) {
    Stop();
  }
  ::unlink(ready_file_.c_str());
}

bool SimProcess::WaitUntilReady() {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadyTimeoutMs);
  struct stat info {};
  while (::stat(ready_file_.c_str(), &info) != 0) {
    int status = 0;
    if (pid_ > 0 && ::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      ADD_FAILURE() << "quorvane-sim ended with " << Ending(status) << " before it was ready";
      return false;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ADD_FAILURE() << "quorvane-sim was not ready within " << kReadyTimeoutMs / 1000 << " s";
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

int SimProcess::Stop() {
  if (pid_ <= 0) {
    return -1;
  }
  // A stopped server runs again first. (Never afterwards: a SIGCONT cancels the stop with
  // which the leak checker halts the exiting process, which then waits for ever.)
  ::kill(pid_, SIGCONT);
  ::kill(pid_, SIGTERM);
  return Reap("asked to stop (SIGTERM)");
}

void SimProcess::Signal(int signal_number) {
  if (pid_ > 0) {
    ::kill(pid_, signal_number);
  }
}

int SimProcess::Wait() {
  if (pid_ <= 0) {
    return -1;
  }
  return Reap("left to end by itself");
}

int SimProcess::Reap(const char* how) {
  const pid_t pid = pid_;
  pid_ = -1;
  int status = 0;
  if (!WaitForEnd(pid, kEndTimeoutMs, status)) {
    Kill(pid);
    ADD_FAILURE() << "quorvane-sim " << how << " was still running after " << kEndTimeoutMs / 1000
                  << " s, and was killed";
    return -1;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    ADD_FAILURE() << "quorvane-sim " << how << " ended with " << Ending(status)
                  << " instead of 0 (a sanitizer's report, if any, is above)";
  }
  return ExitStatus(status);
}

ProgramRun RunProgram(const std::string& path, const std::vector<std::string>& arguments,
                      int timeout_ms) {
  using std::chrono::milliseconds;
  using std::chrono::steady_clock;
  const auto deadline = steady_clock::now() + milliseconds(timeout_ms);
  std::array<int, 2> pipe_fds{};
  // Close-on-exec: a program another thread starts meanwhile must not hold the pipe open.
  if (::pipe2(pipe_fds.data(), O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  const pid_t pid = Spawn(path, arguments, &actions);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipe_fds[1]);
  ProgramRun run;
  const auto left_ms = [&deadline] {
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - steady_clock::now());
    return static_cast<int>(std::max<milliseconds::rep>(left.count(), 0));
  };
  // The output until the program closes it, or until the time is up.
  char buffer[4096];
  for (;;) {
    pollfd readable{pipe_fds[0], POLLIN, 0};
    const int ready = ::poll(&readable, 1, left_ms());
    if (ready == 0) {
      run.timed_out = true;
      break;
    }
    if (ready < 0) {
      if (errno == EINTR) {
        continue;
      }
      break;
    }
    const ssize_t count = ::read(pipe_fds[0], buffer, sizeof buffer);
    if (count > 0) {
      run.output.append(buffer, static_cast<std::size_t>(count));
    } else if (count == 0 || errno != EINTR) {
      break;
    }
  }
  ::close(pipe_fds[0]);
  int status = 0;
  if (!run.timed_out && !WaitForEnd(pid, left_ms(), status)) {
    run.timed_out = true;  // its output closed, but it went on
  }
  if (run.timed_out) {
    Kill(pid);
    ADD_FAILURE() << path << " was still running after " << timeout_ms / 1000
                  << " s, and was killed; its output so far:\n"
                  << run.output;
    return run;
  }
  run.exit_status = ExitStatus(status);
  return run;
}

}  // namespace quorvane::testing
