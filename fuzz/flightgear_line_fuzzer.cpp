// One datagram as FlightGear's generic output might send it, any bytes at all, through the line
// decoder and a FlightGear source. What is accepted must be usable as it is: every value finite
// and in its range, a version of plausible characters; what is refused changes nothing but the
// counts; a line accepted without its line end is accepted the same with one.

#include <cmath>
#include <string>
#include <string_view>

#include "fuzz/fuzz_target.h"
#include "sources/flightgear_line.h"
#include "sources/flightgear_source.h"

namespace {

namespace src = quorvane::sources;

bool Within(double value, double low, double high) {
  return std::isfinite(value) && value >= low && value <= high;
}

void CheckUsable(const src::SourceReading& reading) {
  FUZZ_CHECK(Within(reading.latitude, -90.0, 90.0));
  FUZZ_CHECK(Within(reading.longitude, -180.0, 180.0));
  FUZZ_CHECK(Within(reading.altitude, -1e6, 1e6));
  FUZZ_CHECK(Within(reading.true_heading, -360.0, 360.0));
  FUZZ_CHECK(Within(reading.magvar, -180.0, 180.0));
  FUZZ_CHECK(Within(reading.ground_speed, 0.0, 1e5));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const src::FlightGearLine line = src::DecodeFlightGearLine(text);

  src::FlightGearSource source(src::SenderFilter{});
  const src::SourceTime now{std::chrono::hours(1)};
  source.Receive({0x7F000001, 40000}, {data, size}, false, now);
  FUZZ_CHECK(source.Counts().Received() == 1);
  FUZZ_CHECK((source.Counts().accepted == 1) == (line.verdict == src::Verdict::Accepted));
  FUZZ_CHECK(source.Current(now).has_value() == (line.verdict == src::Verdict::Accepted));

  if (line.verdict != src::Verdict::Accepted) {
    FUZZ_CHECK(line.version.empty());
    return 0;
  }
  FUZZ_CHECK(size <= src::kFlightGearMaxLine);
  CheckUsable(line.reading);
  CheckUsable(*source.Current(now));
  FUZZ_CHECK(line.version.size() <= 32);
  for (char c : line.version) {
    FUZZ_CHECK((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               c == '.' || c == '-' || c == '_' || c == '+');
  }
  FUZZ_CHECK(source.Description() ==
             (line.version.empty() ? std::string("FlightGear") : "FlightGear " + line.version));
  if (size < src::kFlightGearMaxLine && (size == 0 || data[size - 1] != '\n')) {
    const src::FlightGearLine ended = src::DecodeFlightGearLine(std::string(text) + "\n");
    FUZZ_CHECK(ended.verdict == src::Verdict::Accepted);
    FUZZ_CHECK(ended.reading.latitude == line.reading.latitude);
    FUZZ_CHECK(ended.reading.ground_speed == line.reading.ground_speed);
    FUZZ_CHECK(ended.version == line.version);
  }
  return 0;
}
