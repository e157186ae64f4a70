#pragma once

// The line of figures under the chart.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace quorvane {

// How long ago an update was: "just now" under a second (and when the clock has gone back),
// "12 s ago" under two minutes, "7 min ago" under an hour, then "2 h 5 min ago".
std::string UpdatedAgoText(std::chrono::system_clock::duration elapsed);

// The figures a pilot glances at, for instance "3002 ft   GS 110 kt   300 points   updated
// 12 s ago". Altitude and ground speed are rounded to whole feet and knots and left out when
// unknown or not a plausible number; the update's age is left out without a time of update.
std::string ChartFiguresText(std::optional<double> altitude_feet,
                             std::optional<double> ground_speed_knots, std::size_t points,
                             std::optional<std::chrono::system_clock::time_point> last_update,
                             std::chrono::system_clock::time_point now);

}  // namespace quorvane
