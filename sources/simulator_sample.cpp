#include "sources/simulator_sample.h"

#include <string>

namespace quorvane::sources {

std::optional<AircraftFix> SampleSimulator(SimulatorConnector& connector, AircraftSampler& sampler,
                                           const PanelText& panel) {
  const std::uint64_t silent_before = connector.SilentExchanges();
  std::string text;
  const std::optional<AircraftFix> fix =
      sampler.SampleAircraft([&text](const std::string& shown) { text = shown; });
  if (!fix && connector.SilentExchanges() != silent_before) {
    const Simulator simulator = connector.Answered();
    text = std::string("Reading: ") + (simulator == Simulator::XPlane ? "X-Plane" : "FlightGear") +
           " stopped sending";
  }
  panel(text);
  return fix;
}

}  // namespace quorvane::sources
