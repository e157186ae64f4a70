#include "sources/simulator_addresses.h"

#include "text/number_text.h"

namespace quorvane::sources {

void SimulatorChoices::ApplyTo(SimulatorAddresses& addresses) const {
  addresses.xplane_host = xplane_host.value_or(addresses.xplane_host);
  addresses.xplane_port = xplane_port.value_or(addresses.xplane_port);
  addresses.flightgear_address = flightgear_address.value_or(addresses.flightgear_address);
  addresses.flightgear_port = flightgear_port.value_or(addresses.flightgear_port);
  addresses.flightgear_host = flightgear_host.value_or(addresses.flightgear_host);
}

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
