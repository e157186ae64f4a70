#pragma once

// The packets that stand in for the window message on POSIX systems, shared by the client and
// the stand-in server. docs/posix-link-protocol.md describes them for server writers.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvane::posix_wire {

inline constexpr std::uint32_t kRequestMagic = 0x31515651;  // bytes "QVQ1"
inline constexpr std::uint32_t kReplyMagic = 0x31525651;    // bytes "QVR1"
inline constexpr std::size_t kRequestHeaderSize = 20;
inline constexpr std::size_t kReplySize = 12;
inline constexpr std::size_t kMaxNameLength = 255;
inline constexpr std::size_t kMaxRequestSize = kRequestHeaderSize + 2 * kMaxNameLength;

enum class RequestKind : std::uint32_t {
  Exchange = 1,  // perform the requests in the named block, then reply
  Ping = 2,      // reply at once with 1, touching nothing (measures the bare round trip)
};

struct Request {
  RequestKind kind = RequestKind::Exchange;
  std::uint32_t sequence = 0;
  std::uint32_t lparam = 0;
  std::string message_name;
  std::string mapping_name;
};

struct Reply {
  std::uint32_t sequence = 0;
  std::uint32_t value = 0;
};

// Encodes a request; names longer than kMaxNameLength give nullopt.
std::optional<std::vector<std::uint8_t>> EncodeRequest(const Request& request);
// Decodes one received request packet; nullopt when it is malformed in any way.
std::optional<Request> DecodeRequest(std::span<const std::uint8_t> packet);
std::vector<std::uint8_t> EncodeReply(const Reply& reply);
std::optional<Reply> DecodeReply(std::span<const std::uint8_t> packet);

// The folder of the per-user server sockets: "$XDG_RUNTIME_DIR/quorvane" when XDG_RUNTIME_DIR
// is an absolute path, else "/tmp/quorvane-<uid>".
std::string SocketDirectory();
// The socket a server of window class class_name listens on, or nullopt when the class name
// cannot name a socket (empty, "." or "..", holds "/", or makes the path too long).
std::optional<std::string> SocketPath(const std::string& class_name);
// The shared-memory object name for a mapping name ("/" + name), or nullopt when the mapping
// name is empty, too long or holds "/".
std::optional<std::string> SharedMemoryName(const std::string& mapping_name);

}  // namespace quorvane::posix_wire
