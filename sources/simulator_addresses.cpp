#include "sources/simulator_addresses.h"

#include <charconv>

namespace quorvane::sources {

std::optional<std::uint16_t> ParsePort(std::string_view text) {
  if (text.empty() || text.size() > 5) {
    return std::nullopt;
  }
  for (char c : text) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
  }
  unsigned value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  if (value > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

bool PlausibleHost(std::string_view text) {
  if (text.empty() || text.size() > 253) {
    return false;
  }
  for (char c : text) {
    const bool allowed = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
                         (c >= 'A' && c <= 'Z') || c == '.' || c == '-' || c == '_';
    if (!allowed) {
      return false;
    }
  }
  return true;
}

}  // namespace quorvane::sources
