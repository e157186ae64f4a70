#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "link/link_interrupt.h"
#include "link/link_result.h"
#include "link/link_services.h"
#include "simulator/offset_space.h"

namespace quorvane {

// Shows a result as its code and message in test failures.
inline void PrintTo(LinkResult result, std::ostream* out) {
  *out << static_cast<int>(result) << " (" << LinkResultMessage(result) << ")";
}

}  // namespace quorvane

namespace quorvane::testing {

// An interrupt that is a plain flag; its callback runs when a fake wait is said to pass time.
class FlagLinkInterrupt final : public LinkInterrupt {
 public:
  void Request() noexcept override {
    requested = true;
    ++requests;
  }
  void Clear() override { requested = false; }
  bool Requested() override { return requested; }
  bool requested = false;
  int requests = 0;
};

// What one send attempt did.
struct SendOutcome {
  bool sent = true;          // the call returned non-zero
  std::uintptr_t reply = 1;  // the reply value
  std::uint32_t last_error = 0;
};

// Link services with an in-process server: the block is a plain heap buffer of the exact size
// (so a sanitizer sees any access past it), and a sent block is served from `space` exactly as
// quorvane-sim serves it, unless `on_send` says otherwise.
class FakeLinkServices final : public LinkServices {
 public:
  FakeLinkServices();

  // Set-up.
  std::set<std::string> windows = {"UIPCMAIN"};
  bool register_fails = false;
  bool atom_fails = false;
  bool mapping_fails = false;
  bool mapping_exists = false;  // the name is taken: a handle comes back with error 183
  bool view_fails = false;
  std::uint32_t process_id = 0x1B24;
  sim::OffsetSpace space;
  // Called for each send attempt with the block; the default serves it and replies 1.
  std::function<SendOutcome(std::uint8_t* block)> on_send;
  // Called for each search for a server window, and for each pause, when set.
  std::function<void()> on_find;
  std::function<void(std::uint32_t milliseconds)> on_sleep;

  // Records.
  std::vector<std::vector<std::uint8_t>> sent_blocks;  // each attempt's block up to its terminator
  std::vector<std::uint32_t> sleeps;
  std::vector<std::string> atom_texts;  // texts passed to AddAtom
  int send_attempts = 0;
  std::uint16_t client_version_written = 0;  // what the client last wrote as its version
  int live_windows = 0;
  int live_atoms = 0;
  int live_mappings = 0;
  int live_views = 0;
  std::uint8_t* view() const { return block_.get(); }

  // Puts the handshake words quorvane-sim answers with unless told otherwise: the server's
  // version 3.622b and the simulator word of simulator 8.
  void PutServerWords(std::uint32_t version = 0x36220002,
                      std::uint32_t simulator_word = 0xFADE0008);
  // Serves a block from space the way the real server does.
  SendOutcome Serve(std::uint8_t* block);

  Handle FindServerWindow(const std::string& class_name) override;
  void ReleaseServerWindow(Handle window) override;
  std::uint32_t RegisterMessage(const std::string& name) override;
  std::uint16_t AddAtom(const std::string& text) override;
  void DeleteAtom(std::uint16_t atom) override;
  std::uint32_t CurrentProcessId() override { return process_id; }
  Handle CreateMapping(const std::string& name, std::uint32_t size) override;
  std::uint8_t* MapView(Handle mapping) override;
  void UnmapView(std::uint8_t* view) override;
  void CloseMapping(Handle mapping) override;
  bool SendMessageTimeout(Handle window, std::uint32_t message, std::uintptr_t wparam,
                          std::intptr_t lparam, std::uint32_t timeout_ms,
                          std::uintptr_t& reply) override;
  std::uint32_t LastError() override { return last_error_; }
  void Sleep(std::uint32_t milliseconds) override {
    sleeps.push_back(milliseconds);
    if (on_sleep) {
      on_sleep(milliseconds);
    }
  }
  bool Interrupted() override { return interrupt.Requested(); }

  // The waits' interrupt: while requested, a send is not made and fails with error 4 (EINTR).
  FlagLinkInterrupt interrupt;

 private:
  std::unique_ptr<std::uint8_t[]> block_;
  std::uint32_t block_size_ = 0;
  std::uint32_t last_error_ = 0;
};

}  // namespace quorvane::testing
