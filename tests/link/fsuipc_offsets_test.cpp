// The encoders into FSUIPC's own units, from bit patterns worked out by hand and edge values.

#include "link/fsuipc_offsets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace quorvane::fsuipc {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Every field's values fit in 64 signed bits: the unsigned ones have 32 at most.
struct Case {
  const char* what;
  std::int64_t raw;  // the encoder's result
  std::int64_t expected;
};

TEST(FsuipcUnits, EncodersGiveFsuipcsOwnBitPatterns) {
  const Case cases[] = {
      // True heading: degrees * 2^32 / 360.
      {"heading 0", RawTrueHeading(0.0), 0},
      {"heading 90", RawTrueHeading(90.0), 0x40000000},
      {"heading 270", RawTrueHeading(270.0), 0xC0000000},
      {"heading 5 (59652323.56)", RawTrueHeading(5.0), 59652324},
      {"heading -90", RawTrueHeading(-90.0), 0xC0000000},
      {"heading 360", RawTrueHeading(360.0), 0},
      {"heading rounding up to a turn", RawTrueHeading(359.99999999), 0},
      {"heading NaN", RawTrueHeading(kNaN), 0},
      // Magnetic variation: degrees * 65536 / 360, west as the complement.
      {"variation 11.25", RawMagneticVariation(11.25), 2048},
      {"variation -22.5", RawMagneticVariation(-22.5), 61440},
      {"variation 180", RawMagneticVariation(180.0), 32768},
      {"variation rounding up to a turn", RawMagneticVariation(359.999), 0},
      {"variation NaN", RawMagneticVariation(kNaN), 0},
      // Ground speed: metres per second * 65536, unsigned.
      {"speed 60", RawGroundSpeed(60.0), 3932160},
      {"speed backwards", RawGroundSpeed(-5.0), 0},
      {"speed beyond the word", RawGroundSpeed(1e12), 0xFFFFFFFF},
      {"speed NaN", RawGroundSpeed(kNaN), 0},
      // Latitude: degrees * 10001750 * 2^32 / 90.
      {"latitude 90", RawLatitude(90.0), 42957189152768000},
      {"latitude -90", RawLatitude(-90.0), -42957189152768000},
      {"latitude beyond the field", RawLatitude(1e300), INT64_MAX},
      {"latitude below the field", RawLatitude(-1e300), INT64_MIN},
      {"latitude NaN", RawLatitude(kNaN), 0},
      // Longitude: degrees * 2^64 / 360, in [-180, 180).
      {"longitude 90", RawLongitude(90.0), std::int64_t{1} << 62},
      {"longitude -180", RawLongitude(-180.0), INT64_MIN},
      {"longitude 180 is -180", RawLongitude(180.0), INT64_MIN},
      {"longitude 270 is -90", RawLongitude(270.0), -(std::int64_t{1} << 62)},
      // Altitude: metres as 32.32 fixed point.
      {"altitude 914.25", RawAltitude(914.25), 914LL * 4294967296LL + 1073741824LL},
      {"altitude -1.5", RawAltitude(-1.5), -6442450944LL},
      {"altitude beyond the field", RawAltitude(1e12), INT64_MAX},
      // The ground's altitude: metres * 256, signed 32 bits.
      {"ground 6", RawGroundAltitude(6.0), 1536},
      {"ground -0.5", RawGroundAltitude(-0.5), -128},
      {"ground beyond the field", RawGroundAltitude(1e10), INT32_MAX},
      {"ground NaN", RawGroundAltitude(kNaN), 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.raw, c.expected) << c.what;
  }
}

}  // namespace
}  // namespace quorvane::fsuipc
