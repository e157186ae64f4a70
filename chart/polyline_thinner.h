#pragma once

// Thins a polyline in pixels to what the pixels can show.

#include <cstddef>
#include <vector>

#include "chart/chart_picture.h"

namespace quorvane {

// Takes the points of one polyline as they come and keeps those that change the drawing: a
// point less than a pixel from the last one kept is dropped as it arrives (so a long route costs
// little memory), and the rest are simplified with the Douglas-Peucker rule, dropping points
// that lie within the tolerance of the line through their neighbours kept (in windows of a few
// hundred points, so that a route looping over itself costs no more than one that does not).
// The first and the last point are always kept, so the line ends where the route does; no point
// of the input lies farther than a pixel and the tolerance from the thinned line.
class PolylineThinner {
 public:
  // tolerance: pixels a dropped point may lie off the thinned line (after the one-pixel step).
  explicit PolylineThinner(double tolerance = 0.5) : tolerance_(tolerance) {}

  // Adds the next point of the polyline.
  void Add(PixelPoint point);

  // The thinned polyline of the points added since the last call, which are then forgotten.
  // Empty when none were added; one point when all were the same.
  std::vector<PixelPoint> Take();

 private:
  void SimplifyWindow();

  double tolerance_;
  std::vector<PixelPoint> kept_;     // points a pixel apart, not yet simplified
  std::vector<PixelPoint> thinned_;  // the simplified windows so far
  PixelPoint last_;
  bool last_kept_ = true;
};

// Where a route crosses its own track over and over (circuits flown for hours), thinning within
// half a pixel still leaves more lines than a redraw can afford. Thins the lines again, each
// with a coarser tolerance (1, 2, then 4 pixels), until they hold at most budget points in all,
// or the coarsest has been used; the ends of every line stay, and no point of the lines given
// lies farther than a pixel and the tolerance used from the lines returned.
void KeepWithinBudget(std::vector<std::vector<PixelPoint>>& lines, std::size_t budget);

}  // namespace quorvane
