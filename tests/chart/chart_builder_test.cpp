// The chart's picture of a flight: what is drawn before the first fix, every route fitted into
// the area above the figures (across the antimeridian, near the poles, a single point, a route
// that never moved), gaps where the route breaks, the aircraft where the route ends, the scale
// bar true to the route, and a long route thinned.

#include "chart/chart_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "chart/aircraft_symbol.h"
#include "tests/chart/synthetic_flight.h"

namespace quorvane {
namespace {

using testing::Line;
using namespace std::chrono_literals;
using namespace chart_layout;
using Clock = std::chrono::system_clock;

// The window's chart area: 605 x 338 less the controls and the status bar.
constexpr int kWidth = 605;
constexpr int kHeight = 279;
// The route's area within it.
constexpr double kLeft = kMargin;
constexpr double kTop = kMargin;
constexpr double kRight = kWidth - kMargin;
constexpr double kBottom = kHeight - kMargin - kStripHeight;

const Clock::time_point kNoon = Clock::time_point{} + 19000 * 24h + 12h;

ChartFix Fix(double latitude, double longitude, double heading = 0.0) {
  return ChartFix{{latitude, longitude}, heading, std::nullopt, std::nullopt};
}

// A flight along its points, the aircraft at the last one.
ChartInput Flight(std::vector<std::vector<GeoPoint>> segments) {
  ChartInput input;
  input.segments = std::move(segments);
  for (auto segment = input.segments.rbegin(); segment != input.segments.rend(); ++segment) {
    if (!segment->empty()) {
      input.latest = Fix(segment->back().latitude, segment->back().longitude);
      break;
    }
  }
  input.now = kNoon;
  return input;
}

struct Bounds {
  double left = std::numeric_limits<double>::infinity();
  double top = std::numeric_limits<double>::infinity();
  double right = -std::numeric_limits<double>::infinity();
  double bottom = -std::numeric_limits<double>::infinity();
  void Add(PixelPoint p) {
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
};

Bounds RouteBounds(const ChartPicture& picture) {
  Bounds bounds;
  for (const auto& line : picture.route) {
    for (const PixelPoint& p : line) {
      bounds.Add(p);
    }
  }
  return bounds;
}

// The middle of the aircraft's symbol: half way between its wing tips' and nose and tail's
// extremes.
PixelPoint AircraftCentre(const ChartPicture& picture) {
  Bounds bounds;
  for (const PixelPoint& p : picture.aircraft) {
    bounds.Add(p);
  }
  return {(bounds.left + bounds.right) / 2.0, (bounds.top + bounds.bottom) / 2.0};
}

std::size_t Vertices(const ChartPicture& picture) {
  std::size_t count = 0;
  for (const auto& line : picture.route) {
    count += line.size();
  }
  return count;
}

TEST(ChartBuilder, BeforeTheFirstFixOnlyTheWaitingText) {
  ChartInput input;
  input.waiting_text = "Waiting for the simulator";
  input.segments = {{}, {}};
  input.now = kNoon;
  const ChartPicture picture = BuildChartPicture(input, kWidth, kHeight);
  EXPECT_EQ(picture.width, kWidth);
  EXPECT_EQ(picture.height, kHeight);
  EXPECT_EQ(picture.waiting.text, "Waiting for the simulator");
  EXPECT_TRUE(picture.waiting.wrap);
  EXPECT_EQ(picture.waiting.align, TextAlign::Center);
  EXPECT_GT(picture.waiting.box.width, kWidth / 2);
  EXPECT_TRUE(picture.route.empty());
  EXPECT_TRUE(picture.aircraft.empty());
  EXPECT_FALSE(picture.scale_bar.shown);
  EXPECT_EQ(picture.figures.text, "");

  // The first fix ends the waiting.
  input.latest = Fix(50.0, 14.0);
  EXPECT_EQ(BuildChartPicture(input, kWidth, kHeight).waiting.text, "");
}

TEST(ChartBuilder, FitsEveryRouteIntoTheAreaAboveTheFigures) {
  struct Case {
    const char* name;
    ChartInput input;
    bool fills;  // spans the area's width or height: the route spans more than the smallest span
  };
  ChartInput alone;
  alone.latest = Fix(50.1, 14.25, 135.0);
  const Case cases[] = {
      {"north to south", Flight({Line({50.0, 14.0}, {50.5, 14.0}, 50)}), true},
      {"east to west", Flight({Line({50.0, 14.5}, {50.0, 14.0}, 50)}), true},
      {"diagonal", Flight({Line({-33.9, 151.2}, {-37.8, 144.9}, 50)}), true},
      {"across the antimeridian", Flight({Line({-17.0, 178.5}, {-15.0, 181.0}, 60)}), true},
      {"round the pole", Flight({Line({89.9, -180.0}, {89.9, 180.0}, 361)}), true},
      {"over the pole",
       Flight({Line({89.5, 10.0}, {90.0, 10.0}, 10), Line({89.9, -170.0}, {89.0, -170.0}, 10)}),
       true},
      {"round the world", Flight({Line({10.0, -180.0}, {20.0, 180.0}, 721)}), true},
      {"one point", Flight({{{50.1, 14.25}}}), false},
      {"never moved", Flight({std::vector<GeoPoint>(1000, GeoPoint{50.1, 14.25})}), false},
      {"a fix and no route", alone, false},
      {"at the pole", Flight({{{90.0, 0.0}, {90.0, 120.0}}}), false},
      {"long flight", Flight({testing::LongFlight(100000)}), true},
  };
  for (const Case& c : cases) {
    const ChartPicture picture = BuildChartPicture(c.input, kWidth, kHeight);
    const Bounds route = RouteBounds(picture);
    if (!c.input.segments.empty()) {
      ASSERT_FALSE(picture.route.empty()) << c.name;
      EXPECT_GE(route.left, kLeft - 1e-6) << c.name;
      EXPECT_LE(route.right, kRight + 1e-6) << c.name;
      EXPECT_GE(route.top, kTop - 1e-6) << c.name;
      EXPECT_LE(route.bottom, kBottom + 1e-6) << c.name;
      const bool fills_width = route.right - route.left > kRight - kLeft - 1.0;
      const bool fills_height = route.bottom - route.top > kBottom - kTop - 1.0;
      EXPECT_EQ(fills_width || fills_height, c.fills) << c.name;
      if (!c.fills) {  // in the middle
        EXPECT_NEAR((route.left + route.right) / 2.0, (kLeft + kRight) / 2.0, 1e-6) << c.name;
        EXPECT_NEAR((route.top + route.bottom) / 2.0, (kTop + kBottom) / 2.0, 1e-6) << c.name;
      }
    }
    ASSERT_FALSE(picture.aircraft.empty()) << c.name;
    for (const PixelPoint& p : picture.aircraft) {
      EXPECT_TRUE(p.x >= 0.0 && p.x <= kWidth && p.y >= 0.0 && p.y <= kHeight - kStripHeight)
          << c.name << ": the aircraft at " << p.x << ", " << p.y;
    }
    EXPECT_TRUE(picture.scale_bar.shown) << c.name;
  }
}

TEST(ChartBuilder, ARouteAcrossTheAntimeridianIsOneLineWithoutAJump) {
  // Eastward from Fiji's side of the antimeridian to Samoa's.
  const ChartPicture picture =
      BuildChartPicture(Flight({Line({-17.0, 178.5}, {-14.0, 188.0}, 500)}), kWidth, kHeight);
  ASSERT_EQ(picture.route.size(), 1u);
  const auto& line = picture.route[0];
  for (std::size_t i = 1; i < line.size(); ++i) {
    EXPECT_GT(line[i].x, line[i - 1].x) << i;  // eastward all the way
  }
  // From the west edge to the east edge: 9.5 degrees of longitude, not the other 350.5.
  EXPECT_NEAR(line.front().x, kLeft, 1e-6);
  EXPECT_NEAR(line.back().x, kRight, 1e-6);
  const PixelPoint centre = AircraftCentre(picture);
  EXPECT_NEAR(centre.x, line.back().x, 0.5);
  EXPECT_NEAR(centre.y, line.back().y, 0.5);
}

TEST(ChartBuilder, TheAircraftStandsWhereTheRouteEndsEvenAcrossTheAntimeridian) {
  ChartInput input = Flight({Line({-17.0, 179.0}, {-17.0, 179.9}, 10)});
  input.latest = Fix(-17.0, -179.95, 90.0);  // a little beyond the antimeridian
  const ChartPicture picture = BuildChartPicture(input, kWidth, kHeight);
  const PixelPoint end = picture.route.at(0).back();
  const PixelPoint centre = AircraftCentre(picture);
  // 0.15 degrees further east, in a chart 1.05 degrees wide.
  EXPECT_NEAR(centre.x - end.x, (kRight - kLeft) * 0.15 / 1.05, 0.5);
  EXPECT_NEAR(centre.y, end.y, 0.5);
}

TEST(ChartBuilder, GapsWhereTheRouteBreaksAndPointsOffTheEarthAreLeftOut) {
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  ChartInput input = Flight({Line({50.0, 14.0}, {50.0, 14.2}, 5),
                             {{50.1, 14.3},
                              {kNan, 14.4},
                              {50.1, 14.5},
                              {95.0, 14.6},
                              {50.1, 14.7},
                              {50.1, -200.0},
                              {50.1, 14.9}},
                             {},
                             {{50.2, 14.0}}});
  const ChartPicture picture = BuildChartPicture(input, kWidth, kHeight);
  // The first segment, the second cut in four by the points off the Earth, and a lone point.
  ASSERT_EQ(picture.route.size(), 6u);
  EXPECT_EQ(picture.route[0].size(), 2u);  // a straight line: its ends
  for (std::size_t i = 1; i <= 5; ++i) {
    EXPECT_EQ(picture.route[i].size(), 1u) << i;
  }
  EXPECT_LT(picture.route[0].back().x, picture.route[1][0].x);  // 14.2 is west of 14.3
  EXPECT_NE(picture.figures.text.find("10 points"), std::string::npos) << picture.figures.text;
}

TEST(ChartBuilder, TheScaleBarIsTrueToTheRoute) {
  struct Case {
    const char* name;
    ChartInput input;
    double route_nm;  // north to south
    const char* label;
  };
  const Case cases[] = {
      {"10 NM", Flight({Line({50.0, 14.0}, {50.0 + 10.0 / 60.0, 14.0}, 20)}), 10.0, "5 NM"},
      {"300 NM", Flight({Line({45.0, 0.0}, {50.0, 0.0}, 20)}), 300.0, "100 NM"},
      {"half a mile", Flight({Line({50.0, 14.0}, {50.0 + 0.5 / 60.0, 14.0}, 20)}), 0.5,
       "0.5 NM"},  // shown a mile tall
  };
  for (const Case& c : cases) {
    const ChartPicture picture = BuildChartPicture(c.input, kWidth, kHeight);
    const Bounds route = RouteBounds(picture);
    const ChartScaleBar& bar = picture.scale_bar;
    ASSERT_TRUE(bar.shown) << c.name;
    EXPECT_EQ(bar.label.text, c.label) << c.name;
    EXPECT_NEAR((bar.right.x - bar.left.x) / bar.length_nm, (route.bottom - route.top) / c.route_nm,
                1e-6)
        << c.name;
    EXPECT_LE(bar.right.x - bar.left.x, kWidth * kScaleBarShare) << c.name;
    // In the strip at the bottom right, its label left of it, the figures left of the label.
    EXPECT_EQ(bar.left.y, bar.right.y) << c.name;
    EXPECT_GT(bar.left.y, kHeight - kStripHeight) << c.name;
    EXPECT_LE(bar.right.x, kWidth - kMargin) << c.name;
    EXPECT_LE(bar.label.box.left + bar.label.box.width, bar.left.x) << c.name;
    EXPECT_LE(picture.figures.box.left + picture.figures.box.width, bar.label.box.left) << c.name;
    EXPECT_GE(picture.figures.box.top, kHeight - kStripHeight) << c.name;
  }
}

TEST(ChartBuilder, ShowsTheFiguresOfTheLatestFix) {
  ChartInput input = Flight({testing::LongFlight(300)});
  input.latest->altitude_feet = 3001.7;
  input.latest->ground_speed_knots = 110.4;
  input.last_update = kNoon - 12s;
  const ChartPicture picture = BuildChartPicture(input, kWidth, kHeight);
  EXPECT_EQ(picture.figures.text, "3002 ft   GS 110 kt   300 points   updated 12 s ago");
  EXPECT_EQ(picture.figures.align, TextAlign::Left);
  EXPECT_FALSE(picture.figures.wrap);
}

TEST(ChartBuilder, ALongRouteIsDrawnWithAFewThousandVertices) {
  ChartInput input = Flight({testing::LongFlight(60000), testing::LongFlight(40000, {48.0, 9.0})});
  const ChartPicture picture = BuildChartPicture(input, kWidth, kHeight);
  EXPECT_EQ(picture.route.size(), 2u);
  EXPECT_LE(Vertices(picture), kRoutePointBudget);
  EXPECT_NE(picture.figures.text.find("100000 points"), std::string::npos);

  // Circuits for days, every lap on pixels of its own: over 12,000 vertices within half a
  // pixel, thinned coarser to a few thousand.
  const ChartPicture circuits =
      BuildChartPicture(Flight({testing::Circuits(100000)}), kWidth, kHeight);
  EXPECT_LE(Vertices(circuits), 5000u);
}

TEST(ChartBuilder, AChartTooSmallForItsMarginsShowsNothing) {
  const ChartInput input = Flight({Line({50.0, 14.0}, {50.5, 14.0}, 50)});
  for (const auto& [width, height] :
       {std::pair{0, 0}, std::pair{-10, 50}, std::pair{24, 300}, std::pair{600, 44}}) {
    const ChartPicture picture = BuildChartPicture(input, width, height);
    EXPECT_EQ(picture.width, std::max(width, 0));
    EXPECT_TRUE(picture.route.empty()) << width << "x" << height;
    EXPECT_TRUE(picture.aircraft.empty()) << width << "x" << height;
    EXPECT_FALSE(picture.scale_bar.shown) << width << "x" << height;
  }
}

TEST(AircraftSymbol, TheNosePointsAlongTheHeadingClockwiseFromNorth) {
  const PixelPoint centre{100.0, 50.0};
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double heading;
    double east;  // the direction of the nose on the screen (y grows southward)
    double south;
  };
  for (const Case& c : {Case{0.0, 0.0, -1.0}, Case{90.0, 1.0, 0.0}, Case{180.0, 0.0, 1.0},
                        Case{270.0, -1.0, 0.0}, Case{45.0, std::sqrt(0.5), -std::sqrt(0.5)},
                        Case{-90.0, -1.0, 0.0}, Case{kNan, 0.0, -1.0}}) {
    const std::vector<PixelPoint> symbol = AircraftSymbol(centre, c.heading);
    ASSERT_GE(symbol.size(), 3u);
    // The point farthest ahead is the nose, on the heading's axis.
    const PixelPoint nose =
        *std::max_element(symbol.begin(), symbol.end(), [&](PixelPoint a, PixelPoint b) {
          return (a.x - centre.x) * c.east + (a.y - centre.y) * c.south <
                 (b.x - centre.x) * c.east + (b.y - centre.y) * c.south;
        });
    EXPECT_NEAR(nose.x, centre.x + 10.0 * c.east, 1e-9) << c.heading;
    EXPECT_NEAR(nose.y, centre.y + 10.0 * c.south, 1e-9) << c.heading;
    for (const PixelPoint& p : symbol) {
      EXPECT_LE(std::hypot(p.x - centre.x, p.y - centre.y), kAircraftSymbolRadius) << c.heading;
    }
  }
}

}  // namespace
}  // namespace quorvane
