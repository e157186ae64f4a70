#pragma once

// What the chart of the flight is drawn from: a plain description the window fills in, with no
// toolkit and no clock of its own.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {

// A position on the Earth, in degrees (north and east positive).
struct GeoPoint {
  double latitude = 0.0;
  double longitude = 0.0;
};

// The aircraft's latest fix as the chart shows it.
struct ChartFix {
  GeoPoint position;
  double heading = 0.0;                      // degrees clockwise from true north
  std::optional<double> altitude_feet;       // none when the source does not give it
  std::optional<double> ground_speed_knots;  // none when the source does not give it
};

// Everything one drawing of the chart needs.
struct ChartInput {
  // The route flown, one polyline per track segment: no line joins the last point of one
  // segment to the first of the next. Points off the Earth (latitude beyond +-90, longitude
  // beyond +-180, not a number) are left out, with a gap where they stood.
  std::vector<std::vector<GeoPoint>> segments;
  // The latest fix; none before the first one.
  std::optional<ChartFix> latest;
  // When the latest update was made, and the time now, from the same clock: the figures say
  // how long ago the update was. Without last_update the figures leave that out.
  std::optional<std::chrono::system_clock::time_point> last_update;
  std::chrono::system_clock::time_point now;
  // Shown in the middle of the chart while there is neither a fix nor a route, e.g. what the
  // program is waiting for. UTF-8.
  std::string waiting_text;
};

}  // namespace quorvane
