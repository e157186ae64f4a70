#pragma once

#include <array>
#include <cstdint>

#include "link/fsuipc_offsets.h"

namespace quorvane::sim {

// The simulator's 64 KiB space of values addressed by offset. Reads past its end give zeros
// and writes past its end are dropped, so no request can reach outside it.
class OffsetSpace {
 public:
  static constexpr std::uint32_t kSize = 0x10000;

  void Read(std::uint32_t offset, std::uint32_t size, std::uint8_t* destination) const;
  void Write(std::uint32_t offset, std::uint32_t size, const std::uint8_t* source);
  // Stores the low `size` bytes (1 to 8) of value, little-endian.
  void Put(std::uint32_t offset, std::uint32_t size, std::uint64_t value);
  // Loads `size` bytes (1 to 8) little-endian.
  std::uint64_t Get(std::uint32_t offset, std::uint32_t size) const;
  // The same for one of FSUIPC's fields.
  void Put(const fsuipc::Field& field, std::uint64_t value) {
    Put(field.offset, field.size, value);
  }
  std::uint64_t Get(const fsuipc::Field& field) const { return Get(field.offset, field.size); }

 private:
  std::array<std::uint8_t, kSize> bytes_{};
};

}  // namespace quorvane::sim
