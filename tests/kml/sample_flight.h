#pragma once

// A known flight for the route files: the samples of an update cycle around midnight of a leap
// day, with one failed sample and one reconnection. Shared by the tests and by the program that
// writes the expected files.

#include <chrono>
#include <optional>
#include <vector>

#include "kml/route_recorder.h"
#include "sampling/aircraft_fix.h"

namespace quorvane::testing {

// One step of the update cycle: a fix sampled at a time, or a gap (no fix).
struct FlightStep {
  std::optional<AircraftFix> fix;  // none: the sample failed or the link was reopened
  RoutePoint::Time time;
};

// The time of day on a date, in UTC.
inline RoutePoint::Time Utc(std::chrono::year_month_day date, int hours, int minutes, int seconds) {
  return std::chrono::sys_days(date) + std::chrono::hours(hours) + std::chrono::minutes(minutes) +
         std::chrono::seconds(seconds);
}

// A fix with its altitude (metres above mean sea level).
inline AircraftFix FixAt(double latitude, double longitude, double heading, bool moving,
                         double altitude) {
  AircraftFix fix{latitude, longitude, heading, moving};
  fix.AltitudeMetres = altitude;
  return fix;
}

// Two moving fixes up to 23:59:30 on 29 February 2024, a stationary one past midnight, a failed
// sample, two moving fixes, a reconnection after two failed attempts, and one last moving fix:
// three segments of 2, 2 and 1 points, climbing from Prague's runway (380 m) to 50,000 ft.
inline std::vector<FlightStep> KnownFlight() {
  using namespace std::chrono;
  constexpr year_month_day leap_day = 2024y / February / 29;
  constexpr year_month_day next_day = 2024y / March / 1;
  return {
      {FixAt(50.1, 14.25, 245.4, true, 380.0), Utc(leap_day, 23, 58, 30)},
      {FixAt(50.11, 14.26, 250.0, true, 612.5), Utc(leap_day, 23, 59, 30)},
      {FixAt(50.12, 14.27, 250.0, false, 700.0), Utc(next_day, 0, 0, 30)},
      {std::nullopt, Utc(next_day, 0, 1, 30)},
      {FixAt(50.15, 14.3, 260.0, true, 3048.0), Utc(next_day, 0, 2, 30)},
      {FixAt(50.16, 14.31, 261.0, true, 3100.5), Utc(next_day, 0, 3, 30)},
      {std::nullopt, Utc(next_day, 0, 4, 30)},
      {std::nullopt, Utc(next_day, 0, 9, 30)},
      {FixAt(50.2, 14.4, 270.0, true, 15240.0), Utc(next_day, 0, 10, 0)},
  };
}

// Runs the steps through recorder as the update cycle does: each fix is recorded, each gap
// breaks the route.
inline void Fly(RouteRecorder& recorder, const std::vector<FlightStep>& steps) {
  for (const FlightStep& step : steps) {
    if (step.fix) {
      recorder.RecordFix(*step.fix, step.time);
    } else {
      recorder.Break();
    }
  }
}

}  // namespace quorvane::testing
