#include <sys/wait.h>
#include <unistd.h>

#include "tests/files/files_test_support.h"

namespace quorvane::testing {

unsigned long OwnProcessId() {
  return static_cast<unsigned long>(::getpid());
}

unsigned long EndedProcessId() {
  const pid_t child = ::fork();
  if (child == 0) {
    ::_exit(0);
  }
  ::waitpid(child, nullptr, 0);
  return static_cast<unsigned long>(child);
}

}  // namespace quorvane::testing
