#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "link/fsuipc_link.h"
#include "link/fsuipc_offsets.h"
#include "sampling/aircraft_fix.h"

namespace quorvane {

// Sets the text of the status panel that shows the latest sample or its failure.
using PanelText = std::function<void(const std::string&)>;

// The status line of a fix: "Lat: <lat>   Lon: <lon>   H: <heading>", latitude and longitude
// with six decimals and no padding, the heading with two decimals in seven characters.
std::string SummaryLine(const AircraftFix& fix);

// The start of the panel text of a sample whose position is no place on the Earth; the
// latitude and longitude read follow in brackets.
inline constexpr const char* kOffTheGlobe = "Reading: Position is not on the globe";

// The start of the panel text of a sample whose altitude no aircraft can be at (outside
// kLowestAltitude..kHighestAltitude); the altitude read follows in brackets, in metres.
inline constexpr const char* kImpossibleAltitude = "Reading: Altitude is out of range";

// Reads one sample of the aircraft through a link. The raw holders live as long as the sampler:
// a failed read keeps the previous value, but a sample with any failure yields no fix.
class AircraftSampler {
 public:
  explicit AircraftSampler(FsuipcLink& link) : link_(link) {}

  // Makes seven exchanges, one read each (the altitude last), and stops at the first that fails.
  // Returns the fix and shows its summary line, or returns nothing and shows the failure as
  // "Reading: " or "Processing: " followed by the link's message; a position that is not on the
  // globe (latitude beyond +-90, a value that is not a number) is a failure too, shown as
  // kOffTheGlobe with the values read, and so is an altitude no aircraft can be at
  // (kImpossibleAltitude). Never touches a timer or the link's state. When go_on is given, it is
  // asked before every exchange but the first: false cuts the sample short, which then yields
  // nothing and shows nothing more.
  std::optional<AircraftFix> SampleAircraft(const PanelText& panel,
                                            const std::function<bool()>& go_on = {});

 private:
  // Reads one field into its holder, which is exactly the field's size.
  bool ReadOne(const fsuipc::Field& field, void* holder, const PanelText& panel);
  // The same, after asking go_on (when given) whether to make the exchange at all.
  bool ReadNext(const fsuipc::Field& field, void* holder, const PanelText& panel,
                const std::function<bool()>& go_on);

  FsuipcLink& link_;
  std::uint8_t unused_[fsuipc::kGroundAltitude.size] = {};
  std::uint16_t raw_variation_ = 0;
  std::int64_t raw_latitude_ = 0;
  std::int64_t raw_longitude_ = 0;
  std::uint32_t raw_heading_ = 0;
  std::uint32_t raw_ground_speed_ = 0;
  std::int64_t raw_altitude_ = 0;
  static_assert(sizeof raw_variation_ == fsuipc::kMagneticVariation.size);
  static_assert(sizeof raw_latitude_ == fsuipc::kLatitude.size);
  static_assert(sizeof raw_longitude_ == fsuipc::kLongitude.size);
  static_assert(sizeof raw_heading_ == fsuipc::kTrueHeading.size);
  static_assert(sizeof raw_ground_speed_ == fsuipc::kGroundSpeed.size);
  static_assert(sizeof raw_altitude_ == fsuipc::kAltitude.size);
};

}  // namespace quorvane
