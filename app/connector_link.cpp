#include "app/connector_link.h"

#include "sources/simulator_sample.h"

namespace quorvane {

bool ConnectorLink::Open(LinkResult& result, std::chrono::milliseconds look) {
  // Between slices of the look, the window takes the events that may not wait, as it does while
  // the link waits for FSUIPC; a close or a termination request ends the look.
  return connector_.Open(result, look, [this] {
    interrupt_.WhileWaiting();
    return !interrupt_.Requested();
  });
}

std::optional<AircraftFix> ConnectorLink::Sample(AircraftSampler& sampler, const PanelText& panel) {
  return sources::SampleSimulator(connector_, sampler, panel);
}

}  // namespace quorvane
