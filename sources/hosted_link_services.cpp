#include "sources/hosted_link_services.h"

#include "link/request_block.h"
#include "simulator/block_server.h"
#include "sources/reading_store.h"

namespace quorvane::sources {

namespace {

constexpr std::uint32_t kErrorInvalidHandle = 6;  // ERROR_INVALID_HANDLE
constexpr std::uint32_t kHostedMessage = 0xC000;  // any non-zero message number will do

}  // namespace

LinkServices::Handle HostedLinkServices::FindServerWindow(const std::string& class_name) {
  return class_name == block::kPrimaryServerClass ? kServer : 0;
}

std::uint32_t HostedLinkServices::RegisterMessage(const std::string& name) {
  return name == block::kMessageName ? kHostedMessage : 0;
}

std::uint16_t HostedLinkServices::AddAtom(const std::string&) {
  return 1;
}

LinkServices::Handle HostedLinkServices::CreateMapping(const std::string&, std::uint32_t size) {
  last_error_ = 0;
  block_.assign(size, 0);
  return kMapping;
}

std::uint8_t* HostedLinkServices::MapView(Handle mapping) {
  return mapping == kMapping && !block_.empty() ? block_.data() : nullptr;
}

void HostedLinkServices::CloseMapping(Handle mapping) {
  if (mapping == kMapping) {
    block_.clear();
  }
}

bool HostedLinkServices::SendMessageTimeout(Handle window, std::uint32_t message, std::uintptr_t,
                                            std::intptr_t, std::uint32_t, std::uintptr_t& reply) {
  if (window != kServer || message != kHostedMessage || block_.empty()) {
    last_error_ = kErrorInvalidHandle;
    return false;
  }
  const std::optional<SourceReading> reading = provider_.Current();
  if (!reading) {
    ++silent_exchanges_;
    last_error_ = 0;  // a time-out
    return false;
  }
  // Stored afresh before every exchange: the client's handshake writes its version into the
  // simulator word, and the next reader must still see the server's.
  StoreReading(*reading, space_);
  sim::ServeBlock(block_.data(), block_.size(), space_);
  reply = 1;
  return true;
}

}  // namespace quorvane::sources
