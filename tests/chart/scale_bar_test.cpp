// The scale bar's round length: the longest of 1, 2, 5 times a power of ten nautical miles that
// fits, fractions for short flights, and its label written without the locale.

#include "chart/scale_bar.h"

#include <gtest/gtest.h>

#include <limits>

namespace quorvane {
namespace {

TEST(ScaleBar, IsTheLongestRoundLengthThatFits) {
  struct Case {
    double pixels_per_nm;
    double max_pixels;
    double miles;
    const char* label;
  };
  for (const Case& c : {
           Case{10.0, 150.0, 10.0, "10 NM"},  // 15 NM would fit: 10 is the round one
           Case{30.0, 150.0, 5.0, "5 NM"},    // exactly 150 pixels
           Case{30.1, 150.0, 2.0, "2 NM"},    // 5 NM is half a pixel too long
           Case{1.0, 150.0, 100.0, "100 NM"},
           Case{0.05, 150.0, 2000.0, "2000 NM"},  // a long flight
           Case{235.0, 150.0, 0.5, "0.5 NM"},     // a chart a mile across
           Case{1000.0, 150.0, 0.1, "0.1 NM"}, Case{3000.0, 150.0, 0.05, "0.05 NM"},
           Case{100000.0, 150.0, 0.001, "0.001 NM"},  // the shortest
           Case{1e7, 150.0, 0.001, "0.001 NM"},       // shorter than any: the shortest all the same
           Case{1e-9, 150.0, 50000.0, "50000 NM"},    // longer than any: the longest
       }) {
    const ScaleBarLength bar = ChooseScaleBar(c.pixels_per_nm, c.max_pixels);
    EXPECT_DOUBLE_EQ(bar.nautical_miles, c.miles) << c.pixels_per_nm;
    EXPECT_EQ(bar.label, c.label) << c.pixels_per_nm;
    EXPECT_DOUBLE_EQ(bar.pixels, c.miles * c.pixels_per_nm) << c.pixels_per_nm;
  }
}

TEST(ScaleBar, NoBarWithoutAScaleOrRoom) {
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  struct Case {
    double pixels_per_nm;
    double max_pixels;
  };
  for (const Case& c : {Case{0.0, 150.0}, Case{-3.0, 150.0}, Case{kNan, 150.0},
                        Case{kInfinity, 150.0}, Case{10.0, 0.0}, Case{10.0, kNan}}) {
    const ScaleBarLength bar = ChooseScaleBar(c.pixels_per_nm, c.max_pixels);
    EXPECT_EQ(bar.pixels, 0.0) << c.pixels_per_nm << " " << c.max_pixels;
    EXPECT_EQ(bar.label, "") << c.pixels_per_nm << " " << c.max_pixels;
  }
}

}  // namespace
}  // namespace quorvane
