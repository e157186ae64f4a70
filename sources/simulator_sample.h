#pragma once

#include <optional>

#include "sampling/aircraft_fix.h"
#include "sampling/aircraft_sampler.h"
#include "sources/simulator_connector.h"

namespace quorvane::sources {

// Takes one sample through the connector's link with the sampler (built on connector.Link()),
// showing what the sampler shows, except when the sample failed because the simulator in use
// had stopped sending: then the panel reads "Reading: X-Plane stopped sending" (or FlightGear),
// which says more than the link's time-out. Returns the sampler's fix.
std::optional<AircraftFix> SampleSimulator(SimulatorConnector& connector, AircraftSampler& sampler,
                                           const PanelText& panel);

}  // namespace quorvane::sources
