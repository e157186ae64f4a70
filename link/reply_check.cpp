#include "link/reply_check.h"

#include "link/request_block.h"

namespace quorvane {

bool ReplyMatchesQueue(const std::uint8_t* block, std::size_t block_size,
                       std::span<const QueuedRequest> queued, std::uint32_t queued_end) {
  std::uint64_t expected_position = 0;
  for (const QueuedRequest& request : queued) {
    // The records must tile the block exactly as they were queued.
    if (request.position != expected_position) {
      return false;
    }
    const std::uint64_t header =
        request.id == block::kReadId ? block::kReadHeaderSize : block::kWriteHeaderSize;
    const std::uint64_t record_end = expected_position + header + request.size;
    if (record_end > block_size) {
      return false;
    }
    const std::uint8_t* at = block + request.position;
    if (block::LoadU32(at) != request.id || block::LoadU32(at + 8) != request.size) {
      return false;
    }
    expected_position = record_end;
  }
  if (expected_position != queued_end || expected_position + block::kTerminatorSize > block_size) {
    return false;
  }
  return block[queued_end] == 0;
}

}  // namespace quorvane
