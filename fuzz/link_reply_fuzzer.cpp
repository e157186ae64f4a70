// The link's check of the server's reply, through the public API: the input queues a set of
// reads and writes, then decides what the server writes back into the block and how the send
// ends. Whatever the server does, a successful Process must have copied into each destination
// exactly the bytes at that read's place in the returned block, and a failed one nothing; no
// destination may be written past its size (each is an exact-size heap buffer).

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_target.h"
#include "fuzz/scripted_link_services.h"
#include "link/fsuipc_link.h"
#include "link/request_block.h"

namespace {

using quorvane::FsuipcLink;
using quorvane::LinkResult;
using quorvane::fuzzing::FuzzInput;
using quorvane::fuzzing::ScriptedLinkServices;
namespace block = quorvane::block;

constexpr int kMaxRounds = 4;
constexpr int kMaxRequests = 12;
constexpr int kMaxPatches = 4;

// A request as the target queued it, kept apart from anything the link records.
struct Request {
  bool read = true;
  std::uint32_t size = 0;
  std::uint32_t position = 0;                   // where its header starts in the block
  std::vector<std::uint8_t> source;             // a write's bytes (zeros for a null source)
  std::unique_ptr<std::uint8_t[]> destination;  // exactly size bytes; null for no destination
  std::vector<std::uint8_t> before;             // the destination's bytes before Process
};

// A size from one of four ranges, from a few bytes to far beyond the block.
std::uint32_t ChooseSize(FuzzInput& in, unsigned shape) {
  switch (shape) {
    case 0:
      return in.Byte() % 16;
    case 1:
      return in.Byte();
    case 2:
      return in.U16();
    default:
      return in.U32();
  }
}

// Whether a request of this header and data size still fits after `used` queued bytes: the
// queued bytes and the terminator never exceed the usable part of the block.
bool Fits(std::uint32_t used, std::uint32_t header, std::uint32_t size) {
  return std::uint64_t{used} + header + size + block::kTerminatorSize <= block::kUsableLimit;
}

// Queues one request chosen by the input; false when the link refused it (as it must when the
// request does not fit).
bool QueueOne(FsuipcLink& link, FuzzInput& in, std::uint32_t used, std::size_t index,
              Request& request) {
  const std::uint8_t shape = in.Byte();
  request.read = (shape & 1) == 0;
  const bool without_buffer = (shape & 2) != 0;
  request.size = ChooseSize(in, (shape >> 2) & 3);
  const std::uint32_t offset = in.U16();
  const std::uint32_t header = request.read ? block::kReadHeaderSize : block::kWriteHeaderSize;
  const bool fits = Fits(used, header, request.size);
  // A request that must be refused gets an empty heap buffer: touching it is reported.
  const std::uint32_t buffer_size = fits ? request.size : 0;
  auto buffer = std::make_unique<std::uint8_t[]>(buffer_size);

  LinkResult result = LinkResult::Okay;
  bool queued = false;
  if (request.read) {
    for (std::uint32_t i = 0; i < buffer_size; ++i) {
      buffer[i] = static_cast<std::uint8_t>(0xA5 ^ (i + index));
    }
    request.before.assign(buffer.get(), buffer.get() + buffer_size);
    queued = link.QueueRead(offset, request.size, without_buffer ? nullptr : buffer.get(), result);
    if (!without_buffer) {
      request.destination = std::move(buffer);
    }
  } else {
    const std::string bytes = without_buffer ? std::string() : in.Bytes(buffer_size);
    std::copy(bytes.begin(), bytes.end(), buffer.get());  // the rest stays zero
    request.source.assign(buffer.get(), buffer.get() + buffer_size);
    queued = link.QueueWrite(offset, request.size, without_buffer ? nullptr : buffer.get(), result);
  }
  FUZZ_CHECK(queued == fits);
  FUZZ_CHECK(result == (fits ? LinkResult::Okay : LinkResult::BlockFull));
  return queued;
}

// The block as it must go out: every request's header and data as queued, then a terminator.
void CheckSentBlock(const std::uint8_t* sent, const std::vector<Request>& requests,
                    std::uint32_t queued_end) {
  for (std::size_t i = 0; i < requests.size(); ++i) {
    const Request& request = requests[i];
    const std::uint8_t* at = sent + request.position;
    FUZZ_CHECK(block::LoadU32(at) == (request.read ? block::kReadId : block::kWriteId));
    FUZZ_CHECK(block::LoadU32(at + 8) == request.size);
    if (request.read) {
      // The destination field carries the 1-based queue position, or 0 for none.
      const std::uint32_t tag = request.destination ? static_cast<std::uint32_t>(i + 1) : 0;
      FUZZ_CHECK(block::LoadU32(at + 12) == tag);
      const std::uint8_t* data = at + block::kReadHeaderSize;
      FUZZ_CHECK(std::all_of(data, data + request.size, [](std::uint8_t b) { return b == 0; }));
    } else {
      FUZZ_CHECK(
          std::equal(request.source.begin(), request.source.end(), at + block::kWriteHeaderSize));
    }
  }
  FUZZ_CHECK(block::LoadU32(sent + queued_end) == 0);
}

// Plays the server for one attempt: fills the reads' data, forges bytes here and there (headers,
// sizes, the terminator, anywhere), and ends the send as the input says.
ScriptedLinkServices::Outcome Forge(FuzzInput& in, std::uint8_t* sent, std::uint32_t block_size,
                                    const std::vector<Request>& requests,
                                    std::uint32_t queued_end) {
  const std::uint8_t mode = in.Byte();
  if ((mode & 1) != 0) {
    for (const Request& request : requests) {
      if (request.read) {
        std::uint8_t* data = sent + request.position + block::kReadHeaderSize;
        const std::string bytes = in.Bytes(request.size);
        for (std::uint32_t i = 0; i < request.size; ++i) {
          data[i] = i < bytes.size() ? static_cast<std::uint8_t>(bytes[i])
                                     : static_cast<std::uint8_t>(i * 31 + 7);
        }
      }
    }
  }
  const int patches = (mode >> 1) % kMaxPatches;
  for (int p = 0; p < patches; ++p) {
    const std::size_t target = in.Byte() % (requests.size() + 2);
    std::uint64_t at = 0;
    if (target < requests.size()) {
      at = requests[target].position + in.Byte() % 20;
    } else if (target == requests.size()) {
      at = queued_end + in.Byte() % 4;
    } else {
      at = in.U16() % block_size;
    }
    const std::string bytes = in.Bytes(1 + in.Byte() % 8);
    for (std::size_t i = 0; i < bytes.size() && at + i < block_size; ++i) {
      sent[at + i] = static_cast<std::uint8_t>(bytes[i]);
    }
  }
  switch ((mode >> 3) & 3) {
    case 2:
      return {true, static_cast<std::uintptr_t>(in.U64()), 0};
    case 3:
      return {false, 0, (mode & 0x20) != 0 ? 1460u : 0u};  // send failed, or timed out
    default:
      return {};
  }
}

// Whether the returned block still holds every request's id and size at its place, and the
// terminator after the last one: the condition for the data to be delivered.
bool ReplyIsIntact(const std::vector<std::uint8_t>& returned, const std::vector<Request>& requests,
                   std::uint32_t queued_end) {
  for (const Request& request : requests) {
    const std::uint8_t* at = returned.data() + request.position;
    if (block::LoadU32(at) != (request.read ? block::kReadId : block::kWriteId) ||
        block::LoadU32(at + 8) != request.size) {
      return false;
    }
  }
  return returned[queued_end] == 0;
}

// One round: queue, process, check what reached the destinations.
void Round(FsuipcLink& link, ScriptedLinkServices& services, FuzzInput& in) {
  std::vector<Request> requests;
  std::uint32_t used = 0;
  const int count = in.Byte() % (kMaxRequests + 1);
  for (int i = 0; i < count; ++i) {
    Request request;
    request.position = used;
    if (QueueOne(link, in, used, requests.size(), request)) {
      used += (request.read ? block::kReadHeaderSize : block::kWriteHeaderSize) + request.size;
      requests.push_back(std::move(request));
    }
    FUZZ_CHECK(link.QueuedBytes() == used);
  }
  const std::uint32_t queued_end = used;

  int attempts = 0;
  std::vector<std::uint8_t> returned;
  ScriptedLinkServices::Outcome last;
  services.on_send = [&](std::uint8_t* sent, std::uint32_t block_size) {
    if (attempts++ == 0) {
      CheckSentBlock(sent, requests, queued_end);
    }
    last = Forge(in, sent, block_size, requests, queued_end);
    returned.assign(sent, sent + block_size);
    return last;
  };
  LinkResult result = LinkResult::Okay;
  const bool processed = link.Process(result);
  services.on_send = nullptr;

  LinkResult expected = LinkResult::Okay;
  if (requests.empty()) {
    expected = LinkResult::NothingQueued;
  } else if (!last.sent) {
    expected = last.last_error == 0 ? LinkResult::TimedOut : LinkResult::SendFailed;
  } else if (last.reply != 1 || !ReplyIsIntact(returned, requests, queued_end)) {
    expected = LinkResult::BadReply;
  }
  FUZZ_CHECK(result == expected);
  FUZZ_CHECK(processed == (expected == LinkResult::Okay));
  if (requests.empty()) {
    FUZZ_CHECK(attempts == 0);
  } else {
    // Attempts stop at the first send that goes through, and after ten that do not.
    FUZZ_CHECK(last.sent ? attempts >= 1 && attempts <= 10 : attempts == 10);
  }
  FUZZ_CHECK(link.QueuedBytes() == 0);
  FUZZ_CHECK(link.IsOpen());

  for (const Request& request : requests) {
    if (!request.destination) {
      continue;
    }
    const std::uint8_t* got = request.destination.get();
    if (processed) {
      const auto data = returned.begin() + request.position + block::kReadHeaderSize;
      FUZZ_CHECK(std::equal(got, got + request.size, data));
    } else {
      FUZZ_CHECK(std::equal(got, got + request.size, request.before.begin()));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  ScriptedLinkServices services;
  services.on_send = ScriptedLinkServices::ServeHandshake;
  FsuipcLink link(services);
  LinkResult result = LinkResult::Okay;
  FUZZ_CHECK(link.Open(0, result));
  for (int round = 0; round < kMaxRounds && !in.Empty(); ++round) {
    Round(link, services, in);
  }
  return 0;
}
