#pragma once

// Builds the picture of the flight from the window's description of it.

#include <cstddef>

#include "chart/chart_input.h"
#include "chart/chart_picture.h"

namespace quorvane {

// The chart's layout, in pixels.
namespace chart_layout {
// Between the route's area and the chart's edges: room for the aircraft at the route's edge.
inline constexpr int kMargin = 12;
// The strip along the bottom with the figures on the left and the scale bar on the right.
inline constexpr int kStripHeight = 20;
// The scale bar is at most this share of the chart's width.
inline constexpr double kScaleBarShare = 0.25;
// The route is never shown spanning less than this, in nautical miles, in either direction.
inline constexpr double kMinimumSpanNm = 1.0;
// The most points the route is drawn with (coarser thinning beyond it), so that a redraw stays
// quick however long the flight.
inline constexpr std::size_t kRoutePointBudget = 3000;
}  // namespace chart_layout

// The picture of input in a chart of width x height pixels: north up, the route and the
// aircraft fitted into the area above the strip of figures, the route thinned to what the pixels
// can show. Before the first fix, when neither the route nor the fix has a position on the
// Earth, only the waiting text. A chart too small for its margins shows nothing. Costs time in
// proportion to the route's points, and little memory beyond the thinned lines.
ChartPicture BuildChartPicture(const ChartInput& input, int width, int height);

}  // namespace quorvane
