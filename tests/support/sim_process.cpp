#include "tests/support/sim_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
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

}  // namespace

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
  pid_ = Spawn(QUORVANE_SIM_PATH, arguments, nullptr);
}

SimProcess::~SimProcess() {
  if (pid_ > 0) {
    Stop();
  }
  ::unlink(ready_file_.c_str());
}

bool SimProcess::WaitUntilReady() {
  struct stat info {};
  for (int i = 0; i < 1000; ++i) {
    if (::stat(ready_file_.c_str(), &info) == 0) {
      return true;
    }
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

int SimProcess::Stop() {
  if (pid_ <= 0) {
    return -1;
  }
  // A stopped server runs again first. (Never afterwards: a SIGCONT cancels the stop with
  // which the leak checker halts the exiting process, which then waits for ever.)
  ::kill(pid_, SIGCONT);
  ::kill(pid_, SIGTERM);
  return Wait();
}

void SimProcess::Signal(int signal_number) {
  if (pid_ > 0) {
    ::kill(pid_, signal_number);
  }
}

int SimProcess::Wait() {
  int status = 0;
  if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_) {
    return -1;
  }
  pid_ = -1;
  return ExitStatus(status);
}

ProgramRun RunProgram(const std::string& path, const std::vector<std::string>& arguments) {
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
  char buffer[4096];
  ssize_t count = 0;
  while ((count = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0) {
    run.output.append(buffer, static_cast<std::size_t>(count));
  }
  ::close(pipe_fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  run.exit_status = ExitStatus(status);
  return run;
}

}  // namespace quorvane::testing
