#include "sampling/conversions.h"

#include "link/fsuipc_offsets.h"

namespace quorvane {

namespace {

// The heading divisor the program has always used: not FSUIPC's own unit (2^32 / 360 =
// 11930464.71 a degree), so a real FSUIPC's heading shows about 0.2 % low, as it always has.
constexpr double kHeadingUnitsPerDegree = 11956290.0;
constexpr double kMovingThreshold = 60.0;  // metres per second

}  // namespace

double LatitudeDegrees(double raw) {
  return raw * 90.0 / fsuipc::kLatitudeUnitsPer90Degrees;
}

double LongitudeDegrees(double raw) {
  return raw * 360.0 / fsuipc::kLongitudeUnitsPerTurn;
}

double MagneticVariationDegrees(std::uint16_t raw) {
  double degrees = raw * 360.0 / fsuipc::kVariationUnitsPerTurn;
  if (degrees > 180.0) {
    degrees -= 360.0;
  }
  return degrees;
}

double HeadingDegrees(std::uint32_t raw, double variation_degrees) {
  double heading = raw / kHeadingUnitsPerDegree - variation_degrees;
  if (heading < 0.0) {
    heading += 360.0;
  }
  if (heading > 360.0) {
    heading -= 360.0;
  }
  return heading;
}

bool IsMoving(std::uint32_t raw_ground_speed) {
  return raw_ground_speed / fsuipc::kSpeedUnitsPerMetrePerSecond > kMovingThreshold;
}

double GroundSpeedKnots(std::uint32_t raw_ground_speed) {
  constexpr double kMetresPerNauticalMile = 1852.0;
  return raw_ground_speed / fsuipc::kSpeedUnitsPerMetrePerSecond * 3600.0 / kMetresPerNauticalMile;
}

double AltitudeMetres(std::int64_t raw) {
  // The whole metres and the fraction are converted apart, each exactly (the high half is a
  // signed 32-bit number, the low half an unsigned fraction below one), so the only rounding is
  // the sum's: a metre never loses its fraction to a 64-bit integer's conversion.
  const auto whole = static_cast<double>(raw >> 32);  // arithmetic shift: floor for negatives
  const auto fraction = static_cast<double>(static_cast<std::uint32_t>(raw));
  return whole + fraction / fsuipc::kAltitudeUnitsPerMetre;
}

bool IsPossibleAltitude(double metres) {
  return metres >= kLowestAltitude && metres <= kHighestAltitude;
}

bool IsOnTheGlobe(double latitude, double longitude) {
  // Every comparison with a NaN is false, so a NaN fails here too.
  return latitude >= -90.0 && latitude <= 90.0 && longitude >= -180.0 && longitude <= 180.0;
}

}  // namespace quorvane
