#include "simulator/aircraft_state.h"

#include <array>
#include <cmath>
#include <limits>

namespace quorvane::sim {

namespace {

template <typename Integer>
Integer Saturate(double value) {
  constexpr double kLow = static_cast<double>(std::numeric_limits<Integer>::min());
  // The largest double below 2^bits: the conversion of max() itself rounds up past the range.
  constexpr double kHigh = static_cast<double>(std::numeric_limits<Integer>::max() / 2) * 2.0;
  if (!(value > kLow)) {  // also NaN
    return std::isnan(value) ? Integer{0} : std::numeric_limits<Integer>::min();
  }
  if (value >= kHigh) {
    return std::numeric_limits<Integer>::max();
  }
  return static_cast<Integer>(std::llround(value));
}

double Wrap(double value, double low, double span) {
  double wrapped = std::fmod(value - low, span);
  if (wrapped < 0) {
    wrapped += span;
  }
  return wrapped + low;
}

}  // namespace

std::int64_t RawLatitude(double degrees) {
  return Saturate<std::int64_t>(degrees * (42957189152768000.0 / 90.0));
}

std::int64_t RawLongitude(double degrees) {
  return Saturate<std::int64_t>(Wrap(degrees, -180.0, 360.0) * (18446744073709551616.0 / 360.0));
}

std::uint32_t RawHeading(double degrees) {
  const double raw = Wrap(degrees, 0.0, 360.0) * 11956290.0;
  return raw >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(std::llround(raw));
}

std::uint16_t RawMagvar(double degrees) {
  const double raw = std::round(Wrap(degrees, 0.0, 360.0) * 65536.0 / 360.0);
  return static_cast<std::uint16_t>(static_cast<std::uint32_t>(raw) & 0xFFFF);
}

std::uint32_t RawGroundSpeed(double metres_per_second) {
  const double raw = metres_per_second * 65536.0;
  if (!(raw > 0)) {
    return 0;
  }
  return raw >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(std::llround(raw));
}

std::uint32_t RawTrueHeading(double degrees) {
  // 359.99999999 rounds up to 2^32, which is 360: the same angle as 0. NaN gives 0 too.
  const double raw = std::round(Wrap(degrees, 0.0, 360.0) * (4294967296.0 / 360.0));
  return raw >= 0.0 && raw < 4294967296.0 ? static_cast<std::uint32_t>(raw) : 0u;
}

std::int64_t RawAltitude(double metres) {
  return Saturate<std::int64_t>(metres * 4294967296.0);
}

void StoreAircraft(const AircraftState& state, OffsetSpace& space) {
  space.Put(kGroundAltitudeOffset, 4,
            static_cast<std::uint32_t>(Saturate<std::int32_t>(state.altitude * 256.0)));
  space.Put(kMagvarOffset, 2, RawMagvar(state.magvar));
  space.Put(kGroundSpeedOffset, 4, RawGroundSpeed(state.speed));
  space.Put(kLatitudeOffset, 8, static_cast<std::uint64_t>(RawLatitude(state.latitude)));
  space.Put(kLongitudeOffset, 8, static_cast<std::uint64_t>(RawLongitude(state.longitude)));
  space.Put(kHeadingOffset, 4, RawHeading(state.heading));
}

AircraftState DemoFlightAt(double seconds) {
  struct Leg {
    double heading;  // degrees
    double metres;
  };
  // East along the runway, north, west, south: back to the start.
  static constexpr std::array<Leg, 4> kCircuit = {
      {{90.0, 8000.0}, {0.0, 4000.0}, {270.0, 8000.0}, {180.0, 4000.0}}};
  constexpr double kStartLatitude = 50.1008;
  constexpr double kStartLongitude = 14.2600;
  constexpr double kStandingSeconds = 30.0;
  constexpr double kSpeed = 75.0;
  constexpr double kMetresPerDegree = 111320.0;
  constexpr double kPi = 3.14159265358979323846;

  AircraftState state;
  state.latitude = kStartLatitude;
  state.longitude = kStartLongitude;
  state.heading = kCircuit[0].heading;
  state.altitude = 380.0;
  if (!(seconds > kStandingSeconds)) {
    return state;
  }
  double lap_metres = 0.0;
  for (const Leg& leg : kCircuit) {
    lap_metres += leg.metres;
  }
  double along = std::fmod((seconds - kStandingSeconds) * kSpeed, lap_metres);
  double north = 0.0;
  double east = 0.0;
  for (const Leg& leg : kCircuit) {
    const double step = std::min(along, leg.metres);
    const double radians = leg.heading * kPi / 180.0;
    north += step * std::cos(radians);
    east += step * std::sin(radians);
    state.heading = leg.heading;
    along -= step;
    if (along <= 0.0) {
      break;
    }
  }
  state.latitude = kStartLatitude + north / kMetresPerDegree;
  state.longitude =
      kStartLongitude + east / (kMetresPerDegree * std::cos(kStartLatitude * kPi / 180.0));
  state.speed = kSpeed;
  return state;
}

}  // namespace quorvane::sim
