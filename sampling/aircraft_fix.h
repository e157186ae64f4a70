#pragma once

namespace quorvane {

// One successful sample of the aircraft.
struct AircraftFix {
  double Latitude = 0.0;          // degrees, north positive
  double Longitude = 0.0;         // degrees, east positive
  double Heading = 0.0;           // degrees in [0, 360]: the simulator's heading less the variation
  bool Moving = false;            // ground speed above 60 metres per second
  double GroundSpeedKnots = 0.0;  // the ground speed, in knots
  double AltitudeMetres = 0.0;    // above mean sea level, within kLowestAltitude..kHighestAltitude
};

}  // namespace quorvane
