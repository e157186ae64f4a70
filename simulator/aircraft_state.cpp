#include "simulator/aircraft_state.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quorvane::sim {

void StoreAircraft(const AircraftState& state, OffsetSpace& space) {
  space.Put(fsuipc::kGroundAltitude,
            static_cast<std::uint32_t>(fsuipc::RawGroundAltitude(state.ground_altitude)));
  space.Put(fsuipc::kMagneticVariation, fsuipc::RawMagneticVariation(state.magvar));
  space.Put(fsuipc::kGroundSpeed, fsuipc::RawGroundSpeed(state.speed));
  space.Put(fsuipc::kLatitude, static_cast<std::uint64_t>(fsuipc::RawLatitude(state.latitude)));
  space.Put(fsuipc::kLongitude, static_cast<std::uint64_t>(fsuipc::RawLongitude(state.longitude)));
  space.Put(fsuipc::kAltitude, static_cast<std::uint64_t>(fsuipc::RawAltitude(state.altitude)));
  space.Put(fsuipc::kTrueHeading, fsuipc::RawTrueHeading(state.heading));
}

double DemoAltitudeAt(double metres_along_lap) {
  constexpr double kRunway = 380.0;   // Prague's runway, metres above mean sea level
  constexpr double kCruise = 1500.0;  // metres above mean sea level
  constexpr double kLiftOff = 1500.0;
  constexpr double kTopOfClimb = 9000.0;
  constexpr double kTopOfDescent = 15000.0;
  constexpr double kTouchDown = 22500.0;
  const double d = metres_along_lap;
  if (!(d > kLiftOff) || d >= kTouchDown) {
    return kRunway;  // the take-off roll, or the landing roll
  }
  if (d < kTopOfClimb) {
    return kRunway + (kCruise - kRunway) * (d - kLiftOff) / (kTopOfClimb - kLiftOff);
  }
  if (d <= kTopOfDescent) {
    return kCruise;
  }
  return kCruise - (kCruise - kRunway) * (d - kTopOfDescent) / (kTouchDown - kTopOfDescent);
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
  state.ground_altitude = 380.0;  // Prague's runway
  state.altitude = 380.0;
  if (!(seconds > kStandingSeconds)) {
    return state;
  }
  double lap_metres = 0.0;
  for (const Leg& leg : kCircuit) {
    lap_metres += leg.metres;
  }
  double along = std::fmod((seconds - kStandingSeconds) * kSpeed, lap_metres);
  state.altitude = DemoAltitudeAt(along);
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
