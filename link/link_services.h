#pragma once

#include <cstdint>
#include <string>

namespace quorvane {

// The platform services the link protocol needs, one method per service. The Windows
// implementation makes the real calls; the POSIX one provides stand-ins with the same meaning.
// Handles are opaque non-zero numbers; 0 means "none".
class LinkServices {
 public:
  using Handle = std::uintptr_t;

  static constexpr std::uint32_t kErrorAlreadyExists = 183;  // ERROR_ALREADY_EXISTS

  virtual ~LinkServices() = default;

  // A top-level server window of the given class, or 0 when there is none.
  virtual Handle FindServerWindow(const std::string& class_name) = 0;
  // Forgets a window found by FindServerWindow (a no-op where finding holds nothing).
  virtual void ReleaseServerWindow(Handle window) = 0;
  // The registered message number for name, or 0 on failure.
  virtual std::uint32_t RegisterMessage(const std::string& name) = 0;
  // A global atom holding text, or 0 on failure; DeleteAtom releases it.
  virtual std::uint16_t AddAtom(const std::string& text) = 0;
  virtual void DeleteAtom(std::uint16_t atom) = 0;
  virtual std::uint32_t CurrentProcessId() = 0;
  // Creates a named shared mapping of size bytes. Returns 0 on failure. When a mapping of that
  // name already existed, LastError() is kErrorAlreadyExists afterwards (the handle may be
  // non-zero and must still be closed).
  virtual Handle CreateMapping(const std::string& name, std::uint32_t size) = 0;
  // Maps the whole mapping for reading and writing; nullptr on failure.
  virtual std::uint8_t* MapView(Handle mapping) = 0;
  virtual void UnmapView(std::uint8_t* view) = 0;
  virtual void CloseMapping(Handle mapping) = 0;
  // Sends message to window and waits up to timeout_ms for the answer, blocking the thread.
  // Returns false when the send failed or timed out; LastError() then tells which (0: timed out).
  // An interrupt ends the wait (POSIX at once; Windows after the send under way) as a failure.
  virtual bool SendMessageTimeout(Handle window, std::uint32_t message, std::uintptr_t wparam,
                                  std::intptr_t lparam, std::uint32_t timeout_ms,
                                  std::uintptr_t& reply) = 0;
  virtual std::uint32_t LastError() = 0;
  // Pauses the thread; a pause is cut short while the waits are interrupted.
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // True while the waits for the server are interrupted (LinkInterrupt): a send then fails at
  // once without being made, with a non-zero last error, and the link makes no further attempt.
  virtual bool Interrupted() = 0;
};

}  // namespace quorvane
