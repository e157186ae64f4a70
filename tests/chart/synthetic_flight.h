#pragma once

// Long made-up flights for the chart's tests and benchmark.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

#include "chart/chart_input.h"

namespace quorvane::testing {

// count points evenly along a line (in degrees) from one point to another, both included;
// longitudes beyond 180 degrees are taken round to -180 and on, so a line may cross the
// antimeridian.
inline std::vector<GeoPoint> Line(GeoPoint from, GeoPoint to, int count) {
  std::vector<GeoPoint> points;
  for (int i = 0; i < count; ++i) {
    const double t = count == 1 ? 0.0 : static_cast<double>(i) / (count - 1);
    const double longitude = from.longitude + t * (to.longitude - from.longitude);
    points.push_back({from.latitude + t * (to.latitude - from.latitude),
                      longitude > 180.0 ? longitude - 360.0 : longitude});
  }
  return points;
}

// A flight of count points from start, one every few seconds at cruising speed: straight legs
// between turns at a standard rate to headings drawn from a fixed pseudo-random sequence, and a
// holding pattern of four laps now and then. The same count gives the same flight.
inline std::vector<GeoPoint> LongFlight(std::size_t count, GeoPoint start = {50.1, 14.25}) {
  constexpr double kStepNm = 0.25;       // 5 s at 180 kt
  constexpr double kTurnPerStep = 15.0;  // 3 degrees a second
  std::vector<GeoPoint> points;
  points.reserve(count);
  GeoPoint at = start;
  double heading = 90.0;
  double target = heading;
  std::uint32_t random = 12345;
  std::size_t hold_left = 0;
  for (std::size_t i = 0; i < count; ++i) {
    points.push_back(at);
    if (hold_left > 0) {
      // Laps of 2 x 12 steps straight and 2 x 12 turning: a racetrack.
      const std::size_t phase = (hold_left-- % 48) / 12;
      if (phase == 1 || phase == 3) {
        heading += 180.0 / 12.0;
      }
    } else if (i % 3000 == 2999) {
      hold_left = 4 * 48;
    } else {
      if (i % 400 == 0) {
        random = random * 1664525u + 1013904223u;
        target = static_cast<double>(random >> 8) / static_cast<double>(1u << 24) * 360.0;
      }
      double turn = std::remainder(target - heading, 360.0);
      turn = std::fmax(-kTurnPerStep, std::fmin(kTurnPerStep, turn));
      heading += turn;
    }
    const double radians = heading * std::numbers::pi / 180.0;
    at.latitude += kStepNm / 60.0 * std::cos(radians);
    at.longitude +=
        kStepNm / 60.0 * std::sin(radians) / std::cos(at.latitude * std::numbers::pi / 180.0);
    at.longitude = std::remainder(at.longitude, 360.0);  // back to -180 to 180
  }
  return points;
}

// Circuits round an airfield at centre, count points in all: every lap a rectangle of 3 by
// 1.5 NM with rounded corners, 240 points a lap, each lap turned a little from the one before
// (the wind changing), so no two laps are drawn on the same pixels.
inline std::vector<GeoPoint> Circuits(std::size_t count, GeoPoint centre = {50.1, 14.25}) {
  constexpr std::size_t kPerLap = 240;
  constexpr double kDegree = std::numbers::pi / 180.0;
  std::vector<GeoPoint> points;
  points.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double lap_turn = static_cast<double>(i / kPerLap) * 0.7 * kDegree;
    // A stadium: two straights of 3 NM and two half circles of 0.75 NM radius.
    const double s = static_cast<double>(i % kPerLap) / kPerLap * (6.0 + 1.5 * std::numbers::pi);
    double x = 0.0;
    double y = 0.0;
    const double half_turn = 0.75 * std::numbers::pi;
    if (s < 3.0) {
      x = -1.5 + s, y = -0.75;
    } else if (s < 3.0 + half_turn) {
      const double a = (s - 3.0) / 0.75;
      x = 1.5 + 0.75 * std::sin(a), y = -0.75 * std::cos(a);
    } else if (s < 6.0 + half_turn) {
      x = 1.5 - (s - 3.0 - half_turn), y = 0.75;
    } else {
      const double a = (s - 6.0 - half_turn) / 0.75;
      x = -1.5 - 0.75 * std::sin(a), y = 0.75 * std::cos(a);
    }
    const double east = x * std::cos(lap_turn) - y * std::sin(lap_turn);
    const double north = x * std::sin(lap_turn) + y * std::cos(lap_turn);
    points.push_back({centre.latitude + north / 60.0,
                      centre.longitude + east / 60.0 / std::cos(centre.latitude * kDegree)});
  }
  return points;
}

}  // namespace quorvane::testing
