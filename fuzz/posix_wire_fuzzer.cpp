// The packets of the POSIX link: a decoder must take any bytes without crashing, a decoded
// packet must encode back to exactly the bytes received (nothing is ignored or invented), and a
// request built from any fields must decode to the same fields. The names a server takes from a
// request must give shared-memory and socket names that stay in their folders.

#include <sys/un.h>

#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_target.h"
#include "link/posix/posix_wire.h"

namespace {

namespace wire = quorvane::posix_wire;
using quorvane::fuzzing::FuzzInput;

// A name that a path may hold as one file name.
bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

void CheckNames(const std::string& name) {
  if (const auto shared = wire::SharedMemoryName(name)) {
    FUZZ_CHECK(IsPlainFileName(name) && name.size() <= wire::kMaxNameLength);
    FUZZ_CHECK(*shared == "/" + name);
  } else {
    FUZZ_CHECK(!IsPlainFileName(name) || name.size() > wire::kMaxNameLength);
  }
  if (const auto socket = wire::SocketPath(name)) {
    FUZZ_CHECK(IsPlainFileName(name));
    FUZZ_CHECK(*socket == wire::SocketDirectory() + "/" + name);
    FUZZ_CHECK(socket->size() < sizeof(sockaddr_un{}.sun_path));
  }
}

// Received bytes: decode, and re-encode what was decoded.
void CheckReceived(const std::vector<std::uint8_t>& packet) {
  if (const auto request = wire::DecodeRequest(packet)) {
    FUZZ_CHECK(request->kind == wire::RequestKind::Exchange ||
               request->kind == wire::RequestKind::Ping);
    const auto encoded = wire::EncodeRequest(*request);
    FUZZ_CHECK(encoded && *encoded == packet);
    CheckNames(request->mapping_name);
    CheckNames(request->message_name);
  }
  if (const auto reply = wire::DecodeReply(packet)) {
    FUZZ_CHECK(wire::EncodeReply(*reply) == packet);
  }
}

// Fields taken from the input: encode, then decode.
void CheckBuilt(FuzzInput& in) {
  wire::Request request;
  request.kind = (in.Byte() & 1) != 0 ? wire::RequestKind::Ping : wire::RequestKind::Exchange;
  request.sequence = in.U32();
  request.lparam = in.U32();
  request.message_name = in.Bytes(in.U16() % 300);
  request.mapping_name = in.Bytes(in.U16() % 300);
  const auto encoded = wire::EncodeRequest(request);
  const bool fits = request.message_name.size() <= wire::kMaxNameLength &&
                    request.mapping_name.size() <= wire::kMaxNameLength;
  FUZZ_CHECK(encoded.has_value() == fits);
  if (encoded) {
    FUZZ_CHECK(encoded->size() <= wire::kMaxRequestSize);
    const auto decoded = wire::DecodeRequest(*encoded);
    FUZZ_CHECK(decoded && decoded->kind == request.kind && decoded->sequence == request.sequence &&
               decoded->lparam == request.lparam && decoded->message_name == request.message_name &&
               decoded->mapping_name == request.mapping_name);
  }
  const wire::Reply reply{in.U32(), in.U32()};
  const auto decoded_reply = wire::DecodeReply(wire::EncodeReply(reply));
  FUZZ_CHECK(decoded_reply && decoded_reply->sequence == reply.sequence &&
             decoded_reply->value == reply.value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckReceived(std::vector<std::uint8_t>(data, data + size));
  FuzzInput in(data, size);
  CheckBuilt(in);
  return 0;
}
