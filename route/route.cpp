#include "route/route.h"

#include <algorithm>

#include "sampling/conversions.h"

namespace quorvane {

bool Route::Add(const RoutePoint& point) {
  // Such a position would be written into every file for good, and a viewer would draw a line
  // to it from across the Earth.
  if (!IsOnTheGlobe(point.latitude, point.longitude) || !IsPossibleAltitude(point.altitude)) {
    Break();
    return false;
  }
  if (broken_) {
    segment_starts_.push_back(points_.size());
    broken_ = false;
  }
  points_.push_back(point);
  return true;
}

void Route::Break() {
  broken_ = true;
}

void Route::Clear() {
  points_.clear();
  segment_starts_.clear();
  broken_ = true;
  ++generation_;
}

bool Route::StartsSegment(std::size_t index) const {
  return std::binary_search(segment_starts_.begin(), segment_starts_.end(), index);
}

}  // namespace quorvane
