#include "chart/aircraft_symbol.h"

#include <array>
#include <cmath>
#include <numbers>

namespace quorvane {

namespace {

// The right half of the aeroplane, nose up, from the nose to the tail's middle, in pixels about
// its centre; the left half mirrors it.
constexpr std::array<PixelPoint, 11> kRightHalf{{
    {0.0, -10.0},  // nose
    {1.3, -8.6},
    {1.5, -3.0},
    {10.0, 1.5},  // wing tip, leading edge
    {10.0, 3.4},  // wing tip, trailing edge
    {1.5, 1.5},
    {1.1, 6.2},
    {4.4, 8.4},  // tail tip
    {4.4, 9.8},
    {0.9, 9.0},
    {0.0, 9.6},  // tail's middle
}};

}  // namespace

std::vector<PixelPoint> AircraftSymbol(PixelPoint centre, double heading) {
  if (!std::isfinite(heading)) {
    heading = 0.0;
  }
  const double angle = heading * std::numbers::pi / 180.0;
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  std::vector<PixelPoint> outline;
  const auto add = [&](double x, double y) {
    // Clockwise on the screen (y points down) by the heading.
    outline.push_back({centre.x + x * c - y * s, centre.y + x * s + y * c});
  };
  for (const PixelPoint& p : kRightHalf) {
    add(p.x, p.y);
  }
  // The left half back from the tail to the nose, without repeating the points on the axis.
  for (auto p = kRightHalf.rbegin() + 1; p + 1 != kRightHalf.rend(); ++p) {
    add(-p->x, p->y);
  }
  return outline;
}

}  // namespace quorvane
