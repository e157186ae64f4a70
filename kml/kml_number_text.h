#pragma once

// The number texts of the KML documents, always with "." as the decimal separator whatever the
// process's locale is.

#include <string>

namespace quorvane {

// A coordinate in degrees as "%10.6f" formats it, without the padding blanks: "14.500000",
// "-0.250000", "-122.419420".
std::string CoordinateText(double degrees);

// A heading in degrees as "%7.0f" formats it, without the padding blanks: 245.4 gives "245",
// 359.7 gives "360".
std::string HeadingText(double degrees);

// An altitude in metres with one decimal and no padding: 380 gives "380.0", -430.04 gives
// "-430.0"; a value that rounds to zero is "0.0", never "-0.0".
std::string AltitudeText(double metres);

}  // namespace quorvane
