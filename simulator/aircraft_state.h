#pragma once

#include "simulator/offset_space.h"

namespace quorvane::sim {

// The simulator-side values of the aircraft, in ordinary units.
struct AircraftState {
  double latitude = 0.0;         // degrees, north positive
  double longitude = 0.0;        // degrees, east positive
  double heading = 0.0;          // true heading, degrees (the client subtracts the variation)
  double magvar = 0.0;           // magnetic variation, degrees, east positive
  double speed = 0.0;            // ground speed, metres per second
  double ground_altitude = 0.0;  // the ground's altitude below the aircraft, metres
  double altitude = 0.0;         // the aircraft's altitude above mean sea level, metres
};

// Stores the aircraft's values at their offsets, in FSUIPC's own units (link/fsuipc_offsets.h),
// as the real FSUIPC keeps them.
void StoreAircraft(const AircraftState& state, OffsetSpace& space);

// The demo flight's altitude above mean sea level, in metres, at a distance along its 24 km lap:
// a take-off roll on the runway (380 m) for 1.5 km, a climb to 1500 m by 9 km, a cruise to
// 15 km, a descent to touch down at 22.5 km and the landing roll.
double DemoAltitudeAt(double metres_along_lap);

// The demo flight at `seconds` since its start: 30 s standing at the runway threshold, then
// laps of a rectangular circuit near Prague at 75 m/s, one lap about every 320 s, each one a
// take-off, climb, cruise, descent and landing (DemoAltitudeAt).
AircraftState DemoFlightAt(double seconds);

}  // namespace quorvane::sim
