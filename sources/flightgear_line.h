#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "sources/datagram_verdict.h"
#include "sources/source_reading.h"

namespace quorvane::sources {

// The longest datagram a FlightGear line may be: seven numbers and a version need far less.
inline constexpr std::size_t kFlightGearMaxLine = 256;

// One line of FlightGear's generic output in the project's format (flightgear/Protocol/
// quorvane.xml): "lat,lon,alt_ft,true_heading,magvar,groundspeed_kt[,version]" with a line
// end, the numbers in plain decimal ("21.3189041", "-157.9365388").
struct FlightGearLine {
  Verdict verdict = Verdict::WrongHeader;
  SourceReading reading;  // in metres and metres per second; valid when accepted
  std::string version;    // "2020.3.16", or empty when the line has none
};

// Decodes one datagram. Accepted only when it is one line of six or seven fields, every number
// plain decimal and finite, the latitude within [-90, 90], the longitude within [-180, 180],
// the heading within [-360, 360], the variation within [-180, 180], the ground speed within
// [0, 100000] knots, the altitude within +-1,000,000 feet and the version (when present) 1 to
// 32 letters, digits and ".-_+". Fewer fields: Truncated; longer than kFlightGearMaxLine:
// Oversized; any other shape: WrongHeader; a number out of its range or not finite: BadValue.
FlightGearLine DecodeFlightGearLine(std::string_view datagram);

}  // namespace quorvane::sources
