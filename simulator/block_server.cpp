#include "simulator/block_server.h"

#include "link/request_block.h"

namespace quorvane::sim {

namespace {

// Walks the requests of a block, calling perform(id, offset, size, data) for each whole one.
template <typename Byte, typename Perform>
ServedBlock Walk(Byte* block, std::size_t block_size, Perform perform) {
  std::uint64_t cursor = 0;
  while (cursor + block::kTerminatorSize <= block_size) {
    Byte* at = block + cursor;
    if (at[0] == 0) {
      return {static_cast<std::uint32_t>(cursor + block::kTerminatorSize), true};
    }
    const std::uint32_t id = block::LoadU32(at);
    const std::uint64_t header = id == block::kReadId    ? block::kReadHeaderSize
                                 : id == block::kWriteId ? block::kWriteHeaderSize
                                                         : 0;
    if (header == 0 || cursor + header > block_size) {
      break;
    }
    const std::uint32_t offset = block::LoadU32(at + 4);
    const std::uint32_t size = block::LoadU32(at + 8);
    if (cursor + header + size > block_size) {
      break;
    }
    perform(id, offset, size, at + header);
    cursor += header + size;
  }
  return {static_cast<std::uint32_t>(cursor), false};
}

}  // namespace

ServedBlock ServeBlock(std::uint8_t* block, std::size_t block_size, OffsetSpace& space) {
  return Walk(
      block, block_size,
      [&space](std::uint32_t id, std::uint32_t offset, std::uint32_t size, std::uint8_t* data) {
        if (id == block::kReadId) {
          space.Read(offset, size, data);
        } else {
          space.Write(offset, size, data);
        }
      });
}

ServedBlock MeasureBlock(const std::uint8_t* block, std::size_t block_size) {
  return Walk(block, block_size,
              [](std::uint32_t, std::uint32_t, std::uint32_t, const std::uint8_t*) {});
}

}  // namespace quorvane::sim
