#pragma once

#include <cstdint>

#include "link/link_interrupt.h"

namespace quorvane {

// The interrupt as a manual-reset event: set while requested. Waits between the attempts of an
// exchange wait on it; an attempt under way (SendMessageTimeoutA) runs to its own time-out.
class Win32LinkInterrupt final : public LinkInterrupt {
 public:
  Win32LinkInterrupt();
  ~Win32LinkInterrupt() override;
  Win32LinkInterrupt(const Win32LinkInterrupt&) = delete;
  Win32LinkInterrupt& operator=(const Win32LinkInterrupt&) = delete;

  void Request() noexcept override;
  void Clear() override;
  bool Requested() override;

  // Waits up to milliseconds, calling back while waiting; true when the interrupt was requested.
  bool Wait(std::uint32_t milliseconds);

 private:
  // The event's HANDLE; <windows.h> is kept out of this header, whose includers use names that
  // it turns into macros.
  void* event_ = nullptr;
};

}  // namespace quorvane
