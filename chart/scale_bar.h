#pragma once

// The length of the scale bar.

#include <string>

namespace quorvane {

// A round length for the scale bar and what it is drawn as.
struct ScaleBarLength {
  double nautical_miles = 0.0;  // 1, 2 or 5 times a power of ten
  double pixels = 0.0;          // its length at the chart's scale
  std::string label;            // e.g. "5 NM", "0.2 NM", "1000 NM"
};

// The longest round length (1, 2 or 5 times a power of ten nautical miles, from 0.001 to
// 50000 NM) that is drawn no longer than max_pixels at pixels_per_nm; the shortest of those when
// none fits. Nothing (a zero length) when the scale or the room is zero, negative or not a
// number.
ScaleBarLength ChooseScaleBar(double pixels_per_nm, double max_pixels);

}  // namespace quorvane
