#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "link/link_services.h"
#include "link/posix/link_interrupt_posix.h"

namespace quorvane {

// Stand-ins for the Windows services on POSIX systems:
// - a server "window" is a connection to the per-user Unix-domain socket named after the class,
//   accepted only when the server runs as the same user;
// - registered messages and atoms are names kept in this process, sent along with each request;
// - the mapping is POSIX shared memory of the mapping's name, created exclusively, mode 0600,
//   and held locked (flock) while open; a block of that name that this user's link left behind
//   when it was killed (no lock held) is removed first, any other one is refused (code 5);
// - the blocking send is one request packet and a wait of up to the time-out for its reply;
//   the wait also ends, with last error EINTR, as soon as the interrupt is requested.
// Last-error values are errno numbers, 0 after a time-out, 183 for an existing mapping.
class PosixLinkServices final : public LinkServices {
 public:
  // interrupt, when given, must outlive the services; without one the waits are never cut short.
  explicit PosixLinkServices(PosixLinkInterrupt* interrupt = nullptr) : interrupt_(interrupt) {}
  ~PosixLinkServices() override;
  PosixLinkServices(const PosixLinkServices&) = delete;
  PosixLinkServices& operator=(const PosixLinkServices&) = delete;

  Handle FindServerWindow(const std::string& class_name) override;
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

  // Sends a ping over a found window's connection and waits for its answer: the bare round trip
  // of the channel, with no block work on either side.
  bool Ping(Handle window, std::uint32_t timeout_ms);

 private:
  struct Mapping {
    int fd = -1;
    std::string shm_name;
    std::uint32_t size = 0;
  };

  bool SendAndWait(Handle window, const std::vector<std::uint8_t>& packet, std::uint32_t sequence,
                   std::uint32_t timeout_ms, std::uintptr_t& reply);
  // Waits until fd (when not -1) has `events`, the interrupt is requested or the deadline
  // passes, calling the interrupt's callback while it waits. 1: ready, 0: deadline passed,
  // -1: interrupted or failed (last_error_ says which).
  int WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline);

  PosixLinkInterrupt* interrupt_ = nullptr;

  std::map<std::uint32_t, std::string> messages_;
  std::map<std::uint16_t, std::string> atoms_;
  std::map<Handle, Mapping> mappings_;
  std::map<std::uint8_t*, std::uint32_t> views_;
  Handle next_mapping_ = 1;
  std::uint16_t next_atom_ = 0xC000;
  std::uint32_t next_sequence_ = 1;
  std::uint32_t last_error_ = 0;
};

}  // namespace quorvane
