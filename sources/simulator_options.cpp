#include "sources/simulator_options.h"

#include <CLI/CLI.hpp>
#include <string>

namespace quorvane::sources {

namespace {

const CLI::Validator kPort(
    [](std::string& text) {
      return ParsePort(text) ? std::string() : "not a port number (0 to 65535): " + text;
    },
    "PORT");

const CLI::Validator kHost(
    [](std::string& text) {
      return PlausibleHost(text) ? std::string() : "not a host name or address: " + text;
    },
    "HOST");

void AddPort(CLI::App& app, const std::string& name, std::uint16_t& port,
             const std::string& description) {
  app.add_option_function<std::string>(
         name, [&port](const std::string& text) { port = *ParsePort(text); }, description)
      ->check(kPort)
      ->default_str(std::to_string(port));
}

}  // namespace

void AddSimulatorOptions(CLI::App& app, SimulatorAddresses& addresses) {
  app.add_option("--xplane-host", addresses.xplane_host,
                 "The computer X-Plane runs on (its datagrams from elsewhere are ignored)")
      ->check(kHost)
      ->capture_default_str();
  AddPort(app, "--xplane-port", addresses.xplane_port,
          "X-Plane's UDP port (0: do not look for X-Plane)");
  app.add_option("--flightgear-address", addresses.flightgear_address,
                 "The address to listen on for FlightGear (0.0.0.0: every computer's)")
      ->check(kHost)
      ->capture_default_str();
  AddPort(app, "--flightgear-port", addresses.flightgear_port,
          "The UDP port to listen on for FlightGear (0: do not listen)");
  app.add_option("--flightgear-host", addresses.flightgear_host,
                 "The computer FlightGear runs on (its datagrams from elsewhere are ignored)")
      ->check(kHost);
}

SimulatorChoices GivenSimulatorOptions(const CLI::App& app, const SimulatorAddresses& addresses) {
  SimulatorChoices choices;
  const auto given = [&app](const char* name) { return app.count(name) > 0; };
  if (given("--xplane-host")) {
    choices.xplane_host = addresses.xplane_host;
  }
  if (given("--xplane-port")) {
    choices.xplane_port = addresses.xplane_port;
  }
  if (given("--flightgear-address")) {
    choices.flightgear_address = addresses.flightgear_address;
  }
  if (given("--flightgear-port")) {
    choices.flightgear_port = addresses.flightgear_port;
  }
  if (given("--flightgear-host")) {
    choices.flightgear_host = addresses.flightgear_host;
  }
  return choices;
}

}  // namespace quorvane::sources
