#include "sampling/conversions.h"

namespace quorvane {

namespace {

constexpr double kLatitudeUnitsPerQuarter = 42957189152768000.0;   // 10001750 * 65536 * 65536
constexpr double kLongitudeUnitsPerTurn = 18446744073709551616.0;  // 2^64
// The simulator's heading divisor as the program has always used it (not 2^32 / 360).
constexpr double kHeadingUnitsPerDegree = 11956290.0;
constexpr double kSpeedUnitsPerMetre = 65536.0;
constexpr double kMovingThreshold = 60.0;  // metres per second

}  // namespace

double LatitudeDegrees(double raw) {
  return raw * 90.0 / kLatitudeUnitsPerQuarter;
}

double LongitudeDegrees(double raw) {
  return raw * 360.0 / kLongitudeUnitsPerTurn;
}

double MagneticVariationDegrees(std::uint16_t raw) {
  double degrees = raw * 360.0 / 65536.0;
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
  return raw_ground_speed / kSpeedUnitsPerMetre > kMovingThreshold;
}

bool IsOnTheGlobe(double latitude, double longitude) {
  // Every comparison with a NaN is false, so a NaN fails here too.
  return latitude >= -90.0 && latitude <= 90.0 && longitude >= -180.0 && longitude <= 180.0;
}

}  // namespace quorvane
