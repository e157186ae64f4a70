#pragma once

#include <cstdint>

#include "simulator/offset_space.h"

namespace quorvane::sim {

// The simulator-side values of the aircraft, in ordinary units.
struct AircraftState {
  double latitude = 0.0;   // degrees, north positive
  double longitude = 0.0;  // degrees, east positive
  double heading = 0.0;    // degrees, as stored in the heading word (the client subtracts magvar)
  double magvar = 0.0;     // degrees, east positive
  double speed = 0.0;      // ground speed, metres per second
  double altitude = 0.0;   // ground altitude, metres
};

inline constexpr std::uint32_t kGroundAltitudeOffset = 0x0020;
inline constexpr std::uint32_t kMagvarOffset = 0x02A0;
inline constexpr std::uint32_t kGroundSpeedOffset = 0x02B4;
inline constexpr std::uint32_t kLatitudeOffset = 0x0560;
inline constexpr std::uint32_t kLongitudeOffset = 0x0568;
inline constexpr std::uint32_t kAltitudeOffset = 0x0570;
inline constexpr std::uint32_t kHeadingOffset = 0x0580;
inline constexpr std::uint32_t kServerVersionOffset = 0x3304;
inline constexpr std::uint32_t kSimulatorWordOffset = 0x3308;
inline constexpr std::uint32_t kClientVersionOffset = 0x330A;

// Raw encodings, the inverses of the client's conversions (rounded to the nearest unit).
std::int64_t RawLatitude(double degrees);   // degrees * 10001750 * 2^32 / 90, saturated
std::int64_t RawLongitude(double degrees);  // degrees * 2^64 / 360, taken into [-180, 180)
std::uint32_t RawHeading(double degrees);   // degrees * 11956290, taken into [0, 360)
std::uint16_t RawMagvar(double degrees);    // degrees * 65536 / 360, modulo 65536
std::uint32_t RawGroundSpeed(double metres_per_second);  // * 65536, saturated to [0, 2^32)
// FSUIPC's own heading unit: degrees * 2^32 / 360, taken into [0, 360).
std::uint32_t RawTrueHeading(double degrees);
// Metres as signed 32.32 fixed point (whole metres in the high half), saturated; NaN gives 0.
std::int64_t RawAltitude(double metres);

// Stores the aircraft's values at their offsets.
void StoreAircraft(const AircraftState& state, OffsetSpace& space);

// The demo flight at `seconds` since its start: 30 s standing at the runway threshold, then
// laps of a rectangular circuit near Prague at 75 m/s, one lap about every 320 s.
AircraftState DemoFlightAt(double seconds);

}  // namespace quorvane::sim
