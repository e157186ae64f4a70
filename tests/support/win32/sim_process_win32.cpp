// Child processes for end-to-end tests on Windows (and under Wine).

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/sim_process.h"

namespace quorvane::testing {

namespace {

HANDLE ProcessOf(pid_t stored) {
  return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(stored));
}

pid_t Stored(HANDLE process) {
  return static_cast<pid_t>(reinterpret_cast<std::intptr_t>(process));
}

// One argument quoted so that the C runtime's command-line parser gives it back unchanged:
// backslashes are literal except before a quote, where they and the quote are escaped.
std::string Quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
    return argument;
  }
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  quoted += '"';
  return quoted;
}

std::string CommandLine(const std::string& path, const std::vector<std::string>& arguments) {
  std::string line = Quoted(path);
  for (const std::string& argument : arguments) {
    line += ' ';
    line += Quoted(argument);
  }
  return line;
}

// Starts path with arguments; stdout_handle (may be null) becomes its standard output.
PROCESS_INFORMATION Start(const std::string& path, const std::vector<std::string>& arguments,
                          HANDLE stdout_handle) {
  std::string line = CommandLine(path, arguments);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (stdout_handle != nullptr) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = stdout_handle;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  }
  PROCESS_INFORMATION process{};
  // Wine sometimes fails to start a process with ERROR_INTERNAL_ERROR when one has just ended
  // and the machine is busy; the same call succeeds a moment later. Only that error is tried
  // again, a few times after a short pause; any other failure is reported at once.
  constexpr int kAttempts = 5;
  constexpr DWORD kPauseMs = 200;
  for (int attempt = 1;; ++attempt) {
    if (::CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, stdout_handle != nullptr, 0,
                         nullptr, nullptr, &startup, &process)) {
      break;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_INTERNAL_ERROR || attempt == kAttempts) {
      throw std::runtime_error(
          "cannot start " + path + " (error " + std::to_string(error) +
          (attempt > 1 ? ", after " + std::to_string(attempt) + " attempts" : std::string()) + ")");
    }
    ::Sleep(kPauseMs);
  }
  ::CloseHandle(process.hThread);
  return process;
}

// The folder of the running program, with a trailing backslash.
std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length == MAX_PATH) {
    throw std::runtime_error("cannot find the test program's folder");
  }
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string TempFolder() {
  char path[MAX_PATH + 1];
  const DWORD length = ::GetTempPathA(sizeof path, path);
  if (length == 0 || length > MAX_PATH) {
    throw std::runtime_error("no temporary folder");
  }
  return std::string(path, length);
}

std::string UniqueName(const char* prefix) {
  static int counter = 0;
  return std::string(prefix) + std::to_string(::GetCurrentProcessId()) + "-" +
         std::to_string(++counter);
}

// Waits up to timeout_ms for the process to end, then closes its handle. Its exit code, or
// nothing when it was still running (it is then terminated).
std::optional<int> ReapProcess(HANDLE process, DWORD timeout_ms) {
  std::optional<int> status;
  if (::WaitForSingleObject(process, timeout_ms) == WAIT_OBJECT_0) {
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    status = static_cast<int>(code);
  } else {
    ::TerminateProcess(process, 1);
    ::WaitForSingleObject(process, 5000);
  }
  ::CloseHandle(process);
  return status;
}

// Asks every top-level window of the process to close.
void RequestClose(DWORD process_id) {
  struct Search {
    DWORD process_id;
  } search{process_id};
  ::EnumWindows(
      [](HWND window, LPARAM parameter) -> BOOL {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == reinterpret_cast<Search*>(parameter)->process_id) {
          ::PostMessageA(window, WM_CLOSE, 0, 0);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
}

}  // namespace

std::string SimProgramPath() {
  return ProgramFolder() + "quorvane-sim.exe";
}

PrivateRuntimeDir::PrivateRuntimeDir() {
  path_ = TempFolder() + UniqueName("quorvane-test-");
  if (!::CreateDirectoryA(path_.c_str(), nullptr)) {
    throw std::runtime_error("cannot create " + path_);
  }
}

PrivateRuntimeDir::~PrivateRuntimeDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

SimProcess::SimProcess(std::vector<std::string> arguments) {
  ready_file_ = TempFolder() + UniqueName("sim-ready-");
  ::DeleteFileA(ready_file_.c_str());
  arguments.push_back("--ready-file");
  arguments.push_back(ready_file_);
  pid_ = Stored(Start(SimProgramPath(), arguments, nullptr).hProcess);
}

SimProcess::~SimProcess() {
  if (pid_ > 0) {
    Stop();
  }
  ::DeleteFileA(ready_file_.c_str());
}

bool SimProcess::WaitUntilReady() {
  const ULONGLONG deadline = ::GetTickCount64() + kReadyTimeoutMs;
  while (::GetFileAttributesA(ready_file_.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (::WaitForSingleObject(ProcessOf(pid_), 10) == WAIT_OBJECT_0) {
      const std::optional<int> status = ReapProcess(ProcessOf(pid_), 0);
      pid_ = -1;
      ADD_FAILURE() << "quorvane-sim.exe ended with exit code " << status.value_or(-1)
                    << " before it was ready";
      return false;
    }
    if (::GetTickCount64() >= deadline) {
      ADD_FAILURE() << "quorvane-sim.exe was not ready within " << kReadyTimeoutMs / 1000 << " s";
      return false;
    }
  }
  return true;
}

int SimProcess::Stop() {
  if (pid_ <= 0) {
    return -1;
  }
  RequestClose(::GetProcessId(ProcessOf(pid_)));
  return Reap("asked to close");
}

int SimProcess::Wait() {
  if (pid_ <= 0) {
    return -1;
  }
  return Reap("left to end by itself");
}

int SimProcess::Reap(const char* how) {
  const HANDLE process = ProcessOf(pid_);
  pid_ = -1;
  const std::optional<int> status = ReapProcess(process, kEndTimeoutMs);
  if (!status) {
    ADD_FAILURE() << "quorvane-sim.exe " << how << " was still running after "
                  << kEndTimeoutMs / 1000 << " s, and was terminated";
    return -1;
  }
  if (*status != 0) {
    ADD_FAILURE() << "quorvane-sim.exe " << how << " ended with exit code " << *status
                  << " instead of 0";
  }
  return *status;
}

ProgramRun RunProgram(const std::string& path, const std::vector<std::string>& arguments,
                      int timeout_ms) {
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeout_ms);
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  if (!::CreatePipe(&read_end, &write_end, &inheritable, 0)) {
    throw std::runtime_error("CreatePipe failed");
  }
  // Only the child gets the write end; ours must not be inherited or the pipe never ends.
  ::SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  PROCESS_INFORMATION process{};
  try {
    process = Start(path, arguments, write_end);
  } catch (...) {
    ::CloseHandle(read_end);
    ::CloseHandle(write_end);
    throw;
  }
  ::CloseHandle(write_end);
  ProgramRun run;
  // The output until the pipe breaks (every writer has closed it), or until the time is up. An
  // anonymous pipe's read cannot time out, so what is there is read, and the rest waited for.
  std::string raw;
  char buffer[4096];
  for (;;) {
    DWORD available = 0;
    if (!::PeekNamedPipe(read_end, nullptr, 0, nullptr, &available, nullptr)) {
      break;
    }
    if (available > 0) {
      DWORD count = 0;
      if (!::ReadFile(read_end, buffer, std::min<DWORD>(available, sizeof buffer), &count,
                      nullptr) ||
          count == 0) {
        break;
      }
      raw.append(buffer, count);
      continue;
    }
    if (::GetTickCount64() >= deadline) {
      run.timed_out = true;
      break;
    }
    ::WaitForSingleObject(process.hProcess, 10);
  }
  ::CloseHandle(read_end);
  const ULONGLONG now = ::GetTickCount64();
  const DWORD left = run.timed_out || now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
  const std::optional<int> status = ReapProcess(process.hProcess, left);
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')) {
      run.output += raw[i];
    }
  }
  if (!status) {
    run.timed_out = true;
    ADD_FAILURE() << path << " was still running after " << timeout_ms / 1000
                  << " s, and was terminated; its output so far:\n"
                  << run.output;
    return run;
  }
  run.exit_status = *status;
  return run;
}

}  // namespace quorvane::testing
