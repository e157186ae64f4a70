#pragma once

#include <optional>
#include <string>

#include "sources/simulator_source.h"

namespace quorvane::sources {

// FlightGear's generic output in the project's protocol (flightgear/Protocol/quorvane.xml): one
// line per datagram, sent by FlightGear at its own rate; nothing is ever sent back.
class FlightGearSource final : public SimulatorSource {
 public:
  explicit FlightGearSource(SenderFilter filter) : SimulatorSource(filter) {}

  const char* Name() const override { return "FlightGear"; }
  // "FlightGear 2020.3.16" once a line carried the version, else "FlightGear".
  std::string Description() const override;
  void Receive(const net::Endpoint& sender, std::span<const std::uint8_t> bytes, bool truncated,
               SourceTime now) override;
  std::optional<SourceReading> Current(SourceTime now) const override;

 private:
  SourceReading reading_;
  std::optional<SourceTime> heard_at_;
  std::string version_;
};

}  // namespace quorvane::sources
