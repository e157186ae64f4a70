#include "link/posix/link_interrupt_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace quorvane {

PosixLinkInterrupt::PosixLinkInterrupt() {
  // Both ends non-blocking: Request never waits (a full pipe is requested already) and Clear
  // reads until the pipe is empty.
  if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) {
    fds_[0] = fds_[1] = -1;
  }
}

PosixLinkInterrupt::~PosixLinkInterrupt() {
  for (const int fd : fds_) {
    if (fd >= 0) {
      ::close(fd);
    }
  }
}

void PosixLinkInterrupt::Request() noexcept {
  const char byte = 1;
  [[maybe_unused]] const auto written = ::write(fds_[1], &byte, 1);
}

void PosixLinkInterrupt::Clear() {
  char bytes[64];
  while (::read(fds_[0], bytes, sizeof bytes) > 0) {
  }
}

bool PosixLinkInterrupt::Requested() {
  pollfd wait{fds_[0], POLLIN, 0};
  return fds_[0] >= 0 && ::poll(&wait, 1, 0) == 1;
}

}  // namespace quorvane
