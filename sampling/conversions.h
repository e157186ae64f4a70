#pragma once

// Pure conversions of the simulator's raw values into the units of an AircraftFix.

#include <cstdint>

namespace quorvane {

// Latitude in degrees from the raw 64-bit value (already converted to double):
// raw * 90 / (10001750 * 65536 * 65536).
double LatitudeDegrees(double raw);
// Longitude in degrees from the raw 64-bit value (already converted to double): raw * 360 / 2^64.
double LongitudeDegrees(double raw);
// Magnetic variation in degrees in (-180, 180] from the raw 16-bit value (raw * 360 / 65536,
// less 360 above 180).
double MagneticVariationDegrees(std::uint16_t raw);
// Heading in degrees in [0, 360]: raw / 11956290 less the variation, brought into range by one
// addition or subtraction of 360.
double HeadingDegrees(std::uint32_t raw, double variation_degrees);
// True when the raw ground speed (1/65536 metre per second) is above 60 metres per second.
bool IsMoving(std::uint32_t raw_ground_speed);
// Ground speed in knots from the raw value (1/65536 metre per second).
double GroundSpeedKnots(std::uint32_t raw_ground_speed);
// Altitude in metres from the raw 64-bit fixed-point value: whole metres in the high 32 bits,
// the fraction in the low 32 bits (raw / 2^32), to the nearest double. Finite for every raw value.
double AltitudeMetres(std::int64_t raw);
// The altitudes an aircraft can be at, in metres above mean sea level: from below the lowest
// dry land (the Dead Sea's shore, about -430 m) to the edge of space.
inline constexpr double kLowestAltitude = -1000.0;
inline constexpr double kHighestAltitude = 100000.0;
// True when metres lies within kLowestAltitude..kHighestAltitude (not a number does not).
bool IsPossibleAltitude(double metres);
// True when latitude and longitude (degrees) name a place on the Earth: latitude in [-90, 90],
// longitude in [-180, 180], neither of them infinite or not a number.
bool IsOnTheGlobe(double latitude, double longitude);

}  // namespace quorvane
