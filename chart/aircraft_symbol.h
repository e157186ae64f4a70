#pragma once

// The aircraft's symbol on the chart.

#include <vector>

#include "chart/chart_picture.h"

namespace quorvane {

// The outline of a small aeroplane seen from above (about 20 pixels from wing tip to wing tip),
// centred on centre with its nose towards heading (degrees clockwise from north, which is up).
// A heading that is not a number points north.
std::vector<PixelPoint> AircraftSymbol(PixelPoint centre, double heading);

// How far the symbol reaches from its centre, in pixels, whatever its heading.
inline constexpr double kAircraftSymbolRadius = 11.0;

}  // namespace quorvane
