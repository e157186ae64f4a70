#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/link_services.h"

namespace quorvane::fuzzing {

// Link services whose server is whatever the fuzz target scripts. The block is a heap buffer of
// exactly the mapping's size, so AddressSanitizer reports any access past it; pauses return at
// once.
class ScriptedLinkServices final : public LinkServices {
 public:
  // How one send attempt ended.
  struct Outcome {
    bool sent = true;
    std::uintptr_t reply = 1;
    std::uint32_t last_error = 0;  // LastError() afterwards; 0 with !sent means timed out
  };

  // Called for each send attempt with the block and its size; serves, forges or ignores it.
  std::function<Outcome(std::uint8_t* block, std::uint32_t size)> on_send;

  // Answers the reads of a block the way a valid server does for the handshake: the server
  // version 0x36220002 at 0x3304, the simulator word 0xFADE0008 at 0x3308, zeros elsewhere.
  static Outcome ServeHandshake(std::uint8_t* block, std::uint32_t size);

  Handle FindServerWindow(const std::string& class_name) override;
  void ReleaseServerWindow(Handle) override {}
  std::uint32_t RegisterMessage(const std::string&) override { return 0xC123; }
  std::uint16_t AddAtom(const std::string&) override { return 0xC456; }
  void DeleteAtom(std::uint16_t) override {}
  std::uint32_t CurrentProcessId() override { return 0x1B24; }
  Handle CreateMapping(const std::string& name, std::uint32_t size) override;
  std::uint8_t* MapView(Handle mapping) override;
  void UnmapView(std::uint8_t* view) override;
  void CloseMapping(Handle) override {}
  bool SendMessageTimeout(Handle window, std::uint32_t message, std::uintptr_t wparam,
                          std::intptr_t lparam, std::uint32_t timeout_ms,
                          std::uintptr_t& reply) override;
  std::uint32_t LastError() override { return last_error_; }
  void Sleep(std::uint32_t) override {}
  bool Interrupted() override { return false; }

 private:
  std::unique_ptr<std::uint8_t[]> block_;
  std::uint32_t block_size_ = 0;
  std::uint32_t last_error_ = 0;
};

}  // namespace quorvane::fuzzing
