#pragma once

#include "link/link_interrupt.h"

namespace quorvane {

// The interrupt as a pipe that holds a byte while requested: a wait polls its read end beside
// the server's socket, and Request is one write, safe in a signal handler.
class PosixLinkInterrupt final : public LinkInterrupt {
 public:
  PosixLinkInterrupt();
  ~PosixLinkInterrupt() override;
  PosixLinkInterrupt(const PosixLinkInterrupt&) = delete;
  PosixLinkInterrupt& operator=(const PosixLinkInterrupt&) = delete;

  void Request() noexcept override;
  void Clear() override;
  bool Requested() override;

  // The descriptor that is readable while requested; -1 if the pipe could not be made (the
  // interrupt then never fires).
  int Descriptor() const { return fds_[0]; }

 private:
  int fds_[2] = {-1, -1};
};

}  // namespace quorvane
