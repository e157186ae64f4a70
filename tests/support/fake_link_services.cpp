#include "tests/support/fake_link_services.h"

#include "link/fsuipc_offsets.h"
#include "simulator/block_server.h"

namespace quorvane::testing {

FakeLinkServices::FakeLinkServices() {
  on_send = [this](std::uint8_t* block) { return Serve(block); };
}

void FakeLinkServices::PutServerWords(std::uint32_t version, std::uint32_t simulator_word) {
  space.Put(fsuipc::kServerVersion, version);
  space.Put(fsuipc::kSimulatorWord, simulator_word);
}

SendOutcome FakeLinkServices::Serve(std::uint8_t* block) {
  // Like the real server, keep the simulator word readable although clients write their
  // version into its upper half.
  const std::uint64_t simulator_word = space.Get(fsuipc::kSimulatorWord);
  sim::ServeBlock(block, block_size_, space);
  client_version_written = static_cast<std::uint16_t>(space.Get(fsuipc::kClientVersion));
  space.Put(fsuipc::kSimulatorWord, simulator_word);
  return {};
}

LinkServices::Handle FakeLinkServices::FindServerWindow(const std::string& class_name) {
  if (on_find) {
    on_find();
  }
  if (!windows.contains(class_name)) {
    return 0;
  }
  ++live_windows;
  return class_name == "UIPCMAIN" ? 0x100 : 0x200;
}

void FakeLinkServices::ReleaseServerWindow(Handle) {
  --live_windows;
}

std::uint32_t FakeLinkServices::RegisterMessage(const std::string& name) {
  return register_fails || name != "FsasmLib:IPC" ? 0 : 0xC123;
}

std::uint16_t FakeLinkServices::AddAtom(const std::string& text) {
  atom_texts.push_back(text);
  if (atom_fails) {
    return 0;
  }
  ++live_atoms;
  return 0xC456;
}

void FakeLinkServices::DeleteAtom(std::uint16_t) {
  --live_atoms;
}

LinkServices::Handle FakeLinkServices::CreateMapping(const std::string&, std::uint32_t size) {
  last_error_ = 0;
  if (mapping_fails) {
    last_error_ = 5;
    return 0;
  }
  ++live_mappings;
  block_size_ = size;
  if (mapping_exists) {
    last_error_ = kErrorAlreadyExists;
  }
  return 0x300;
}

std::uint8_t* FakeLinkServices::MapView(Handle) {
  if (view_fails) {
    return nullptr;
  }
  ++live_views;
  // Fresh mappings read as zeros.
  block_ = std::make_unique<std::uint8_t[]>(block_size_);
  return block_.get();
}

void FakeLinkServices::UnmapView(std::uint8_t*) {
  --live_views;
  block_.reset();
}

void FakeLinkServices::CloseMapping(Handle) {
  --live_mappings;
}

bool FakeLinkServices::SendMessageTimeout(Handle, std::uint32_t, std::uintptr_t, std::intptr_t,
                                          std::uint32_t, std::uintptr_t& reply) {
  if (interrupt.Requested()) {
    last_error_ = 4;
    return false;
  }
  ++send_attempts;
  const sim::ServedBlock measured = sim::MeasureBlock(block_.get(), block_size_);
  sent_blocks.emplace_back(block_.get(), block_.get() + measured.length);
  const SendOutcome outcome = on_send(block_.get());
  last_error_ = outcome.last_error;
  if (outcome.sent) {
    reply = outcome.reply;
  }
  return outcome.sent;
}

}  // namespace quorvane::testing
