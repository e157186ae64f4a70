#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace quorvane::testing {

// A program started as a child process for an end-to-end test, in a working folder of the
// test's choice, with this process's environment.
class ChildProcess {
 public:
  ChildProcess(const std::string& path, const std::vector<std::string>& arguments,
               const std::string& working_folder);
  ~ChildProcess();  // kills the child if it still runs
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  void Signal(int signal_number);
  // Waits up to timeout_ms for the child to end; its exit status, or -1 when it was killed by a
  // signal, or -2 when it is still running.
  int Wait(int timeout_ms);
  bool Running();

 private:
  pid_t pid_ = -1;
  int status_ = -2;
};

// Polls condition every 50 ms for up to timeout_ms; true once it holds.
bool WaitFor(const std::function<bool()>& condition, int timeout_ms);

}  // namespace quorvane::testing
