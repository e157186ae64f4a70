#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane::sources {

// Where to look for the simulators other than FSUIPC. A port of 0 turns that simulator off.
struct SimulatorAddresses {
  static constexpr std::uint16_t kXPlanePort = 49000;
  static constexpr std::uint16_t kFlightGearPort = 5510;

  // The computer X-Plane runs on (name or address) and the port of its UDP interface. Datagrams
  // from any other address are ignored.
  std::string xplane_host = "127.0.0.1";
  std::uint16_t xplane_port = kXPlanePort;
  // The address and port Quorvane listens on for FlightGear's output (the host and port of
  // fgfs's --generic option): 127.0.0.1 takes only this computer's datagrams, 0.0.0.0 every
  // computer's.
  std::string flightgear_address = "127.0.0.1";
  std::uint16_t flightgear_port = kFlightGearPort;
  // The computer FlightGear runs on. Empty: whichever computer can reach the listening address
  // (only this one on 127.0.0.1); otherwise datagrams from any other address are ignored.
  std::string flightgear_host;
};

// Values chosen for some of the addresses (in the settings file, on the command line); what is
// not chosen keeps the value it has.
struct SimulatorChoices {
  std::optional<std::string> xplane_host;
  std::optional<std::uint16_t> xplane_port;
  std::optional<std::string> flightgear_address;
  std::optional<std::uint16_t> flightgear_port;
  std::optional<std::string> flightgear_host;

  // Sets the chosen values in addresses.
  void ApplyTo(SimulatorAddresses& addresses) const;
};

// A port as written in the settings or on the command line: decimal 0 to 65535, nothing else.
std::optional<std::uint16_t> ParsePort(std::string_view text);
// True for a text that can be a host name or an address: 1 to 253 characters, letters, digits
// and ".-_" only.
bool PlausibleHost(std::string_view text);

}  // namespace quorvane::sources
