#include "net/endpoint.h"

#include <charconv>

namespace quorvane::net {

std::string FormatAddress(std::uint32_t address) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    text += std::to_string((address >> shift) & 0xFF);
    if (shift != 0) {
      text += '.';
    }
  }
  return text;
}

std::string FormatEndpoint(const Endpoint& endpoint) {
  return FormatAddress(endpoint.address) + ":" + std::to_string(endpoint.port);
}

std::optional<std::uint32_t> ParseDottedAddress(std::string_view text) {
  std::uint32_t address = 0;
  const char* at = text.data();
  const char* const end = text.data() + text.size();
  for (int part = 0; part < 4; ++part) {
    if (part != 0) {
      if (at == end || *at != '.') {
        return std::nullopt;
      }
      ++at;
    }
    // Plain decimal digits only: no sign, no blanks, at most three digits (so "0300" is refused
    // rather than read as octal by some other tool).
    const char* digits_end = at;
    while (digits_end != end && *digits_end >= '0' && *digits_end <= '9') {
      ++digits_end;
    }
    if (digits_end == at || digits_end - at > 3) {
      return std::nullopt;
    }
    unsigned value = 0;
    std::from_chars(at, digits_end, value);
    if (value > 255) {
      return std::nullopt;
    }
    address = address << 8 | value;
    at = digits_end;
  }
  if (at != end) {
    return std::nullopt;
  }
  return address;
}

bool IsLoopback(std::uint32_t address) {
  return (address >> 24) == 127;
}

}  // namespace quorvane::net
