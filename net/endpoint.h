#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane::net {

// An IPv4 address and a UDP port, both in host byte order (127.0.0.1 is 0x7F000001).
struct Endpoint {
  std::uint32_t address = 0;
  std::uint16_t port = 0;
  bool operator==(const Endpoint&) const = default;
};

inline constexpr std::uint32_t kLoopbackAddress = 0x7F000001;  // 127.0.0.1
inline constexpr std::uint32_t kAnyAddress = 0;                // 0.0.0.0: every local address

// The dotted text of an address, e.g. "127.0.0.1".
std::string FormatAddress(std::uint32_t address);
// "127.0.0.1:5510".
std::string FormatEndpoint(const Endpoint& endpoint);
// The address of a dotted text of exactly four decimal numbers 0 to 255 ("10.0.0.1"), or nothing
// (names, shorthand forms such as "10.1", and anything else are not parsed here).
std::optional<std::uint32_t> ParseDottedAddress(std::string_view text);
// True for 127.0.0.0/8.
bool IsLoopback(std::uint32_t address);

}  // namespace quorvane::net
