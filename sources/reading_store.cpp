#include "sources/reading_store.h"

#include <cmath>

#include "simulator/aircraft_state.h"

namespace quorvane::sources {

void StoreReading(const SourceReading& reading, sim::OffsetSpace& space) {
  space.Put(sim::kServerVersionOffset, 4, kHostedServerVersion);
  space.Put(sim::kSimulatorWordOffset, 4, kHostedSimulatorWord);
  space.Put(sim::kLatitudeOffset, 8,
            static_cast<std::uint64_t>(sim::RawLatitude(reading.latitude)));
  space.Put(sim::kLongitudeOffset, 8,
            static_cast<std::uint64_t>(sim::RawLongitude(reading.longitude)));
  space.Put(sim::kAltitudeOffset, 8,
            static_cast<std::uint64_t>(sim::RawAltitude(reading.altitude)));
  space.Put(sim::kHeadingOffset, 4, sim::RawTrueHeading(reading.true_heading));
  space.Put(sim::kMagvarOffset, 2, sim::RawMagvar(reading.magvar));
  space.Put(sim::kGroundSpeedOffset, 4, sim::RawGroundSpeed(reading.ground_speed));
  // FSUIPC keeps the ground's altitude in 1/256 metres in a signed 32-bit word.
  const double ground = reading.ground_altitude.value_or(0.0) * 256.0;
  const double clamped =
      std::isfinite(ground) ? std::fmax(-2147483648.0, std::fmin(ground, 2147483647.0)) : 0.0;
  space.Put(sim::kGroundAltitudeOffset, 4,
            static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(clamped))));
}

}  // namespace quorvane::sources
