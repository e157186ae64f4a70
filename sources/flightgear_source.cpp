#include "sources/flightgear_source.h"

#include <string_view>

#include "sources/flightgear_line.h"

namespace quorvane::sources {

std::string FlightGearSource::Description() const {
  return version_.empty() ? std::string(Name()) : std::string(Name()) + " " + version_;
}

void FlightGearSource::Receive(const net::Endpoint& sender, std::span<const std::uint8_t> bytes,
                               bool truncated, SourceTime now) {
  if (!FromSimulator(sender)) {
    return;
  }
  if (truncated) {
    Count(Verdict::Oversized, counts_);
    return;
  }
  const FlightGearLine line = DecodeFlightGearLine(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  Count(line.verdict, counts_);
  if (line.verdict != Verdict::Accepted) {
    return;
  }
  reading_ = line.reading;
  heard_at_ = now;
  if (!line.version.empty()) {
    version_ = line.version;
  }
}

std::optional<SourceReading> FlightGearSource::Current(SourceTime now) const {
  if (!Recent(heard_at_, now)) {
    return std::nullopt;
  }
  return reading_;
}

}  // namespace quorvane::sources
