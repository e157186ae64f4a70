// One redraw of the flight's chart: the picture built from the route (projection, thinning,
// layout) and painted with the Qt painter, off-screen, into an image of the window's chart area.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "app/window_layout.h"
#include "chart/chart_builder.h"
#include "chart/qt/chart_painter_qt.h"
#include "tests/chart/synthetic_flight.h"

namespace {

using namespace quorvane;
using namespace std::chrono_literals;

// The chart's area in the window at its designed size.
constexpr layout::Box kArea =
    layout::ChartBox(layout::kClientWidth, layout::kClientHeight - layout::kStatusBarHeight);
constexpr int kWidth = kArea.width;
constexpr int kHeight = kArea.height;

// The routes measured: a long flight across country, and circuits flown round an airfield, every
// lap a little turned from the last, whose thinned route keeps many more vertices.
enum Route { kCrossCountry, kCircuits };

ChartInput FlightOf(std::size_t points, Route route = kCrossCountry) {
  ChartInput input;
  const std::size_t count = points == 0 ? 1 : points;
  const std::vector<GeoPoint> flight =
      route == kCircuits ? testing::Circuits(count) : testing::LongFlight(count);
  if (points > 0) {
    input.segments = {flight};
  }
  input.latest = ChartFix{flight.back(), 90.0, 35000.0, 450.0};
  input.now = std::chrono::system_clock::time_point{} + 1000h;
  input.last_update = input.now - 12s;
  return input;
}

// The picture alone.
void BM_ChartPictureBuilt(benchmark::State& state) {
  const ChartInput input = FlightOf(static_cast<std::size_t>(state.range(0)));
  std::size_t vertices = 0;
  for (auto _ : state) {
    const ChartPicture picture = BuildChartPicture(input, kWidth, kHeight);
    vertices = 0;
    for (const auto& line : picture.route) {
      vertices += line.size();
    }
    benchmark::DoNotOptimize(vertices);
  }
  state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(BM_ChartPictureBuilt)->Arg(0)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The painting alone, of a picture built beforehand.
void BM_ChartPainted(benchmark::State& state) {
  const ChartPicture picture =
      BuildChartPicture(FlightOf(static_cast<std::size_t>(state.range(0))), kWidth, kHeight);
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&image);
    PaintChart(painter, picture);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_ChartPainted)->Arg(0)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One whole redraw: built and painted, as after every fix and on every resize. With no route
// (only the aircraft, the scale bar and the figures) it is the baseline every redraw pays.
void BM_ChartRedrawn(benchmark::State& state) {
  const ChartInput input = FlightOf(static_cast<std::size_t>(state.range(0)));
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&image);
    PaintChart(painter, BuildChartPicture(input, kWidth, kHeight));
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_ChartRedrawn)->Arg(0)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same of circuits, with the thinned route's vertices.
void BM_CircuitsRedrawn(benchmark::State& state) {
  const ChartInput input = FlightOf(static_cast<std::size_t>(state.range(0)), kCircuits);
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  std::size_t vertices = 0;
  for (auto _ : state) {
    const ChartPicture picture = BuildChartPicture(input, kWidth, kHeight);
    QPainter painter(&image);
    PaintChart(painter, picture);
    painter.end();
    vertices = 0;
    for (const auto& line : picture.route) {
      vertices += line.size();
    }
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(BM_CircuitsRedrawn)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
