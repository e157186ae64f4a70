// The route flown: segments that begin after breaks, positions off the Earth refused, clearing;
// and text written from it a point at a time.

#include "route/route.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "route/route_text.h"

namespace quorvane {
namespace {

const RoutePoint::Time kNoon{std::chrono::hours(24 * 19860 + 12)};

// The index of every point that begins a segment.
std::vector<std::size_t> SegmentStarts(const Route& route) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < route.Points().size(); ++i) {
    if (route.StartsSegment(i)) {
      starts.push_back(i);
    }
  }
  return starts;
}

TEST(RouteTest, SegmentsBeginAtTheFirstPointAndAtTheFirstAfterABreak) {
  struct Case {
    std::string steps;  // 'p' a point, '|' a break
    std::vector<std::size_t> starts;
  };
  for (const Case& c : {Case{"", {}}, Case{"ppp", {0}}, Case{"|pp", {0}}, Case{"pp|pp", {0, 2}},
                        Case{"p|||p", {0, 1}}, Case{"pp|", {0}}, Case{"pp|p|pp", {0, 2, 3}}}) {
    Route route;
    for (const char step : c.steps) {
      if (step == '|') {
        route.Break();
      } else {
        ASSERT_TRUE(route.Add({50.0, 14.0, kNoon}));
      }
    }
    EXPECT_EQ(SegmentStarts(route), c.starts) << c.steps;
    EXPECT_EQ(route.SegmentCount(), c.starts.size()) << c.steps;
  }
}

TEST(RouteTest, KeepsThePointsInTheOrderFlownWithTheirTimes) {
  Route route;
  ASSERT_TRUE(route.Add({50.1, 14.25, kNoon}));
  ASSERT_TRUE(route.Add({50.1, 14.25, kNoon + std::chrono::seconds(60)}));  // the same place
  ASSERT_EQ(route.Points().size(), 2u);
  EXPECT_EQ(route.Points()[1].latitude, 50.1);
  EXPECT_EQ(route.Points()[1].longitude, 14.25);
  EXPECT_EQ(route.Points()[1].time, kNoon + std::chrono::seconds(60));
}

TEST(RouteTest, TakesTheEdgesOfTheEarthAndRefusesWhatLiesBeyondThemWithABreak) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  Route route;
  for (const auto& [latitude, longitude] :
       {std::pair{90.0, 180.0}, std::pair{-90.0, -180.0}, std::pair{0.0, 0.0}}) {
    EXPECT_TRUE(route.Add({latitude, longitude, kNoon})) << latitude << " " << longitude;
  }
  for (const auto& [latitude, longitude] : {std::pair{90.000001, 0.0}, std::pair{0.0, -180.000001},
                                            std::pair{kNaN, 0.0}, std::pair{0.0, kInfinity}}) {
    EXPECT_FALSE(route.Add({latitude, longitude, kNoon})) << latitude << " " << longitude;
  }
  ASSERT_TRUE(route.Add({1.0, 1.0, kNoon}));
  EXPECT_EQ(route.Points().size(), 4u);
  EXPECT_EQ(SegmentStarts(route), (std::vector<std::size_t>{0, 3}));
}

TEST(RouteTest, ClearForgetsEveryPointAndStartsTheNextSegmentAfresh) {
  Route route;
  route.Add({50.0, 14.0, kNoon});
  route.Break();
  route.Add({50.1, 14.1, kNoon});
  const auto before = route.Generation();
  route.Clear();
  EXPECT_TRUE(route.Points().empty());
  EXPECT_EQ(route.SegmentCount(), 0u);
  EXPECT_NE(route.Generation(), before);
  route.Add({50.2, 14.2, kNoon});
  EXPECT_EQ(SegmentStarts(route), std::vector<std::size_t>{0});
}

// Writes "<index>:<latitude> " for a point, counting the points written.
struct CountingText {
  RouteText::AppendPoint Append() {
    return [this](std::string& text, const Route& route, std::size_t index) {
      ++points_written;
      text += std::to_string(index) + ":" +
              std::to_string(static_cast<int>(route.Points()[index].latitude)) + " ";
    };
  }
  int points_written = 0;
};

TEST(RouteTextTest, WritesEachPointOnceAsTheRouteGrows) {
  Route route;
  CountingText counting;
  RouteText text(route, counting.Append());
  EXPECT_EQ(text.Text(), "");
  route.Add({10.0, 0.0, kNoon});
  route.Add({11.0, 0.0, kNoon});
  EXPECT_EQ(text.Text(), "0:10 1:11 ");
  EXPECT_EQ(text.Text(), "0:10 1:11 ");
  route.Add({12.0, 0.0, kNoon});
  EXPECT_EQ(text.Text(), "0:10 1:11 2:12 ");
  EXPECT_EQ(counting.points_written, 3) << "no point written twice";
}

TEST(RouteTextTest, StartsOverWhenTheRouteIsCleared) {
  Route route;
  route.Add({10.0, 0.0, kNoon});
  route.Add({11.0, 0.0, kNoon});
  CountingText counting;
  RouteText text(route, counting.Append());
  EXPECT_EQ(text.Text(), "0:10 1:11 ") << "points added before the text was made";
  route.Clear();
  EXPECT_EQ(text.Text(), "");
  // As many points as before: the text must still see that the route is another one.
  route.Add({20.0, 0.0, kNoon});
  route.Add({21.0, 0.0, kNoon});
  EXPECT_EQ(text.Text(), "0:20 1:21 ");
}

}  // namespace
}  // namespace quorvane
