#pragma once

#include "sources/simulator_addresses.h"

namespace CLI {
class App;
}

namespace quorvane::sources {

// Adds the command-line options that set where the simulators other than FSUIPC are looked
// for, writing into addresses (which holds the defaults shown in the help):
//   --xplane-host HOST, --xplane-port PORT, --flightgear-address ADDRESS,
//   --flightgear-port PORT, --flightgear-host HOST
// A port of 0 turns that simulator off. Bad values are refused by the parser with a message.
void AddSimulatorOptions(CLI::App& app, SimulatorAddresses& addresses);

// The options of AddSimulatorOptions given on the command line app parsed, with the values they
// left in addresses: what the command line chose, to lay over other settings.
SimulatorChoices GivenSimulatorOptions(const CLI::App& app, const SimulatorAddresses& addresses);

}  // namespace quorvane::sources
