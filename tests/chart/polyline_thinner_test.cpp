// Thinning a polyline in pixels: the shape and the bounds kept within a pixel and a half, the
// ends kept exactly, and a long route brought down to what the pixels can show.

#include "chart/polyline_thinner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "chart/chart_projection.h"
#include "tests/chart/synthetic_flight.h"

namespace quorvane {
namespace {

// What a thinned point may lie off the input: the one-pixel step and the half-pixel tolerance.
constexpr double kShapeTolerance = 1.5;

std::vector<PixelPoint> Thin(const std::vector<PixelPoint>& points) {
  PolylineThinner thinner;
  for (const PixelPoint& point : points) {
    thinner.Add(point);
  }
  return thinner.Take();
}

double DistanceToSegment(PixelPoint p, PixelPoint a, PixelPoint b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double length = dx * dx + dy * dy;
  const double t =
      length == 0.0 ? 0.0 : std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length, 0.0, 1.0);
  return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

bool Same(PixelPoint a, PixelPoint b) {
  return a.x == b.x && a.y == b.y;
}

// Checks that thinned is made of input's points in their order, from the first to the last, and
// that every input point lies within the tolerance of the piece of thinned line that replaces it.
void ExpectShapeKept(const std::vector<PixelPoint>& input, const std::vector<PixelPoint>& thinned,
                     const std::string& name, double tolerance = kShapeTolerance) {
  ASSERT_FALSE(thinned.empty()) << name;
  EXPECT_TRUE(Same(thinned.front(), input.front())) << name;
  EXPECT_TRUE(Same(thinned.back(), input.back())) << name;
  std::size_t next = 1;  // the thinned point the walk looks for next
  double worst = 0.0;
  for (std::size_t i = 1; i < input.size() && next < thinned.size(); ++i) {
    worst = std::max(worst, DistanceToSegment(input[i], thinned[next - 1], thinned[next]));
    if (Same(input[i], thinned[next])) {
      ++next;
    }
  }
  EXPECT_EQ(next, thinned.size()) << name << ": thinned points not taken from the input in order";
  EXPECT_LE(worst, tolerance) << name;

  const auto bounds = [](const std::vector<PixelPoint>& points) {
    const auto [left, right] = std::minmax_element(
        points.begin(), points.end(), [](PixelPoint a, PixelPoint b) { return a.x < b.x; });
    const auto [top, bottom] = std::minmax_element(
        points.begin(), points.end(), [](PixelPoint a, PixelPoint b) { return a.y < b.y; });
    return std::array<double, 4>{left->x, top->y, right->x, bottom->y};
  };
  const auto expected = bounds(input);
  const auto actual = bounds(thinned);
  for (std::size_t side = 0; side < 4; ++side) {
    EXPECT_NEAR(actual[side], expected[side], tolerance) << name << " side " << side;
  }
}

std::vector<PixelPoint> Circle(std::size_t count, double radius, double turns) {
  std::vector<PixelPoint> points;
  for (std::size_t i = 0; i < count; ++i) {
    const double angle = 2.0 * std::numbers::pi * turns * static_cast<double>(i) / count;
    points.push_back({300.0 + radius * std::cos(angle), 140.0 + radius * std::sin(angle)});
  }
  return points;
}

std::vector<PixelPoint> StraightLine(std::size_t count) {
  std::vector<PixelPoint> points;
  for (std::size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(count - 1);
    points.push_back({20.0 + 500.0 * t, 30.0 + 200.0 * t});
  }
  return points;
}

// The long flight as the chart would place it in the window's chart area.
std::vector<PixelPoint> ProjectedLongFlight(std::size_t count) {
  const std::vector<GeoPoint> flight = testing::LongFlight(count);
  GeoBox box;
  LongitudeUnwrapper unwrap_for_box;
  for (const GeoPoint& point : flight) {
    box.Add(point.latitude, unwrap_for_box.Next(point.longitude));
  }
  const ChartProjection projection(box, {12, 12, 581, 235}, 1.0);
  LongitudeUnwrapper unwrapper;
  std::vector<PixelPoint> points;
  for (const GeoPoint& point : flight) {
    points.push_back(projection.ToPixels(point.latitude, unwrapper.Next(point.longitude)));
  }
  return points;
}

TEST(PolylineThinner, KeepsTheShapeTheEndsAndTheBounds) {
  std::vector<PixelPoint> zigzag;  // corners 6 pixels apart, 4 high: every corner counts
  for (int i = 0; i < 80; ++i) {
    zigzag.push_back({10.0 + 6.0 * i, i % 2 == 0 ? 100.0 : 104.0});
  }
  std::vector<PixelPoint> jitter;  // a line shaking by a third of a pixel
  for (int i = 0; i < 5000; ++i) {
    jitter.push_back({0.1 * i, 50.0 + (i % 3) / 3.0});
  }
  const struct {
    const char* name;
    std::vector<PixelPoint> points;
  } cases[] = {
      {"long flight", ProjectedLongFlight(100000)},
      {"circle flown 40 times", Circle(40000, 100.0, 40.0)},
      {"small circle", Circle(2000, 3.0, 1.0)},
      {"zigzag", zigzag},
      {"jitter", jitter},
      {"two points", {{5.0, 5.0}, {5.2, 5.1}}},
  };
  for (const auto& c : cases) {
    ExpectShapeKept(c.points, Thin(c.points), c.name);
  }
}

TEST(PolylineThinner, DrawsALongRouteWithAFewThousandVertices) {
  const struct {
    const char* name;
    std::vector<PixelPoint> points;
    std::size_t most;
  } cases[] = {
      {"long flight", ProjectedLongFlight(100000), 3000},
      {"circle flown 40 times", Circle(100000, 100.0, 40.0), 3000},
      // Its ends, and a point where each 512 pixels of it were simplified apart.
      {"straight line", StraightLine(100000), 3},
  };
  for (const auto& c : cases) {
    EXPECT_LE(Thin(c.points).size(), c.most) << c.name;
  }
  // Where every corner shows, every corner stays.
  std::vector<PixelPoint> zigzag;
  for (int i = 0; i < 80; ++i) {
    zigzag.push_back({10.0 + 6.0 * i, i % 2 == 0 ? 100.0 : 104.0});
  }
  EXPECT_EQ(Thin(zigzag).size(), zigzag.size());
}

TEST(PolylineThinner, PointsThatNeverMovedAreOnePointAndEachTakeStartsAfresh) {
  PolylineThinner thinner;
  EXPECT_TRUE(thinner.Take().empty());
  for (int i = 0; i < 1000; ++i) {
    thinner.Add({40.0, 30.0});
  }
  const std::vector<PixelPoint> still = thinner.Take();
  ASSERT_EQ(still.size(), 1u);
  EXPECT_TRUE(Same(still[0], {40.0, 30.0}));

  thinner.Add({0.0, 0.0});
  thinner.Add({0.3, 0.0});  // within a pixel of the first, but the end of the line
  const std::vector<PixelPoint> next = thinner.Take();
  ASSERT_EQ(next.size(), 2u);
  EXPECT_TRUE(Same(next[0], {0.0, 0.0}));
  EXPECT_TRUE(Same(next[1], {0.3, 0.0}));
}

TEST(PolylineThinner, LinesBeyondTheBudgetAreThinnedCoarserWithTheirEnds) {
  // 100 laps of a small circle, each its own line: 20,000 points.
  std::vector<std::vector<PixelPoint>> laps;
  for (int lap = 0; lap < 100; ++lap) {
    std::vector<PixelPoint> circle = Circle(200, 50.0, 1.0);
    for (PixelPoint& point : circle) {
      point.x += lap * 0.5;
    }
    laps.push_back(circle);
  }
  std::vector<std::vector<PixelPoint>> within = laps;
  KeepWithinBudget(within, 20000);
  EXPECT_EQ(within.size(), laps.size());
  for (std::size_t i = 0; i < laps.size(); ++i) {
    ASSERT_EQ(within[i].size(), laps[i].size()) << "a line within the budget is left alone";
  }

  std::vector<std::vector<PixelPoint>> beyond = laps;
  KeepWithinBudget(beyond, 3000);
  ASSERT_EQ(beyond.size(), laps.size());
  std::size_t points = 0;
  for (std::size_t i = 0; i < laps.size(); ++i) {
    points += beyond[i].size();
    // The coarsest tolerance, 4 pixels, after the one-pixel step.
    ExpectShapeKept(laps[i], beyond[i], "lap " + std::to_string(i), 5.0);
  }
  EXPECT_LE(points, 3000u);
  EXPECT_GT(points, 100u * 4);  // still circles
}

}  // namespace
}  // namespace quorvane
