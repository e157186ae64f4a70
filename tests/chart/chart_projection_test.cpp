// Placing positions on the chart: longitudes made continuous across the antimeridian, the
// cosine of the middle latitude, fitting and centring, the smallest span, and the poles.

#include "chart/chart_projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace quorvane {
namespace {

TEST(LongitudeUnwrapper, TakesTheShortWayRound) {
  struct Case {
    const char* name;
    std::vector<double> longitudes;
    std::vector<double> continuous;
  };
  for (const Case& c : {
           Case{"eastward across the antimeridian", {179.5, -179.5, -178.0}, {179.5, 180.5, 182.0}},
           Case{"westward across it", {-179.5, 179.5}, {-179.5, -180.5}},
           Case{"far from it", {10.0, 20.0, -5.0}, {10.0, 20.0, -5.0}},
           Case{"round the world eastward",
                {0.0, 90.0, 180.0, -90.0, 0.0, 90.0},
                {0.0, 90.0, 180.0, 270.0, 360.0, 450.0}},
           Case{"the antimeridian as -180 and 180", {180.0, -180.0}, {180.0, 180.0}},
       }) {
    LongitudeUnwrapper unwrapper;
    for (std::size_t i = 0; i < c.longitudes.size(); ++i) {
      EXPECT_DOUBLE_EQ(unwrapper.Next(c.longitudes[i]), c.continuous[i]) << c.name << " " << i;
    }
  }
}

GeoBox Box(double south, double north, double west, double east) {
  GeoBox box;
  box.Add(south, west);
  box.Add(north, east);
  return box;
}

TEST(ChartProjection, ScalesLongitudesByTheCosineOfTheMiddleLatitude) {
  // A degree each way at 60 degrees north is half as wide as it is tall.
  const ChartProjection projection(Box(59.5, 60.5, 10.0, 11.0), {0, 0, 400, 400}, 1.0);
  const PixelPoint south_west = projection.ToPixels(59.5, 10.0);
  const PixelPoint north_east = projection.ToPixels(60.5, 11.0);
  EXPECT_NEAR(south_west.y - north_east.y, 400.0, 1e-9);  // north up, filling the height
  EXPECT_NEAR(north_east.x - south_west.x, 200.0, 1e-9);
  EXPECT_NEAR((south_west.x + north_east.x) / 2.0, 200.0, 1e-9);  // centred
  EXPECT_NEAR(projection.PixelsPerNauticalMile(), 400.0 / 60.0, 1e-12);
}

TEST(ChartProjection, FitsTheBoxByItsLimitingSideAndCentresIt) {
  struct Case {
    const char* name;
    GeoBox box;
    PixelArea area;
    double pixels_per_nm;
  };
  const double cos45 = std::cos(45.0 * 3.14159265358979323846 / 180.0);
  for (const Case& c : {
           Case{"tall box in a wide area", Box(0.0, 1.0, 0.0, 0.1), {10, 20, 600, 240}, 4.0},
           Case{"wide box in a wide area", Box(0.0, 0.1, 0.0, 4.0), {10, 20, 600, 240}, 2.5},
           Case{"at 45 degrees", Box(44.0, 46.0, 0.0, 2.0), {0, 0, 300, 300}, 300.0 / 120.0},
           Case{"wide at 45 degrees",
                Box(44.9, 45.1, 0.0, 2.0),
                {0, 0, 300, 300},
                300.0 / (120.0 * cos45)},
       }) {
    const ChartProjection projection(c.box, c.area, 1.0);
    EXPECT_NEAR(projection.PixelsPerNauticalMile(), c.pixels_per_nm, 1e-4) << c.name;
    const PixelPoint south_west = projection.ToPixels(c.box.south, c.box.west);
    const PixelPoint north_east = projection.ToPixels(c.box.north, c.box.east);
    EXPECT_NEAR((south_west.x + north_east.x) / 2.0, c.area.left + c.area.width / 2.0, 1e-6)
        << c.name;
    EXPECT_NEAR((south_west.y + north_east.y) / 2.0, c.area.top + c.area.height / 2.0, 1e-6)
        << c.name;
    EXPECT_GE(south_west.x, c.area.left - 1e-6) << c.name;
    EXPECT_LE(north_east.x, c.area.left + c.area.width + 1e-6) << c.name;
    EXPECT_GE(north_east.y, c.area.top - 1e-6) << c.name;
    EXPECT_LE(south_west.y, c.area.top + c.area.height + 1e-6) << c.name;
  }
}

TEST(ChartProjection, APointOrAnEmptyBoxSpansTheSmallestSpanAtTheMiddle) {
  struct Case {
    const char* name;
    GeoBox box;
    double latitude;
    double longitude;
  };
  for (const Case& c : {Case{"one point", Box(50.1, 50.1, 14.25, 14.25), 50.1, 14.25},
                        Case{"at the pole", Box(90.0, 90.0, 0.0, 0.0), 90.0, 0.0},
                        Case{"nothing", GeoBox{}, 0.0, 0.0}}) {
    const ChartProjection projection(c.box, {10, 10, 500, 200}, 2.0);
    EXPECT_DOUBLE_EQ(projection.PixelsPerNauticalMile(), 100.0) << c.name;  // 2 NM in 200 px
    const PixelPoint at = projection.ToPixels(c.latitude, c.longitude);
    EXPECT_DOUBLE_EQ(at.x, 260.0) << c.name;
    EXPECT_DOUBLE_EQ(at.y, 110.0) << c.name;
  }
}

TEST(ChartProjection, NearThePoleLongitudesCloseUpWithoutBlowingUp) {
  // Round the pole at 89.99 degrees: 360 degrees of longitude are about 3.8 NM.
  const ChartProjection projection(Box(89.98, 90.0, -180.0, 180.0), {0, 0, 600, 300}, 0.1);
  EXPECT_TRUE(std::isfinite(projection.PixelsPerNauticalMile()));
  EXPECT_GT(projection.PixelsPerNauticalMile(), 100.0);
  for (double longitude : {-180.0, -90.0, 0.0, 90.0, 180.0}) {
    const PixelPoint at = projection.ToPixels(89.99, longitude);
    EXPECT_GE(at.x, 0.0) << longitude;
    EXPECT_LE(at.x, 600.0) << longitude;
    EXPECT_NEAR(at.y, 150.0, 1e-6) << longitude;
  }
}

TEST(ChartProjection, AnAreaWithNoRoomHasNoScale) {
  for (const PixelArea& area : {PixelArea{0, 0, 0, 100}, PixelArea{0, 0, 100, -5}}) {
    const ChartProjection projection(Box(50.0, 51.0, 14.0, 15.0), area, 1.0);
    EXPECT_EQ(projection.PixelsPerNauticalMile(), 0.0);
    const PixelPoint at = projection.ToPixels(50.0, 14.0);
    EXPECT_TRUE(std::isfinite(at.x) && std::isfinite(at.y));
  }
}

}  // namespace
}  // namespace quorvane
