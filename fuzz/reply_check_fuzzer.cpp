// ReplyMatchesQueue on its own. Most inputs lay out a queue as a link does and a block that holds
// it exactly as sent, then make one change whose verdict is known without the rule under test:
// nothing, or bytes the server may change (data, offsets, destination fields, the bytes after
// the terminator's first), which must be accepted; an id or a size changed, the terminator set,
// the block cut short, a queued end or a record's place that no longer fits the layout, which
// must be refused. The rest are records and blocks no link would make (any places, sizes past
// the block, blocks of 0 bytes up). For every input: nothing outside the block is read (an
// exact-size heap buffer), the block is left as it was, and an accepted reply holds every queued
// record at its place with its id and size, tiling the block from its start, with a zero byte
// right after the last.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
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

// The one change made to a block laid out as sent, and the verdict it calls for.
enum class Change : std::uint8_t {
  kNone,         // accepted
  kFreeBytes,    // bytes the check ignores: accepted
  kHeaderField,  // a record's id or size: refused
  kTerminator,   // the terminator's first byte set: refused
  kShortBlock,   // the block ends before the terminator does: refused
  kQueuedEnd,    // the queued end is not where the records end: refused
  kRecordMoved,  // a record's place is not where the one before it ends: refused
  kAnything,     // records and block from the input, no verdict known
  kCount
};

std::uint32_t HeaderSize(std::uint32_t id) {
  return id == block::kReadId ? block::kReadHeaderSize : block::kWriteHeaderSize;
}

// A block of exactly its size on the heap, filled with the input's noise over and over (copied
// whole: a loop over single bytes here would be traced by the fuzzer, and slow it down).
struct Block {
  Block(std::size_t size, const std::string& noise)
      : bytes(std::make_unique<std::uint8_t[]>(size)), size(size) {
    const std::string pattern = noise.empty() ? std::string("\x07\x26\x45\x64") : noise;
    for (std::size_t at = 0; at < size; at += pattern.size()) {
      std::memcpy(bytes.get() + at, pattern.data(), std::min(pattern.size(), size - at));
    }
  }
  bool Fits(std::uint64_t at, std::uint64_t length) const { return at + length <= size; }
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t size;
};

// Whether byte `at` is one the check must look at: a record's id or size, or the terminator's
// first byte.
bool Guarded(std::uint64_t at, const std::vector<QueuedRequest>& records,
             std::uint32_t queued_end) {
  for (const QueuedRequest& record : records) {
    if ((at >= record.position && at < record.position + 4ull) ||
        (at >= record.position + 8ull && at < record.position + 12ull)) {
      return true;
    }
  }
  return at == queued_end;
}

// What every accepted reply must be: each queued record at the place where the one before it
// ends (the first at 0), inside the block, holding its id and size; the queued end where the
// last ends, with room for the terminator and a zero byte there.
void CheckAccepted(const Block& b, const std::vector<QueuedRequest>& records,
                   std::uint32_t queued_end) {
  std::uint64_t next = 0;
  for (const QueuedRequest& record : records) {
    FUZZ_CHECK(record.position == next);
    FUZZ_CHECK(b.Fits(next, std::uint64_t{HeaderSize(record.id)} + record.size));
    FUZZ_CHECK(block::LoadU32(b.bytes.get() + next) == record.id);
    FUZZ_CHECK(block::LoadU32(b.bytes.get() + next + 8) == record.size);
    next += std::uint64_t{HeaderSize(record.id)} + record.size;
  }
  FUZZ_CHECK(queued_end == next);
  FUZZ_CHECK(b.Fits(next, block::kTerminatorSize));
  FUZZ_CHECK(b.bytes[next] == 0);
}

// Runs the check, which must leave the block as it was.
bool Check(const Block& b, const std::vector<QueuedRequest>& records, std::uint32_t queued_end) {
  const std::vector<std::uint8_t> before(b.bytes.get(), b.bytes.get() + b.size);
  const bool accepted = quorvane::ReplyMatchesQueue(b.bytes.get(), b.size, records, queued_end);
  FUZZ_CHECK(b.size == 0 || std::memcmp(before.data(), b.bytes.get(), b.size) == 0);
  if (accepted) {
    CheckAccepted(b, records, queued_end);
  }
  return accepted;
}

// Records and a block as no link would make them: any place, any size, a block of any size,
// headers written where records claim to be, the rest of the input laid over it.
void Anything(FuzzInput& in) {
  const std::uint8_t shape = in.Byte();
  const std::size_t block_size = (shape & 1) != 0 ? in.Byte() : in.U16() % (block::kBlockSize + 1);
  const int count = in.Byte() % (kMaxRecords + 1);
  std::vector<QueuedRequest> records;
  std::uint64_t position = 0;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t kind = in.Byte();
    QueuedRequest record;
    record.id = (kind & 1) != 0 ? block::kWriteId : block::kReadId;
    record.size = (kind & 2) != 0 ? in.U32() : in.Byte();
    record.position = (kind & 4) != 0 ? in.U32() : static_cast<std::uint32_t>(position);
    position = std::uint64_t{record.position} + HeaderSize(record.id) + record.size;
    records.push_back(record);
  }
  const std::uint32_t queued_end =
      (shape & 2) != 0 ? in.U32() : static_cast<std::uint32_t>(position);
  Block b(block_size, "");
  for (const QueuedRequest& record : records) {
    if (b.Fits(record.position, 12)) {
      block::StoreU32(b.bytes.get() + record.position, record.id);
      block::StoreU32(b.bytes.get() + record.position + 8, record.size);
    }
  }
  const std::size_t overlay_at = block_size == 0 ? 0 : in.U16() % block_size;
  const std::string overlay = in.Rest();
  if (overlay_at < block_size) {
    std::memcpy(b.bytes.get() + overlay_at, overlay.data(),
                std::min(overlay.size(), block_size - overlay_at));
  }
  Check(b, records, queued_end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const auto change = static_cast<Change>(in.Byte() % static_cast<int>(Change::kCount));
  if (change == Change::kAnything) {
    Anything(in);
    return 0;
  }

  // The queue as a link lays it out: records one after another from the start of the block.
  const int count = in.Byte() % (kMaxRecords + 1);
  std::vector<QueuedRequest> records;
  std::uint32_t queued_end = 0;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t kind = in.Byte();
    QueuedRequest record;
    record.id = (kind & 1) != 0 ? block::kWriteId : block::kReadId;
    record.size = (kind & 2) != 0 ? in.U16() % 512u : in.Byte();
    record.position = queued_end;
    queued_end += HeaderSize(record.id) + record.size;
    records.push_back(record);
  }
  const std::size_t sent_size = queued_end + block::kTerminatorSize + in.Byte();

  // What the change needs from the input, taken before the noise that fills the block.
  std::vector<std::pair<std::uint16_t, std::uint8_t>> patches;
  std::uint32_t number = 0;
  std::uint8_t selector = 0;
  switch (change) {
    case Change::kFreeBytes:
      for (int i = 1 + in.Byte() % 8; i > 0; --i) {
        const std::uint16_t at = in.U16();
        patches.emplace_back(at, in.Byte());
      }
      break;
    case Change::kHeaderField:
    case Change::kRecordMoved:
      selector = in.Byte();
      number = in.U32();
      break;
    default:
      number = in.U32();
      break;
  }

  // The block as the server got it back: noise, then every header and the terminator as sent.
  Block b(
      change == Change::kShortBlock ? number % (queued_end + block::kTerminatorSize) : sent_size,
      in.Rest());
  const auto store = [&b](std::uint64_t at, std::uint32_t value) {
    for (int i = 0; i < 4 && b.Fits(at + i, 1); ++i) {
      b.bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
  };
  for (const QueuedRequest& record : records) {
    store(record.position, record.id);
    store(record.position + 8, record.size);
  }
  store(queued_end, 0);

  bool expected = false;
  switch (change) {
    case Change::kNone:
      expected = true;
      break;
    case Change::kFreeBytes:
      for (const auto& [at, value] : patches) {
        if (at < b.size && !Guarded(at, records, queued_end)) {
          b.bytes[at] = value;
        }
      }
      expected = true;
      break;
    case Change::kHeaderField:
      if (records.empty()) {
        b.bytes[queued_end] = static_cast<std::uint8_t>(number | 1);
      } else {
        const QueuedRequest& record = records[selector % records.size()];
        std::uint8_t* field = b.bytes.get() + record.position + ((selector & 0x80) != 0 ? 8 : 0);
        block::StoreU32(field, block::LoadU32(field) ^ (number == 0 ? 1 : number));
      }
      break;
    case Change::kTerminator:
      b.bytes[queued_end] = static_cast<std::uint8_t>(number | 1);
      break;
    case Change::kShortBlock:
      break;
    case Change::kQueuedEnd:
      queued_end += number == 0 ? 1 : number;
      break;
    case Change::kRecordMoved:
      if (records.empty()) {
        queued_end += number == 0 ? 1 : number;
      } else {
        // Claimed elsewhere, and forged there too where it fits.
        QueuedRequest& record = records[selector % records.size()];
        record.position += number == 0 ? 1 : number;
        if (b.Fits(record.position, 12)) {
          block::StoreU32(b.bytes.get() + record.position, record.id);
          block::StoreU32(b.bytes.get() + record.position + 8, record.size);
        }
      }
      break;
    default:
      break;
  }
  FUZZ_CHECK(Check(b, records, queued_end) == expected);
  return 0;
}
