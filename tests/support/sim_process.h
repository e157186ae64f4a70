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

// The quorvane-sim program that SimProcess starts: the build's own on POSIX, the
// quorvane-sim.exe beside the running test program on Windows.
std::string SimProgramPath();

// quorvane-sim started as a child process with the given options; ready once listening. On
// Windows the program is the quorvane-sim.exe beside the running test program.
//
// The server must end well: however it is ended (Stop, Wait, or when the object goes), an exit
// status other than 0 fails the running test with that status, and so does a server that does
// not end within kEndTimeoutMs (it is then killed). A sanitizer's report in the server (a leak at
// exit, undefined behaviour) gives such a status, and the report itself is on the test's
// standard error, which the server shares.
class SimProcess {
 public:
  // How long the server may take to end once asked, or to end by itself in Wait.
  static constexpr int kEndTimeoutMs = 30000;
  // How long the server may take to start listening.
  static constexpr int kReadyTimeoutMs = 10000;

  explicit SimProcess(std::vector<std::string> arguments);
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // Waits until the server has created its ready file. False, with a failure saying why, when
  // the server ended first or did not become ready within kReadyTimeoutMs.
  bool WaitUntilReady();
  // Asks the server to stop and reaps it; returns its exit status (-1 if it ended by a signal
  // or had to be killed). POSIX: SIGTERM. Windows: a close request to its window.
  int Stop();
  // Waits for the server to end by itself; returns its exit status (-1 as for Stop).
  int Wait();
  // POSIX: sends a signal to the server (SIGSTOP makes it hang as a frozen simulator does).
  void Signal(int signal_number);

 private:
  // Waits up to kEndTimeoutMs for the server to end, killing it after that, and reports any end
  // but exit status 0 as a failure; `how` says how it was ended, for the message.
  int Reap(const char* how);

  pid_t pid_ = -1;  // the child's process id; on Windows, its process handle
  std::string ready_file_;
};

// Runs a program to its end with the given arguments, capturing its standard output as text
// (on Windows, CR LF line ends are read as LF). A program still running after timeout_ms is
// killed: the run then fails the running test, and its exit status is -1.
struct ProgramRun {
  int exit_status = -1;  // -1 when it ended by a signal or was killed
  bool timed_out = false;
  std::string output;
};
ProgramRun RunProgram(const std::string& path, const std::vector<std::string>& arguments,
                      int timeout_ms = 120000);

// The lines of a text file (without their line ends); empty when the file cannot be read.
std::vector<std::string> ReadLines(const std::string& path);

}  // namespace quorvane::testing
