#include "link/win32/link_interrupt_win32.h"

#include <windows.h>

#include <algorithm>

namespace quorvane {

Win32LinkInterrupt::Win32LinkInterrupt() : event_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

Win32LinkInterrupt::~Win32LinkInterrupt() {
  if (event_ != nullptr) {
    ::CloseHandle(event_);
  }
}

void Win32LinkInterrupt::Request() noexcept {
  ::SetEvent(event_);
}

void Win32LinkInterrupt::Clear() {
  ::ResetEvent(event_);
}

bool Win32LinkInterrupt::Requested() {
  return event_ != nullptr && ::WaitForSingleObject(event_, 0) == WAIT_OBJECT_0;
}

bool Win32LinkInterrupt::Wait(std::uint32_t milliseconds) {
  const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
  for (;;) {
    // The pauses between attempts are where the window gets its turn: an attempt itself blocks.
    WhileWaiting();
    const ULONGLONG now = ::GetTickCount64();
    const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    const DWORD slice = HasWhileWaiting() ? std::min<DWORD>(left, kWhileWaitingMs) : left;
    if (event_ == nullptr) {
      ::Sleep(slice);
    } else if (::WaitForSingleObject(event_, slice) == WAIT_OBJECT_0) {
      return true;
    }
    if (slice >= left) {
      return Requested();
    }
  }
}

}  // namespace quorvane
