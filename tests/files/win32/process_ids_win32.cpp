#include <windows.h>

#include <gtest/gtest.h>

#include "tests/files/files_test_support.h"

namespace quorvane::testing {

unsigned long OwnProcessId() {
  return ::GetCurrentProcessId();
}

unsigned long EndedProcessId() {
  // A child that ends at once; once its handles are closed, no process has its id.
  char command[] = "cmd.exe /c exit 0";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
    ADD_FAILURE() << "cannot start cmd.exe: error " << ::GetLastError();
    return 0;
  }
  ::WaitForSingleObject(process.hProcess, INFINITE);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return process.dwProcessId;
}

}  // namespace quorvane::testing
