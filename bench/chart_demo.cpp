// Paints the chart of a flight with the Qt painter into a PNG, to look at:
//   chart_demo OUTPUT.png [RECORDING | long | waiting] [WIDTHxHEIGHT]
// RECORDING is a FlightGear recording, one fix a line: "lat,lon,alt_ft,heading,magvar,gs_kt";
// "long" is a made-up flight of 100,000 points; "waiting" is the chart before the first fix.
// The size defaults to the window's chart area at the window's designed size (593 x 275).

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "app/window_layout.h"
#include "chart/chart_builder.h"
#include "chart/qt/chart_painter_qt.h"
#include "tests/chart/synthetic_flight.h"

namespace {

using namespace quorvane;
using namespace std::chrono_literals;

bool ReadRecording(const std::string& path, ChartInput& input) {
  std::ifstream file(path);
  if (!file) {
    return false;
  }
  std::vector<GeoPoint> points;
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream fields(line);
    double values[6];
    char comma;
    if (fields >> values[0] >> comma >> values[1] >> comma >> values[2] >> comma >> values[3] >>
        comma >> values[4] >> comma >> values[5]) {
      points.push_back({values[0], values[1]});
      input.latest = ChartFix{{values[0], values[1]}, values[3], values[2], values[5]};
    }
  }
  input.segments = {points};
  return !points.empty();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: chart_demo OUTPUT.png [RECORDING | long | waiting] [WxH]\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const std::string source = argc > 2 ? argv[2] : "long";
  constexpr quorvane::layout::Box kArea = quorvane::layout::ChartBox(
      quorvane::layout::kClientWidth,
      quorvane::layout::kClientHeight - quorvane::layout::kStatusBarHeight);
  int width = kArea.width;
  int height = kArea.height;
  if (argc > 3 && std::sscanf(argv[3], "%dx%d", &width, &height) != 2) {
    std::fprintf(stderr, "size: WIDTHxHEIGHT\n");
    return 2;
  }

  ChartInput input;
  input.now = std::chrono::system_clock::now();
  input.last_update = input.now - 12s;
  input.waiting_text = "Waiting for the simulator: start it with FSUIPC, or FlightGear";
  if (source == "long") {
    const std::vector<GeoPoint> flight = testing::LongFlight(100000);
    input.segments = {std::vector<GeoPoint>(flight.begin(), flight.begin() + 70000),
                      std::vector<GeoPoint>(flight.begin() + 70200, flight.end())};
    input.latest = ChartFix{flight.back(), 90.0, 35000.0, 450.0};
  } else if (source != "waiting" && !ReadRecording(source, input)) {
    std::fprintf(stderr, "cannot read %s\n", source.c_str());
    return 1;
  }
  if (source == "waiting") {
    input.last_update.reset();
  }

  QImage image(width, height, QImage::Format_RGB32);
  QPainter painter(&image);
  PaintChart(painter, BuildChartPicture(input, width, height));
  painter.end();
  return image.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
