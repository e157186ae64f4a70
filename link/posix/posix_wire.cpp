#include "link/posix/posix_wire.h"

#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "link/request_block.h"

namespace quorvane::posix_wire {

namespace {

void StoreU16(std::uint8_t* at, std::size_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

std::size_t LoadU16(const std::uint8_t* at) {
  return static_cast<std::size_t>(at[0]) | static_cast<std::size_t>(at[1]) << 8;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeRequest(const Request& request) {
  if (request.message_name.size() > kMaxNameLength ||
      request.mapping_name.size() > kMaxNameLength) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> packet(kRequestHeaderSize + request.message_name.size() +
                                   request.mapping_name.size());
  block::StoreU32(packet.data(), kRequestMagic);
  block::StoreU32(packet.data() + 4, static_cast<std::uint32_t>(request.kind));
  block::StoreU32(packet.data() + 8, request.sequence);
  block::StoreU32(packet.data() + 12, request.lparam);
  StoreU16(packet.data() + 16, request.message_name.size());
  StoreU16(packet.data() + 18, request.mapping_name.size());
  auto names = packet.begin() + kRequestHeaderSize;
  names = std::copy(request.message_name.begin(), request.message_name.end(), names);
  std::copy(request.mapping_name.begin(), request.mapping_name.end(), names);
  return packet;
}

std::optional<Request> DecodeRequest(std::span<const std::uint8_t> packet) {
  if (packet.size() < kRequestHeaderSize || block::LoadU32(packet.data()) != kRequestMagic) {
    return std::nullopt;
  }
  const std::uint32_t kind = block::LoadU32(packet.data() + 4);
  if (kind != static_cast<std::uint32_t>(RequestKind::Exchange) &&
      kind != static_cast<std::uint32_t>(RequestKind::Ping)) {
    return std::nullopt;
  }
  const std::size_t message_length = LoadU16(packet.data() + 16);
  const std::size_t mapping_length = LoadU16(packet.data() + 18);
  if (message_length > kMaxNameLength || mapping_length > kMaxNameLength ||
      packet.size() != kRequestHeaderSize + message_length + mapping_length) {
    return std::nullopt;
  }
  Request request;
  request.kind = static_cast<RequestKind>(kind);
  request.sequence = block::LoadU32(packet.data() + 8);
  request.lparam = block::LoadU32(packet.data() + 12);
  const auto* names = reinterpret_cast<const char*>(packet.data() + kRequestHeaderSize);
  request.message_name.assign(names, message_length);
  request.mapping_name.assign(names + message_length, mapping_length);
  return request;
}

std::vector<std::uint8_t> EncodeReply(const Reply& reply) {
  std::vector<std::uint8_t> packet(kReplySize);
  block::StoreU32(packet.data(), kReplyMagic);
  block::StoreU32(packet.data() + 4, reply.sequence);
  block::StoreU32(packet.data() + 8, reply.value);
  return packet;
}

std::optional<Reply> DecodeReply(std::span<const std::uint8_t> packet) {
  if (packet.size() != kReplySize || block::LoadU32(packet.data()) != kReplyMagic) {
    return std::nullopt;
  }
  return Reply{block::LoadU32(packet.data() + 4), block::LoadU32(packet.data() + 8)};
}

std::string SocketDirectory() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') {
    return std::string(runtime) + "/quorvane";
  }
  return "/tmp/quorvane-" + std::to_string(::geteuid());
}

std::optional<std::string> SocketPath(const std::string& class_name) {
  if (class_name.empty() || class_name == "." || class_name == ".." ||
      class_name.find('/') != std::string::npos || class_name.find('\0') != std::string::npos) {
    return std::nullopt;
  }
  std::string path = SocketDirectory() + "/" + class_name;
  if (path.size() >= sizeof(sockaddr_un{}.sun_path)) {
    return std::nullopt;
  }
  return path;
}

std::optional<std::string> SharedMemoryName(const std::string& mapping_name) {
  // NAME_MAX is 255; the leading "/" is not part of the file name under /dev/shm.
  if (mapping_name.empty() || mapping_name.size() > kMaxNameLength ||
      mapping_name.find('/') != std::string::npos || mapping_name.find('\0') != std::string::npos ||
      mapping_name == "." || mapping_name == "..") {
    return std::nullopt;
  }
  return "/" + mapping_name;
}

}  // namespace quorvane::posix_wire
