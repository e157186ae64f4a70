#pragma once

// quorvane-sim started once for a benchmark run, in a private socket folder.

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>

extern char** environ;

namespace quorvane::bench {

class SimulatorProcess {
 public:
  SimulatorProcess() {
    char folder[] = "/tmp/quorvane-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr) {
      throw std::runtime_error("mkdtemp failed");
    }
    folder_ = folder;
    ::setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
    const std::string ready = folder_ + "/ready";
    const char* argv[] = {QUORVANE_SIM_PATH, "--ready-file", ready.c_str(), nullptr};
    if (::posix_spawn(&pid_, QUORVANE_SIM_PATH, nullptr, nullptr, const_cast<char**>(argv),
                      environ) != 0) {
      throw std::runtime_error("cannot start quorvane-sim");
    }
    struct stat info {};
    for (int i = 0; i < 500 && ::stat(ready.c_str(), &info) != 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~SimulatorProcess() {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    std::system(("rm -rf " + folder_).c_str());
  }
  SimulatorProcess(const SimulatorProcess&) = delete;
  SimulatorProcess& operator=(const SimulatorProcess&) = delete;

 private:
  std::string folder_;
  pid_t pid_ = 0;
};

// The run's one quorvane-sim, started on first use.
inline SimulatorProcess& Simulator() {
  static SimulatorProcess simulator;
  return simulator;
}

}  // namespace quorvane::bench
