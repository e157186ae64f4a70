#pragma once

#include <cstdint>
#include <string>

#include "link/link_services.h"
#include "link/win32/link_interrupt_win32.h"

namespace quorvane {

// The link's services as the real Windows calls: the server window found by class with
// FindWindowExA, RegisterWindowMessageA, global atoms, a 0x8000-byte paging-file mapping and its
// view, and SendMessageTimeoutA with SMTO_BLOCK. Window and mapping handles are passed through
// as they are. LastError() is the thread's last error taken right after the call that failed
// (or, for CreateMapping, right after creating), except that a send which timed out reports 0.
// While the interrupt is requested a send is not made (last error ERROR_CANCELLED) and a pause
// ends at once; a send under way runs to its own time-out.
class Win32LinkServices final : public LinkServices {
 public:
  // interrupt, when given, must outlive the services; without one nothing is cut short.
  explicit Win32LinkServices(Win32LinkInterrupt* interrupt = nullptr) : interrupt_(interrupt) {}

  Handle FindServerWindow(const std::string& class_name) override;
  // Nothing to release: finding a window holds nothing.
  void ReleaseServerWindow(Handle window) override;
  std::uint32_t RegisterMessage(const std::string& name) override;
  std::uint16_t AddAtom(const std::string& text) override;
  void DeleteAtom(std::uint16_t atom) override;
  std::uint32_t CurrentProcessId() override;
  Handle CreateMapping(const std::string& name, std::uint32_t size) override;
  std::uint8_t* MapView(Handle mapping) override;
  void UnmapView(std::uint8_t* view) override;
  void CloseMapping(Handle mapping) override;
  bool SendMessageTimeout(Handle window, std::uint32_t message, std::uintptr_t wparam,
                          std::intptr_t lparam, std::uint32_t timeout_ms,
                          std::uintptr_t& reply) override;
  std::uint32_t LastError() override { return last_error_; }
  void Sleep(std::uint32_t milliseconds) override;
  bool Interrupted() override { return interrupt_ != nullptr && interrupt_->Requested(); }

 private:
  Win32LinkInterrupt* interrupt_ = nullptr;
  std::uint32_t last_error_ = 0;
};

}  // namespace quorvane
