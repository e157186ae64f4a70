#include "link/win32/link_services_win32.h"

#include <windows.h>

#include "link/platform_link_services.h"

// <windows.h> maps these names to their ANSI or wide functions; here they are our methods.
#undef AddAtom
#undef SendMessageTimeout

namespace quorvane {

namespace {

HWND WindowOf(LinkServices::Handle window) {
  return reinterpret_cast<HWND>(window);
}

HANDLE KernelHandleOf(LinkServices::Handle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

LinkInterrupt& ProcessLinkInterrupt() {
  static Win32LinkInterrupt interrupt;
  return interrupt;
}

LinkServices& PlatformLinkServices() {
  static Win32LinkServices services(&static_cast<Win32LinkInterrupt&>(ProcessLinkInterrupt()));
  return services;
}

LinkServices::Handle Win32LinkServices::FindServerWindow(const std::string& class_name) {
  return reinterpret_cast<Handle>(::FindWindowExA(nullptr, nullptr, class_name.c_str(), nullptr));
}

void Win32LinkServices::ReleaseServerWindow(Handle) {}

std::uint32_t Win32LinkServices::RegisterMessage(const std::string& name) {
  return ::RegisterWindowMessageA(name.c_str());
}

std::uint16_t Win32LinkServices::AddAtom(const std::string& text) {
  return ::GlobalAddAtomA(text.c_str());
}

void Win32LinkServices::DeleteAtom(std::uint16_t atom) {
  ::GlobalDeleteAtom(atom);
}

std::uint32_t Win32LinkServices::CurrentProcessId() {
  return ::GetCurrentProcessId();
}

LinkServices::Handle Win32LinkServices::CreateMapping(const std::string& name, std::uint32_t size) {
  // A mapping of this name that already exists is still returned; the caller tells it apart by
  // ERROR_ALREADY_EXISTS, so the error must be the one of this very call.
  ::SetLastError(ERROR_SUCCESS);
  HANDLE mapping =
      ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name.c_str());
  last_error_ = ::GetLastError();
  return reinterpret_cast<Handle>(mapping);
}

std::uint8_t* Win32LinkServices::MapView(Handle mapping) {
  void* view = ::MapViewOfFile(KernelHandleOf(mapping), FILE_MAP_WRITE, 0, 0, 0);
  if (view == nullptr) {
    last_error_ = ::GetLastError();
  }
  return static_cast<std::uint8_t*>(view);
}

void Win32LinkServices::UnmapView(std::uint8_t* view) {
  ::UnmapViewOfFile(view);
}

void Win32LinkServices::CloseMapping(Handle mapping) {
  ::CloseHandle(KernelHandleOf(mapping));
}

bool Win32LinkServices::SendMessageTimeout(Handle window, std::uint32_t message,
                                           std::uintptr_t wparam, std::intptr_t lparam,
                                           std::uint32_t timeout_ms, std::uintptr_t& reply) {
  if (Interrupted()) {
    last_error_ = ERROR_CANCELLED;  // nothing is sent that would not be waited for
    return false;
  }
  DWORD_PTR answer = 0;
  ::SetLastError(ERROR_SUCCESS);
  const LRESULT sent = ::SendMessageTimeoutA(WindowOf(window), message, wparam, lparam, SMTO_BLOCK,
                                             timeout_ms, &answer);
  if (sent == 0) {
    // Windows 2000 and later report a time-out as ERROR_TIMEOUT, older ones left 0; the link
    // tells a time-out (0) from a failed send (any other value), so a time-out is reported as 0.
    const DWORD error = ::GetLastError();
    last_error_ = error == ERROR_TIMEOUT ? 0 : error;
    return false;
  }
  reply = answer;
  return true;
}

void Win32LinkServices::Sleep(std::uint32_t milliseconds) {
  if (interrupt_ != nullptr) {
    interrupt_->Wait(milliseconds);  // cut short by the interrupt, calling back meanwhile
  } else {
    ::Sleep(milliseconds);
  }
}

}  // namespace quorvane
