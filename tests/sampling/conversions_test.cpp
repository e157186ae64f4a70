#include "sampling/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "link/fsuipc_offsets.h"

namespace quorvane {
namespace {

TEST(Conversions, PositionLimits) {
  EXPECT_DOUBLE_EQ(LatitudeDegrees(42957189152768000.0), 90.0);
  EXPECT_DOUBLE_EQ(LatitudeDegrees(-42957189152768000.0), -90.0);
  EXPECT_DOUBLE_EQ(LongitudeDegrees(4611686018427387904.0), 90.0);
  EXPECT_DOUBLE_EQ(LongitudeDegrees(static_cast<double>(INT64_MIN)), -180.0);
  EXPECT_DOUBLE_EQ(LatitudeDegrees(0.0), 0.0);
}

TEST(Conversions, MagneticVariationLiesInMinus180To180) {
  struct Case {
    std::uint16_t raw;
    double degrees;
  };
  for (const Case& c : {Case{0, 0.0}, Case{2048, 11.25}, Case{32768, 180.0}, Case{61440, -22.5},
                        Case{65535, -360.0 / 65536.0}}) {
    EXPECT_DOUBLE_EQ(MagneticVariationDegrees(c.raw), c.degrees) << c.raw;
  }
  EXPECT_NEAR(MagneticVariationDegrees(32769), -179.9945, 1e-4);
}

TEST(Conversions, HeadingIsCorrectedForVariationAndKeptIn0To360) {
  struct Case {
    std::uint32_t raw;
    double variation;
    double heading;
  };
  for (const Case& c : {Case{0, 11.25, 348.75}, Case{1195629000, -22.5, 122.5},
                        Case{4184701500u, -22.5, 12.5}, Case{0, 0.0, 0.0}}) {
    EXPECT_NEAR(HeadingDegrees(c.raw, c.variation), c.heading, 1e-9) << c.raw;
  }
  // The program's divisor, not 2^32 / 360: the top raw value stays below 360.
  EXPECT_NEAR(HeadingDegrees(4294967295u, 0.0), 359.2224, 5e-5);
}

TEST(Conversions, MovingOnlyAbove60MetresPerSecond) {
  EXPECT_FALSE(IsMoving(3932160));
  EXPECT_TRUE(IsMoving(3932161));
  EXPECT_FALSE(IsMoving(0));
}

// Whole metres in the high 32 bits, the fraction in the low 32 bits.
TEST(Conversions, AltitudeFromTheFixedPointValue) {
  struct Case {
    const char* what;
    std::int64_t raw;
    double metres;
  };
  constexpr std::int64_t kMetre = std::int64_t{1} << 32;
  for (const Case& c : {
           Case{"sea level", 0, 0.0},
           Case{"Prague's runway", 380 * kMetre, 380.0},
           Case{"the Dead Sea's shore", -430 * kMetre, -430.0},
           Case{"50,000 ft", fsuipc::RawAltitude(15240.0), 15240.0},
           Case{"half a metre in the low half", 914 * kMetre + (kMetre >> 1), 914.5},
           Case{"a quarter below zero", -(kMetre >> 2), -0.25},
           Case{"one and a half below zero", -kMetre - (kMetre >> 1), -1.5},
           Case{"the smallest fraction", 1, 1.0 / 4294967296.0},
           Case{"just below zero", -1, -1.0 / 4294967296.0},
           Case{"the lowest raw value", INT64_MIN, -2147483648.0},
           Case{"the highest raw value", INT64_MAX, 2147483648.0},
       }) {
    SCOPED_TRACE(c.what);
    EXPECT_DOUBLE_EQ(AltitudeMetres(c.raw), c.metres);
  }
}

TEST(Conversions, PossibleAltitudesReachFromBelowTheDeadSeaToTheEdgeOfSpace) {
  struct Case {
    double metres;
    bool possible;
  };
  for (const Case& c :
       {Case{-430.0, true}, Case{0.0, true}, Case{15240.0, true}, Case{-1000.0, true},
        Case{100000.0, true}, Case{-1000.1, false}, Case{100000.1, false},
        Case{-2147483648.0, false}, Case{2147483648.0, false},
        Case{std::numeric_limits<double>::quiet_NaN(), false},
        Case{std::numeric_limits<double>::infinity(), false},
        Case{-std::numeric_limits<double>::infinity(), false}}) {
    EXPECT_EQ(IsPossibleAltitude(c.metres), c.possible) << c.metres;
  }
}

}  // namespace
}  // namespace quorvane
