#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace quorvane::testing {

// A private folder for a test's files. On POSIX it also holds the test's sockets: it sets
// XDG_RUNTIME_DIR of this process to the fresh temporary folder, so that servers and clients of
// one test never meet another test's. (Windows has one desktop for all: there a test's server
// window is seen by every client until the server stops.)
class PrivateRuntimeDir {
 public:
  PrivateRuntimeDir();
  ~PrivateRuntimeDir();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// quorvane-sim started as a child process with the given options; ready once listening. On
// Windows the program is the quorvane-sim.exe beside the running test program.
class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> arguments);
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // Waits until the server has created its ready file; false after 10 s.
  bool WaitUntilReady();
  // Asks the server to stop and reaps it; returns its exit status (-1 if it had to be killed).
  // POSIX: SIGTERM. Windows: a close request to its window, then termination after 5 s.
  int Stop();
  // Waits for the process to end by itself; returns its exit status.
  int Wait();
  // POSIX: sends a signal to the server (SIGSTOP makes it hang as a frozen simulator does).
  void Signal(int signal_number);

 private:
  pid_t pid_ = -1;  // the child's process id; on Windows, its process handle
  std::string ready_file_;
};

// Runs a program to its end with the given arguments, capturing its standard output as text
// (on Windows, CR LF line ends are read as LF).
struct ProgramRun {
  int exit_status = -1;
  std::string output;
};
ProgramRun RunProgram(const std::string& path, const std::vector<std::string>& arguments);

// The lines of a text file (without their line ends); empty when the file cannot be read.
std::vector<std::string> ReadLines(const std::string& path);

}  // namespace quorvane::testing
