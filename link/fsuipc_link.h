#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/link_result.h"
#include "link/link_services.h"
#include "link/reply_check.h"

namespace quorvane {

// The client side of the FSUIPC inter-process protocol over a set of platform services.
// Every operation reports a LinkResult and returns true on success; none throws.
// Not safe for concurrent use: one thread drives a link.
class FsuipcLink {
 public:
  static constexpr std::uint32_t kClientVersion = 1004;
  static constexpr std::uint32_t kSendAttempts = 10;
  static constexpr std::uint32_t kSendTimeoutMs = 2000;
  static constexpr std::uint32_t kPauseMs = 100;
  static constexpr int kHandshakePasses = 5;
  static constexpr std::uint32_t kMinimumServerVersion = 0x19980005;

  explicit FsuipcLink(LinkServices& services);
  ~FsuipcLink();  // closes the link
  FsuipcLink(const FsuipcLink&) = delete;
  FsuipcLink& operator=(const FsuipcLink&) = delete;

  // Attaches to the server and runs the version handshake. requested_simulator 0 accepts any
  // simulator; another value must equal the simulator number the server reports (else 8).
  bool Open(std::uint32_t requested_simulator, LinkResult& result);
  // Queues a read of size bytes at offset; the data reach destination (may be null) during the
  // next successful Process. Fails with 9 when closed, 15 when the block would be too full.
  bool QueueRead(std::uint32_t offset, std::uint32_t size, void* destination, LinkResult& result);
  // Queues a write of size bytes at offset, copying them from source at once.
  bool QueueWrite(std::uint32_t offset, std::uint32_t size, const void* source, LinkResult& result);
  // Sends everything queued in one exchange and delivers the read data. Once it gets as far as
  // sending, the queue is empty afterwards whatever the outcome. While the services' waits are
  // interrupted it makes no further attempt and fails with the last error's code (12).
  bool Process(LinkResult& result);
  // Releases everything; harmless when already closed.
  void Close();

  bool IsOpen() const { return view_ != nullptr; }
  std::uint32_t ServerVersion() const { return server_version_; }
  std::uint32_t SimulatorVersion() const { return simulator_version_; }
  std::uint32_t ClientVersion() const { return client_version_; }
  // Bytes currently queued in the block (without the terminator).
  std::uint32_t QueuedBytes() const { return write_pos_; }
  // The mapping name for a process id, "FsasmLib:IPC:<PID in upper-case hex>:1".
  static std::string MappingName(std::uint32_t process_id);

 private:
  bool Fail(LinkResult code, LinkResult& result);
  bool FailAndClose(LinkResult code, LinkResult& result);
  bool FitsInBlock(std::uint32_t header, std::uint32_t size) const;
  bool Handshake(LinkResult& result);

  LinkServices& services_;
  LinkServices::Handle server_window_ = 0;
  std::uint32_t ipc_message_ = 0;
  std::uint16_t mapping_atom_ = 0;
  LinkServices::Handle mapping_handle_ = 0;
  std::uint8_t* view_ = nullptr;
  std::uint32_t write_pos_ = 0;  // offset from view_ of the next request
  std::vector<QueuedRequest> queued_;
  std::vector<QueuedRequest> in_flight_;  // the requests of the exchange under way
  std::uint32_t server_version_ = 0;
  std::uint32_t simulator_version_ = 0;
  std::uint32_t client_version_ = kClientVersion;
};

}  // namespace quorvane
