#pragma once

// Points in time as the XML date-time texts of GPX files.

#include <chrono>
#include <string>

namespace quorvane {

// The time in UTC as "YYYY-MM-DDThh:mm:ssZ", the fraction of a second dropped (rounded down,
// also before 1970). Worked out from the clock value alone: no time zone, locale or C library
// time function is consulted.
std::string UtcTimeText(std::chrono::system_clock::time_point time);

}  // namespace quorvane
