#include "chart/chart_projection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorvane {

void GeoBox::Add(double latitude, double continuous_longitude) {
  if (empty) {
    south = north = latitude;
    west = east = continuous_longitude;
    empty = false;
    return;
  }
  south = std::min(south, latitude);
  north = std::max(north, latitude);
  west = std::min(west, continuous_longitude);
  east = std::max(east, continuous_longitude);
}

ChartProjection::ChartProjection(const GeoBox& box, const PixelArea& area, double minimum_span_nm) {
  if (!box.empty) {
    middle_latitude_ = (box.south + box.north) / 2.0;
    middle_longitude_ = (box.west + box.east) / 2.0;
  }
  // Never negative, whatever rounding does at the poles.
  const double shrink = std::max(0.0, std::cos(middle_latitude_ * std::numbers::pi / 180.0));
  const double span_x = box.empty ? 0.0 : (box.east - box.west) * shrink * kNauticalMilesPerDegree;
  const double span_y = box.empty ? 0.0 : (box.north - box.south) * kNauticalMilesPerDegree;
  const double minimum = std::max(minimum_span_nm, 1e-6);
  if (area.width > 0.0 && area.height > 0.0) {
    pixels_per_nm_ =
        std::min(area.width / std::max(span_x, minimum), area.height / std::max(span_y, minimum));
  }
  centre_x_ = area.left + area.width / 2.0;
  centre_y_ = area.top + area.height / 2.0;
  x_per_degree_ = shrink * kNauticalMilesPerDegree * pixels_per_nm_;
  y_per_degree_ = kNauticalMilesPerDegree * pixels_per_nm_;
}

}  // namespace quorvane
