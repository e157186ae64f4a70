#include "simulator/offset_space.h"

#include <algorithm>
#include <cstring>

namespace quorvane::sim {

namespace {

// How many of size bytes from offset lie inside the space.
std::uint32_t InsideCount(std::uint32_t offset, std::uint32_t size) {
  if (offset >= OffsetSpace::kSize) {
    return 0;
  }
  return std::min(size, OffsetSpace::kSize - offset);
}

}  // namespace

void OffsetSpace::Read(std::uint32_t offset, std::uint32_t size, std::uint8_t* destination) const {
  const std::uint32_t inside = InsideCount(offset, size);
  if (inside != 0) {
    std::memcpy(destination, bytes_.data() + offset, inside);
  }
  if (inside != size) {
    std::memset(destination + inside, 0, size - inside);
  }
}

void OffsetSpace::Write(std::uint32_t offset, std::uint32_t size, const std::uint8_t* source) {
  const std::uint32_t inside = InsideCount(offset, size);
  if (inside != 0) {
    std::memcpy(bytes_.data() + offset, source, inside);
  }
}

void OffsetSpace::Put(std::uint32_t offset, std::uint32_t size, std::uint64_t value) {
  std::uint8_t bytes[8];
  for (std::uint32_t i = 0; i < 8; ++i) {
    bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  Write(offset, std::min<std::uint32_t>(size, 8), bytes);
}

std::uint64_t OffsetSpace::Get(std::uint32_t offset, std::uint32_t size) const {
  std::uint8_t bytes[8] = {};
  Read(offset, std::min<std::uint32_t>(size, 8), bytes);
  std::uint64_t value = 0;
  for (std::uint32_t i = 0; i < 8; ++i) {
    value |= std::uint64_t{bytes[i]} << (8 * i);
  }
  return value;
}

}  // namespace quorvane::sim
