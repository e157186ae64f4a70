#pragma once

// The view onto the aircraft that "letadlo.kml" and the live view's view document both give:
// flat, looking straight down from high above the ground; in 3D, looking at the aircraft at its
// altitude from behind and above, so that the route's curtain stands out.

#include <string>

#include "sampling/aircraft_fix.h"

namespace quorvane {

// How the documents show the aircraft and its route.
enum class Relief {
  kFlat,              // on the ground, as the documents always were
  kThreeDimensional,  // at their altitude above mean sea level, extruded to the ground
};

// The texts of a LookAt onto the aircraft.
struct AircraftView {
  std::string altitude;       // metres
  std::string range;          // metres from the point looked at
  std::string tilt;           // degrees from looking straight down
  std::string altitude_mode;  // KML's altitudeMode of the altitude
};

// The view onto fix: flat, 10 m above the ground from 100 km straight down; in 3D, at the
// aircraft's altitude above mean sea level (AltitudeText) from 20 km, tilted 60 degrees.
AircraftView ViewOnto(const AircraftFix& fix, Relief relief);

}  // namespace quorvane
