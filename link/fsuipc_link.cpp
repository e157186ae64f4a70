#include "link/fsuipc_link.h"

#include <cstdio>
#include <cstring>

#include "link/fsuipc_offsets.h"
#include "link/request_block.h"

namespace quorvane {

FsuipcLink::FsuipcLink(LinkServices& services) : services_(services) {
  // The most requests that fit: every one takes at least a 12-byte header.
  queued_.reserve(block::kUsableLimit / block::kWriteHeaderSize);
  in_flight_.reserve(queued_.capacity());
}

FsuipcLink::~FsuipcLink() {
  Close();
}

std::string FsuipcLink::MappingName(std::uint32_t process_id) {
  char name[64];
  std::snprintf(name, sizeof name, "%s:%X:%X", block::kMessageName,
                static_cast<unsigned>(process_id), 1u);
  return name;
}

bool FsuipcLink::Fail(LinkResult code, LinkResult& result) {
  result = code;
  return false;
}

bool FsuipcLink::FailAndClose(LinkResult code, LinkResult& result) {
  Close();
  return Fail(code, result);
}

bool FsuipcLink::Open(std::uint32_t requested_simulator, LinkResult& result) {
  if (view_ != nullptr) {
    return Fail(LinkResult::AlreadyOpen, result);
  }
  server_version_ = 0;
  simulator_version_ = 0;

  bool found_by_fallback = false;
  server_window_ = services_.FindServerWindow(block::kPrimaryServerClass);
  if (server_window_ == 0) {
    server_window_ = services_.FindServerWindow(block::kFallbackServerClass);
    found_by_fallback = true;
  }
  if (server_window_ == 0) {
    return Fail(LinkResult::NoServer, result);
  }

  ipc_message_ = services_.RegisterMessage(block::kMessageName);
  if (ipc_message_ == 0) {
    // Nothing else is held yet, but a found window may be a live connection on some platforms.
    return FailAndClose(LinkResult::RegisterMessageFailed, result);
  }

  const std::string name = MappingName(services_.CurrentProcessId());
  mapping_atom_ = services_.AddAtom(name);
  if (mapping_atom_ == 0) {
    return FailAndClose(LinkResult::AtomFailed, result);
  }

  mapping_handle_ = services_.CreateMapping(name, block::kBlockSize);
  if (mapping_handle_ == 0 || services_.LastError() == LinkServices::kErrorAlreadyExists) {
    return FailAndClose(LinkResult::MappingFailed, result);
  }

  view_ = services_.MapView(mapping_handle_);
  if (view_ == nullptr) {
    return FailAndClose(LinkResult::ViewFailed, result);
  }
  write_pos_ = 0;
  queued_.clear();

  if (!Handshake(result)) {
    Close();
    return false;
  }

  const bool version_ok = server_version_ >= kMinimumServerVersion &&
                          (simulator_version_ >> 16) == fsuipc::kSimulatorWordTag;
  if (!version_ok) {
    return FailAndClose(
        found_by_fallback ? LinkResult::MaybeWideClient : LinkResult::WrongServerVersion, result);
  }
  simulator_version_ &= 0xFFFF;
  if (requested_simulator != 0 && requested_simulator != simulator_version_) {
    return FailAndClose(LinkResult::WrongSimulator, result);
  }
  result = LinkResult::Okay;
  return true;
}

bool FsuipcLink::Handshake(LinkResult& result) {
  // The client version goes out in the first pass only, even when more passes follow.
  for (int pass = 0; pass < kHandshakePasses && (server_version_ == 0 || simulator_version_ == 0);
       ++pass) {
    if (!QueueRead(fsuipc::kServerVersion.offset, fsuipc::kServerVersion.size, &server_version_,
                   result) ||
        !QueueRead(fsuipc::kSimulatorWord.offset, fsuipc::kSimulatorWord.size, &simulator_version_,
                   result)) {
      return false;
    }
    if (pass == 0) {
      const std::uint8_t version_bytes[2] = {static_cast<std::uint8_t>(client_version_),
                                             static_cast<std::uint8_t>(client_version_ >> 8)};
      if (!QueueWrite(fsuipc::kClientVersion.offset, fsuipc::kClientVersion.size, version_bytes,
                      result)) {
        return false;
      }
    }
    if (!Process(result)) {
      return false;
    }
    services_.Sleep(kPauseMs);
  }
  return true;
}

bool FsuipcLink::FitsInBlock(std::uint32_t header, std::uint32_t size) const {
  // 64-bit sum: a size near 2^32 must not wrap around into an accepted request.
  const std::uint64_t needed = std::uint64_t{write_pos_} + header + size + block::kTerminatorSize;
  return needed <= block::kUsableLimit;
}

bool FsuipcLink::QueueRead(std::uint32_t offset, std::uint32_t size, void* destination,
                           LinkResult& result) {
  if (view_ == nullptr) {
    return Fail(LinkResult::NotOpen, result);
  }
  if (!FitsInBlock(block::kReadHeaderSize, size)) {
    return Fail(LinkResult::BlockFull, result);
  }
  // Destinations stay on the client's side; the block's 4-byte field only carries the request's
  // 1-based position in the queue (0 for no destination), which no server may rely on.
  const auto tag = destination != nullptr ? static_cast<std::uint32_t>(queued_.size() + 1) : 0u;
  std::uint8_t* at = view_ + write_pos_;
  block::StoreU32(at, block::kReadId);
  block::StoreU32(at + 4, offset);
  block::StoreU32(at + 8, size);
  block::StoreU32(at + 12, tag);
  std::memset(at + block::kReadHeaderSize, 0, size);
  queued_.push_back({write_pos_, block::kReadId, size, destination});
  write_pos_ += block::kReadHeaderSize + size;
  result = LinkResult::Okay;
  return true;
}

bool FsuipcLink::QueueWrite(std::uint32_t offset, std::uint32_t size, const void* source,
                            LinkResult& result) {
  if (view_ == nullptr) {
    return Fail(LinkResult::NotOpen, result);
  }
  if (!FitsInBlock(block::kWriteHeaderSize, size)) {
    return Fail(LinkResult::BlockFull, result);
  }
  std::uint8_t* at = view_ + write_pos_;
  block::StoreU32(at, block::kWriteId);
  block::StoreU32(at + 4, offset);
  block::StoreU32(at + 8, size);
  if (size != 0) {
    if (source != nullptr) {
      std::memcpy(at + block::kWriteHeaderSize, source, size);
    } else {
      std::memset(at + block::kWriteHeaderSize, 0, size);
    }
  }
  queued_.push_back({write_pos_, block::kWriteId, size, nullptr});
  write_pos_ += block::kWriteHeaderSize + size;
  result = LinkResult::Okay;
  return true;
}

bool FsuipcLink::Process(LinkResult& result) {
  if (view_ == nullptr) {
    return Fail(LinkResult::NotOpen, result);
  }
  if (write_pos_ == 0) {
    return Fail(LinkResult::NothingQueued, result);
  }
  const std::uint32_t queued_end = write_pos_;
  block::StoreU32(view_ + queued_end, 0);
  write_pos_ = 0;
  // From here on the queued requests are consumed whatever happens; the client's records of
  // them are kept only until the reply has been checked. Swapping keeps both capacities.
  in_flight_.clear();
  in_flight_.swap(queued_);
  const std::vector<QueuedRequest>& requests = in_flight_;

  std::uintptr_t reply = 0;
  bool sent = false;
  for (std::uint32_t attempt = 0; attempt < kSendAttempts && !sent; ++attempt) {
    sent = services_.SendMessageTimeout(server_window_, ipc_message_, mapping_atom_, 0,
                                        kSendTimeoutMs, reply);
    // An interrupted wait (the program is closing) ends the exchange: further attempts and
    // pauses would only keep the close waiting for a server that does not answer.
    if (!sent && services_.Interrupted()) {
      break;
    }
    if (!sent) {
      services_.Sleep(kPauseMs);
    }
  }
  if (!sent) {
    return Fail(services_.LastError() == 0 ? LinkResult::TimedOut : LinkResult::SendFailed, result);
  }
  if (reply != 1) {
    return Fail(LinkResult::BadReply, result);
  }
  // The server may have written anything into the block: check the whole reply against the
  // client's records before copying a single byte, and copy with the client's own sizes.
  if (!ReplyMatchesQueue(view_, block::kBlockSize, requests, queued_end)) {
    return Fail(LinkResult::BadReply, result);
  }
  for (const QueuedRequest& request : requests) {
    if (request.id == block::kReadId && request.destination != nullptr && request.size != 0) {
      std::memcpy(request.destination, view_ + request.position + block::kReadHeaderSize,
                  request.size);
    }
  }
  result = LinkResult::Okay;
  return true;
}

void FsuipcLink::Close() {
  if (server_window_ != 0) {
    services_.ReleaseServerWindow(server_window_);
  }
  server_window_ = 0;
  ipc_message_ = 0;
  write_pos_ = 0;
  queued_.clear();
  if (mapping_atom_ != 0) {
    services_.DeleteAtom(mapping_atom_);
    mapping_atom_ = 0;
  }
  if (view_ != nullptr) {
    services_.UnmapView(view_);
    view_ = nullptr;
  }
  if (mapping_handle_ != 0) {
    services_.CloseMapping(mapping_handle_);
    mapping_handle_ = 0;
  }
}

}  // namespace quorvane
