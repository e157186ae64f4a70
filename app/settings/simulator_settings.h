#pragma once

#include <string>

#include "app/settings/profile_file.h"
#include "sources/simulator_addresses.h"

namespace quorvane {

// The section of the settings file that says where X-Plane and FlightGear are looked for. It is
// only ever read: the user writes it, the program never does.
inline constexpr const char* kSimulatorsSection = "Simulators";

// The values of [Simulators] (keys XPlaneHost, XPlanePort, FlightGearAddress, FlightGearPort,
// FlightGearHost) that can be used; a key missing, empty or not a port or host name leaves its
// default.
sources::SimulatorChoices ReadSimulatorSettings(ProfileFile& file);

// Where to look for X-Plane and FlightGear: the defaults, under the settings file's choices,
// under the command line's. The file is read in one pass and never written; one that cannot be
// opened or read gives no choices.
sources::SimulatorAddresses SimulatorAddressesFor(ProfileFiles& files, const std::string& file_name,
                                                  const sources::SimulatorChoices& command_line);

}  // namespace quorvane
