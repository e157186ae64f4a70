#include "chart/chart_builder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "chart/aircraft_symbol.h"
#include "chart/chart_figures.h"
#include "chart/chart_projection.h"
#include "chart/polyline_thinner.h"
#include "chart/scale_bar.h"

namespace quorvane {

namespace {

using namespace chart_layout;

// The room the scale bar's label is given, left of the bar: enough for "0.005 NM".
constexpr int kScaleLabelWidth = 64;

// A position on the Earth; anything else (a fault of the source) is left out of the chart.
bool OnEarth(const GeoPoint& point) {
  return std::isfinite(point.latitude) && std::isfinite(point.longitude) &&
         std::fabs(point.latitude) <= 90.0 && std::fabs(point.longitude) <= 180.0;
}

// Calls visit(latitude, continuous longitude) for every point of the route on the Earth, with
// break_line() between points that no line joins, then aircraft(latitude, continuous longitude)
// for the aircraft's position when it is on the Earth. The same walk gives the same continuous
// longitudes every time, so the box and the drawing agree.
template <typename Visit, typename Break, typename Aircraft>
void WalkRoute(const ChartInput& input, Visit visit, Break break_line, Aircraft aircraft) {
  LongitudeUnwrapper unwrapper;
  for (const std::vector<GeoPoint>& segment : input.segments) {
    for (const GeoPoint& point : segment) {
      if (OnEarth(point)) {
        visit(point.latitude, unwrapper.Next(point.longitude));
      } else {
        break_line();
      }
    }
    break_line();
  }
  if (input.latest && OnEarth(input.latest->position)) {
    // Continuous with the route's last point, so the aircraft stands where the route ends.
    const GeoPoint& position = input.latest->position;
    aircraft(position.latitude, unwrapper.Next(position.longitude));
  }
}

void PlaceScaleBar(ChartPicture& picture, double pixels_per_nm) {
  const ScaleBarLength length = ChooseScaleBar(pixels_per_nm, picture.width * kScaleBarShare);
  if (length.pixels <= 0.0) {
    return;
  }
  const double right = picture.width - kMargin;
  const double row = picture.height - 7;
  ChartScaleBar& bar = picture.scale_bar;
  bar.shown = true;
  bar.left = {right - length.pixels, row};
  bar.right = {right, row};
  bar.length_nm = length.nautical_miles;
  bar.label.text = length.label;
  bar.label.box = {static_cast<int>(std::floor(bar.left.x)) - 6 - kScaleLabelWidth,
                   picture.height - kStripHeight, kScaleLabelWidth, kStripHeight - 2};
  bar.label.align = TextAlign::Right;
}

}  // namespace

ChartPicture BuildChartPicture(const ChartInput& input, int width, int height) {
  ChartPicture picture;
  picture.width = std::max(width, 0);
  picture.height = std::max(height, 0);
  const PixelArea area{kMargin, kMargin, picture.width - 2.0 * kMargin,
                       picture.height - 2.0 * kMargin - kStripHeight};
  if (area.width <= 0.0 || area.height <= 0.0) {
    return picture;
  }

  GeoBox box;
  std::size_t points = 0;
  const auto add_to_box = [&](double latitude, double longitude) { box.Add(latitude, longitude); };
  WalkRoute(
      input,
      [&](double latitude, double longitude) {
        add_to_box(latitude, longitude);
        ++points;
      },
      [] {}, add_to_box);
  if (box.empty) {
    picture.waiting = {
        input.waiting_text,
        {kMargin, kMargin, picture.width - 2 * kMargin, picture.height - 2 * kMargin},
        TextAlign::Center,
        true};
    return picture;
  }

  const ChartProjection projection(box, area, kMinimumSpanNm);
  PolylineThinner thinner;
  WalkRoute(
      input,
      [&](double latitude, double longitude) {
        thinner.Add(projection.ToPixels(latitude, longitude));
      },
      [&] {
        std::vector<PixelPoint> line = thinner.Take();
        if (!line.empty()) {
          picture.route.push_back(std::move(line));
        }
      },
      [&](double latitude, double longitude) {
        picture.aircraft =
            AircraftSymbol(projection.ToPixels(latitude, longitude), input.latest->heading);
      });
  KeepWithinBudget(picture.route, kRoutePointBudget);

  PlaceScaleBar(picture, projection.PixelsPerNauticalMile());
  const int figures_right =
      picture.scale_bar.shown ? picture.scale_bar.label.box.left : picture.width - kMargin;
  picture.figures.box = {kMargin - 4, picture.height - kStripHeight,
                         std::max(figures_right - (kMargin - 4) - 8, 0), kStripHeight - 2};
  const std::optional<double> altitude = input.latest ? input.latest->altitude_feet : std::nullopt;
  const std::optional<double> speed =
      input.latest ? input.latest->ground_speed_knots : std::nullopt;
  picture.figures.text = ChartFiguresText(altitude, speed, points, input.last_update, input.now);
  return picture;
}

}  // namespace quorvane
