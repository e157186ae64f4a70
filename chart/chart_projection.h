#pragma once

// Places positions on the Earth onto the chart: north up, the same scale in both directions.

#include <cmath>

#include "chart/chart_picture.h"

namespace quorvane {

// Nautical miles in a degree of latitude (a nautical mile is a minute of arc).
inline constexpr double kNauticalMilesPerDegree = 60.0;

// Makes the longitudes along a route continuous: each one is moved by whole turns to lie within
// 180 degrees of the one before it, so that a route across the antimeridian stays in one piece
// (180.5 follows 179.5, not -179.5) instead of a line across the whole chart.
class LongitudeUnwrapper {
 public:
  // The continuous longitude of the next point along the route. Inline: it runs for every
  // point of a long route at every redraw.
  double Next(double longitude) {
    if (started_) {
      const double step = longitude - previous_;
      if (step > 180.0 || step < -180.0) {
        // The whole turns that bring it nearest the previous longitude: a step of more than
        // half a turn is taken as the short way round.
        longitude -= 360.0 * std::round(step / 360.0);
      }
    }
    started_ = true;
    previous_ = longitude;
    return longitude;
  }

 private:
  double previous_ = 0.0;
  bool started_ = false;
};

// The smallest box holding some latitudes and continuous longitudes, in degrees.
struct GeoBox {
  double south = 0.0;
  double north = 0.0;
  double west = 0.0;
  double east = 0.0;
  bool empty = true;

  // Widens the box to hold the point.
  void Add(double latitude, double continuous_longitude);
};

// A rectangle in pixels with fractions.
struct PixelArea {
  double left = 0.0;
  double top = 0.0;
  double width = 0.0;
  double height = 0.0;
};

// A plate carrée projection fitted to a box: longitudes are scaled by the cosine of the box's
// middle latitude, which keeps shapes true near that latitude, and the box is centred in the
// area at the largest scale that shows all of it. Near a pole the cosine goes to zero and the
// longitudes close up; nothing is divided by it.
class ChartProjection {
 public:
  // Fits box into area. A box spanning less than minimum_span_nm (nautical miles) in either
  // direction is widened to that span about its middle, so a single point or a route that never
  // moved is shown at a sensible scale. An empty box is taken as the point 0, 0.
  ChartProjection(const GeoBox& box, const PixelArea& area, double minimum_span_nm);

  // Where the point lies in pixels; the longitude continuous with the box's.
  PixelPoint ToPixels(double latitude, double continuous_longitude) const {
    return {centre_x_ + (continuous_longitude - middle_longitude_) * x_per_degree_,
            centre_y_ - (latitude - middle_latitude_) * y_per_degree_};
  }

  // The scale: pixels for one nautical mile. Zero when the area has no room.
  double PixelsPerNauticalMile() const { return pixels_per_nm_; }

 private:
  double middle_latitude_ = 0.0;
  double middle_longitude_ = 0.0;
  double centre_x_ = 0.0;
  double centre_y_ = 0.0;
  double pixels_per_nm_ = 0.0;
  double x_per_degree_ = 0.0;
  double y_per_degree_ = 0.0;
};

}  // namespace quorvane
