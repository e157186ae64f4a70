#pragma once

// Layout of the shared request block, common to the client and to any server.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quorvane::block {

inline constexpr std::uint32_t kBlockSize = 0x8000;    // bytes of the shared mapping
inline constexpr std::uint32_t kUsableLimit = 0x7F00;  // queued bytes + terminator never exceed it
inline constexpr std::uint32_t kReadId = 1;
inline constexpr std::uint32_t kWriteId = 2;
inline constexpr std::uint32_t kReadHeaderSize = 16;   // id, offset, size, destination
inline constexpr std::uint32_t kWriteHeaderSize = 12;  // id, offset, size
inline constexpr std::uint32_t kTerminatorSize = 4;

inline constexpr const char* kMessageName = "FsasmLib:IPC";
inline constexpr const char* kPrimaryServerClass = "UIPCMAIN";
inline constexpr const char* kFallbackServerClass = "FS98MAIN";

// Little-endian 32-bit load and store at any alignment.
inline std::uint32_t LoadU32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

inline void StoreU32(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
  at[2] = static_cast<std::uint8_t>(value >> 16);
  at[3] = static_cast<std::uint8_t>(value >> 24);
}

}  // namespace quorvane::block
