// The line of figures under the chart: rounding, what is left out when unknown, and how long
// ago the update was, from a clock passed in.

#include "chart/chart_figures.h"

#include <gtest/gtest.h>

#include <limits>

namespace quorvane {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::system_clock;

const Clock::time_point kNoon = Clock::time_point{} + 19000 * 24h + 12h;

TEST(ChartFigures, UpdateAgeInSecondsThenMinutesThenHours) {
  struct Case {
    Clock::duration elapsed;
    const char* text;
  };
  for (const Case& c :
       {Case{0s, "just now"}, Case{999ms, "just now"}, Case{-5s, "just now"}, Case{1s, "1 s ago"},
        Case{12s, "12 s ago"}, Case{119s, "119 s ago"}, Case{120s, "2 min ago"},
        Case{179s, "2 min ago"}, Case{3599s, "59 min ago"}, Case{1h, "1 h 0 min ago"},
        Case{2h + 5min + 59s, "2 h 5 min ago"}, Case{50h, "50 h 0 min ago"}}) {
    EXPECT_EQ(UpdatedAgoText(c.elapsed), c.text)
        << std::chrono::duration_cast<std::chrono::milliseconds>(c.elapsed).count();
  }
}

TEST(ChartFigures, RoundedFiguresLeavingOutWhatIsUnknown) {
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  struct Case {
    std::optional<double> altitude;
    std::optional<double> speed;
    std::size_t points;
    std::optional<Clock::time_point> updated;
    const char* text;
  };
  for (const Case& c : {
           Case{3001.7, 110.4, 300, kNoon - 12s,
                "3002 ft   GS 110 kt   300 points   updated 12 s ago"},
           Case{-1200.4, 0.0, 1, kNoon, "-1200 ft   GS 0 kt   1 point   updated just now"},
           Case{std::nullopt, std::nullopt, 0, std::nullopt, "0 points"},
           Case{std::nullopt, 250.5, 2, kNoon - 3min, "GS 251 kt   2 points   updated 3 min ago"},
           Case{kNan, kInfinity, 5, std::nullopt, "5 points"},
           Case{1e300, -1e300, 5, std::nullopt, "5 points"},  // no aircraft's figures
           Case{35000.0, 480.0, 100000, kNoon + 10s,          // a clock set back after the update
                "35000 ft   GS 480 kt   100000 points   updated just now"},
       }) {
    EXPECT_EQ(ChartFiguresText(c.altitude, c.speed, c.points, c.updated, kNoon), c.text);
  }
}

}  // namespace
}  // namespace quorvane
