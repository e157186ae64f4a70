#pragma once

// The route flown: where the aircraft was, and when, in the order flown, in segments that break
// where sampling was interrupted. Every file that shows the route is written from this one
// model, so no two of them can disagree about which points were flown.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvane {

// One point of the route.
struct RoutePoint {
  // A point in time; the system clock counts UTC.
  using Time = std::chrono::system_clock::time_point;
  // Which sampling took the point: the update cycle, whose points make "trasa.kml", or the live
  // view's more frequent sampling, whose points only the files that show the whole track take.
  enum class Source { kUpdate, kLive };

  double latitude = 0.0;            // degrees, north positive
  double longitude = 0.0;           // degrees, east positive
  Time time;                        // when the aircraft was there
  double altitude = 0.0;            // metres above mean sea level
  Source source = Source::kUpdate;  // who sampled it
};

// The points of one run, in the order flown, from both samplings: a file that shows only the
// update cycle's points skips the others, so every point it shows is also in the files that show
// them all. Points are only ever added at the end, until the
// whole route is cleared.
class Route {
 public:
  // Adds point at the end: to the segment under way, or as the first point of a new segment
  // after a break (the first point of all begins one too). Refuses a position that is no place
  // on the Earth (latitude beyond +-90, longitude beyond +-180, not a number) or an altitude no
  // aircraft can be at (IsPossibleAltitude): returns false, adds nothing, and breaks the route
  // there, so that nothing joins the points on either side.
  bool Add(const RoutePoint& point);

  // The route was interrupted (a failed sample, a reconnection): the next point begins a new
  // segment. Breaks in a row, or before the first point, make no empty segment.
  void Break();

  // Forgets every point: a new run begins.
  void Clear();

  // Every point, in the order flown.
  const std::vector<RoutePoint>& Points() const { return points_; }
  // True when the point at index begins a segment; the first point always does.
  bool StartsSegment(std::size_t index) const;
  // How many segments the points form; 0 while there are none.
  std::size_t SegmentCount() const { return segment_starts_.size(); }

  // Changes at every Clear, so that what was made from the points before can be told from a
  // route that grew since.
  std::uint64_t Generation() const { return generation_; }

 private:
  std::vector<RoutePoint> points_;
  std::vector<std::size_t> segment_starts_;  // indices into points_, ascending
  bool broken_ = true;                       // the next point begins a segment
  std::uint64_t generation_ = 0;
};

}  // namespace quorvane
