#include "link/fsuipc_offsets.h"

#include <cmath>
#include <limits>

namespace quorvane::fsuipc {

namespace {

// The nearest integer of the type, its nearest end beyond its range, 0 for not a number.
template <typename Integer>
Integer Saturate(double value) {
  constexpr double kLow = static_cast<double>(std::numeric_limits<Integer>::min());
  // The largest double below 2^bits: the conversion of max() itself rounds up past the range.
  constexpr double kHigh = static_cast<double>(std::numeric_limits<Integer>::max() / 2) * 2.0;
  if (std::isnan(value)) {
    return 0;
  }
  if (!(value > kLow)) {
    return std::numeric_limits<Integer>::min();
  }
  if (value >= kHigh) {
    return std::numeric_limits<Integer>::max();
  }
  return static_cast<Integer>(std::llround(value));
}

// The angle taken into [low, low + span); not a number stays not a number.
double Wrap(double value, double low, double span) {
  double wrapped = std::fmod(value - low, span);
  if (wrapped < 0) {
    wrapped += span;
  }
  return wrapped + low;
}

// An angle in raw units of a whole turn, rounded; a full turn (and not a number) is 0.
std::uint64_t RawTurnFraction(double degrees, double units_per_turn) {
  // The turn's units are a power of two: the product is exact, and only the division rounds.
  const double raw = std::round(Wrap(degrees, 0.0, 360.0) * units_per_turn / 360.0);
  return raw >= 0.0 && raw < units_per_turn ? static_cast<std::uint64_t>(raw) : 0u;
}

}  // namespace

std::int32_t RawGroundAltitude(double metres) {
  return Saturate<std::int32_t>(metres * kGroundAltitudeUnitsPerMetre);
}

std::uint16_t RawMagneticVariation(double degrees) {
  return static_cast<std::uint16_t>(RawTurnFraction(degrees, kVariationUnitsPerTurn));
}

std::uint32_t RawGroundSpeed(double metres_per_second) {
  const double raw = metres_per_second * kSpeedUnitsPerMetrePerSecond;
  if (!(raw > 0)) {
    return 0;
  }
  return raw >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(std::llround(raw));
}

std::int64_t RawLatitude(double degrees) {
  return Saturate<std::int64_t>(degrees * (kLatitudeUnitsPer90Degrees / 90.0));
}

std::int64_t RawLongitude(double degrees) {
  return Saturate<std::int64_t>(Wrap(degrees, -180.0, 360.0) * (kLongitudeUnitsPerTurn / 360.0));
}

std::int64_t RawAltitude(double metres) {
  return Saturate<std::int64_t>(metres * kAltitudeUnitsPerMetre);
}

std::uint32_t RawTrueHeading(double degrees) {
  return static_cast<std::uint32_t>(RawTurnFraction(degrees, kHeadingUnitsPerTurn));
}

}  // namespace quorvane::fsuipc
