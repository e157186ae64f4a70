#pragma once

#include <cstddef>
#include <cstdint>

#include "simulator/offset_space.h"

namespace quorvane::sim {

// What serving one request block found.
struct ServedBlock {
  // Bytes of the block up to and including its terminator; when the block has no terminator,
  // up to the end of the last whole request.
  std::uint32_t length = 0;
  bool terminated = false;  // the walk ended on a terminator (not on a bad or cut-off request)
};

// Performs the requests of a block in order, as the server side of the link does: a read fills
// its data area from the offset space, a write stores its data there; ids, offsets, sizes and
// destinations are left as they are. Stops at the terminator (a zero low-order id byte), at an
// unknown id, or at a request that would run past the block. Never touches bytes outside it.
ServedBlock ServeBlock(std::uint8_t* block, std::size_t block_size, OffsetSpace& space);

// The same walk without performing anything: where ServeBlock would stop.
ServedBlock MeasureBlock(const std::uint8_t* block, std::size_t block_size);

}  // namespace quorvane::sim
