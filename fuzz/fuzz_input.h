#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvane::fuzzing {

// Takes values from the front of a fuzz input. Once the input is used up every value reads as
// zero and every string as empty, so a target never has to check what is left.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return used_ == size_; }
  std::size_t Remaining() const { return size_ - used_; }

  std::uint8_t Byte() { return used_ < size_ ? data_[used_++] : 0; }

  // Little-endian values. The parts are taken in separate statements: the order in which the
  // operands of one expression are evaluated is up to the compiler, and an input must mean the
  // same to every build.
  std::uint16_t U16() {
    const unsigned low = Byte();
    return static_cast<std::uint16_t>(low | static_cast<unsigned>(Byte()) << 8);
  }
  std::uint32_t U32() {
    const std::uint32_t low = U16();
    return low | static_cast<std::uint32_t>(U16()) << 16;
  }
  std::uint64_t U64() {
    const std::uint64_t low = U32();
    return low | static_cast<std::uint64_t>(U32()) << 32;
  }

  // Up to length bytes (fewer when the input ends first).
  std::string Bytes(std::size_t length) {
    const std::size_t taken = length < Remaining() ? length : Remaining();
    std::string bytes(reinterpret_cast<const char*>(data_ + used_), taken);
    used_ += taken;
    return bytes;
  }

  // Everything that is left.
  std::string Rest() { return Bytes(Remaining()); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t used_ = 0;
};

}  // namespace quorvane::fuzzing
