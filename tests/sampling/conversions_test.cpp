#include "sampling/conversions.h"

#include <gtest/gtest.h>

#include <cstdint>

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

}  // namespace
}  // namespace quorvane
