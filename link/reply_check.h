#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvane {

// The client's own record of one queued request: where its header starts in the block, its id
// and data size, and (for reads) where its data go. The block's copy of these fields is only
// what the server sends back and is never trusted.
struct QueuedRequest {
  std::uint32_t position = 0;
  std::uint32_t id = 0;
  std::uint32_t size = 0;
  void* destination = nullptr;
};

// True when the block returned by the server still holds, at every queued request's place, the
// id and size the client wrote there, followed by a terminator (a zero low-order id byte) right
// after the last request at `queued_end`. Reads nothing outside [block, block + block_size).
bool ReplyMatchesQueue(const std::uint8_t* block, std::size_t block_size,
                       std::span<const QueuedRequest> queued, std::uint32_t queued_end);

}  // namespace quorvane
