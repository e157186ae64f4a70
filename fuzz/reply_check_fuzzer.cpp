// ReplyMatchesQueue on its own, with records and blocks no link would make: positions that do
// not tile, sizes past the block, blocks of any size down to none. It must read nothing outside
// the block (an exact-size heap buffer) and accept exactly the replies whose records tile the
// block from its start, each still holding its id and size, with a zero byte right after the
// last.

#include <memory>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_target.h"
#include "link/reply_check.h"
#include "link/request_block.h"

namespace {

using quorvane::QueuedRequest;
using quorvane::fuzzing::FuzzInput;
namespace block = quorvane::block;

constexpr int kMaxRecords = 16;

std::uint32_t HeaderSize(std::uint32_t id) {
  return id == block::kReadId ? block::kReadHeaderSize : block::kWriteHeaderSize;
}

// The acceptance rule, written out plainly in 64-bit arithmetic.
bool Expected(const std::uint8_t* bytes, std::size_t block_size,
              const std::vector<QueuedRequest>& records, std::uint32_t queued_end) {
  std::uint64_t position = 0;
  for (const QueuedRequest& record : records) {
    const std::uint64_t end = position + HeaderSize(record.id) + record.size;
    if (record.position != position || end > block_size ||
        block::LoadU32(bytes + position) != record.id ||
        block::LoadU32(bytes + position + 8) != record.size) {
      return false;
    }
    position = end;
  }
  return position == queued_end && position + block::kTerminatorSize <= block_size &&
         bytes[position] == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const std::uint8_t shape = in.Byte();
  // Mostly blocks near the real size, sometimes tiny ones.
  const std::size_t block_size = (shape & 1) != 0 ? in.Byte() : in.U16() % (block::kBlockSize + 1);
  const int count = in.Byte() % (kMaxRecords + 1);

  std::vector<QueuedRequest> records;
  std::uint64_t position = 0;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t kind = in.Byte();
    QueuedRequest record;
    record.id = (kind & 1) != 0 ? block::kWriteId : block::kReadId;
    record.size = (kind & 2) != 0 ? in.U32() : in.Byte();
    // Usually where the previous record ends, as a link lays them out; sometimes anywhere.
    record.position = (kind & 4) != 0 ? in.U32() : static_cast<std::uint32_t>(position);
    position = std::uint64_t{record.position} + HeaderSize(record.id) + record.size;
    records.push_back(record);
  }
  const std::uint32_t queued_end =
      (shape & 2) != 0 ? in.U32() : static_cast<std::uint32_t>(position);

  // The block: the records' headers written where they claim to be (when they fit), then the
  // rest of the input laid over it from a chosen point.
  auto bytes = std::make_unique<std::uint8_t[]>(block_size);
  for (const QueuedRequest& record : records) {
    if (std::uint64_t{record.position} + 12 <= block_size) {
      block::StoreU32(bytes.get() + record.position, record.id);
      block::StoreU32(bytes.get() + record.position + 8, record.size);
    }
  }
  const std::size_t overlay_at = block_size == 0 ? 0 : in.U16() % block_size;
  const std::string overlay = in.Rest();
  for (std::size_t i = 0; i < overlay.size() && overlay_at + i < block_size; ++i) {
    bytes[overlay_at + i] = static_cast<std::uint8_t>(overlay[i]);
  }

  const bool matches = quorvane::ReplyMatchesQueue(bytes.get(), block_size, records, queued_end);
  FUZZ_CHECK(matches == Expected(bytes.get(), block_size, records, queued_end));
  return 0;
}
