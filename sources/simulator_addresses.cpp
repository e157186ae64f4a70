#include "sources/simulator_addresses.h"

#include "text/number_text.h"

namespace quorvane::sources {

std::optional<std::uint16_t> ParsePort(std::string_view text) {
  // Up to five decimal digits: an unsigned number takes no sign.
  const auto value = text.size() <= 5 ? ParseWhole<unsigned>(text) : std::nullopt;
  if (!value || *value > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(*value);
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
