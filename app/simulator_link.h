#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "link/fsuipc_link.h"
#include "link/link_result.h"
#include "sampling/aircraft_fix.h"
#include "sampling/aircraft_sampler.h"

namespace quorvane {

// The simulator the window follows, however it is reached: the one link samples are read
// through, opened on whichever simulator answers.
class SimulatorLink {
 public:
  virtual ~SimulatorLink() = default;

  // The link samples are read through.
  virtual FsuipcLink& Link() = 0;
  // Opens the link as FsuipcLink::Open does; a simulator found otherwise than through FSUIPC may
  // be waited for up to `look`. true when it opened.
  virtual bool Open(LinkResult& result, std::chrono::milliseconds look) = 0;
  virtual void Close() = 0;
  // What answered, for the status bar, when it is not FSUIPC ("X-Plane 12.1.0"); empty for
  // FSUIPC, whose version the link tells.
  virtual std::string AnsweredText() const = 0;
  // Takes one sample with the sampler (made on Link()), showing its text through panel.
  virtual std::optional<AircraftFix> Sample(AircraftSampler& sampler, const PanelText& panel) = 0;
};

// FSUIPC alone: the bare link.
class FsuipcOnlyLink final : public SimulatorLink {
 public:
  explicit FsuipcOnlyLink(FsuipcLink& link) : link_(link) {}

  FsuipcLink& Link() override { return link_; }
  bool Open(LinkResult& result, std::chrono::milliseconds) override {
    return link_.Open(0, result);
  }
  void Close() override { link_.Close(); }
  std::string AnsweredText() const override { return {}; }
  std::optional<AircraftFix> Sample(AircraftSampler& sampler, const PanelText& panel) override {
    return sampler.SampleAircraft(panel);
  }

 private:
  FsuipcLink& link_;
};

}  // namespace quorvane
