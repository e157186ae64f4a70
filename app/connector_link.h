#pragma once

#include "app/simulator_link.h"
#include "link/link_interrupt.h"
#include "sources/simulator_connector.h"

namespace quorvane {

// The window's simulator through the connector: FSUIPC first, then X-Plane, then FlightGear.
// A look for X-Plane or FlightGear handles the window's events between its short slices and
// ends at once when the interrupt is requested (a close, a termination signal).
class ConnectorLink final : public SimulatorLink {
 public:
  ConnectorLink(sources::SimulatorConnector& connector, LinkInterrupt& interrupt)
      : connector_(connector), interrupt_(interrupt) {}

  FsuipcLink& Link() override { return connector_.Link(); }
  bool Open(LinkResult& result, std::chrono::milliseconds look) override;
  void Close() override { connector_.Close(); }
  std::string AnsweredText() const override { return connector_.AnsweredText(); }
  // "Reading: X-Plane stopped sending" (or FlightGear) when the simulator fell silent.
  std::optional<AircraftFix> Sample(AircraftSampler& sampler, const PanelText& panel) override;

 private:
  sources::SimulatorConnector& connector_;
  LinkInterrupt& interrupt_;
};

}  // namespace quorvane
