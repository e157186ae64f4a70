// The chart painted with Qt into an image, on Qt's off-screen platform: the route's colour where
// the route runs and nowhere else (no line across a gap or the antimeridian), the aircraft, the
// texts, and nothing painted outside the chart's rectangle.

#include "chart/qt/chart_painter_qt.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "chart/chart_builder.h"
#include "chart/chart_style.h"
#include "tests/chart/synthetic_flight.h"

namespace quorvane {
namespace {

using testing::Line;
constexpr int kWidth = 605;
constexpr int kHeight = 279;

ChartInput Flight(std::vector<std::vector<GeoPoint>> segments, GeoPoint aircraft) {
  ChartInput input;
  input.segments = std::move(segments);
  input.latest = ChartFix{aircraft, 45.0, 3000.0, 120.0};
  return input;
}

QImage Paint(const ChartPicture& picture) {
  QImage image(picture.width, picture.height, QImage::Format_RGB32);
  image.fill(Qt::magenta);
  QPainter painter(&image);
  PaintChart(painter, picture);
  return image;
}

bool Near(QRgb pixel, ChartColour colour, int tolerance = 24) {
  return std::abs(qRed(pixel) - colour.red) <= tolerance &&
         std::abs(qGreen(pixel) - colour.green) <= tolerance &&
         std::abs(qBlue(pixel) - colour.blue) <= tolerance;
}

// Whether a pixel of the colour lies within a pixel of the point.
bool ColourNear(const QImage& image, PixelPoint point, ChartColour colour) {
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const int x = static_cast<int>(std::floor(point.x)) + dx;
      const int y = static_cast<int>(std::floor(point.y)) + dy;
      if (image.valid(x, y) && Near(image.pixel(x, y), colour)) {
        return true;
      }
    }
  }
  return false;
}

double DistanceToRoute(const ChartPicture& picture, double x, double y) {
  double nearest = 1e9;
  for (const auto& line : picture.route) {
    for (std::size_t i = 0; i < line.size(); ++i) {
      const PixelPoint a = line[i];
      const PixelPoint b = line[i + 1 < line.size() ? i + 1 : i];
      const double dx = b.x - a.x;
      const double dy = b.y - a.y;
      const double length = dx * dx + dy * dy;
      const double t =
          length == 0.0 ? 0.0 : std::clamp(((x - a.x) * dx + (y - a.y) * dy) / length, 0.0, 1.0);
      nearest = std::min(nearest, std::hypot(x - a.x - t * dx, y - a.y - t * dy));
    }
  }
  return nearest;
}

// Every pixel of the route's colour lies on the route (within its width and a pixel of
// smoothing), so no line is drawn where the route has none.
void ExpectRouteColourOnlyOnTheRoute(const QImage& image, const ChartPicture& picture,
                                     const char* name) {
  int strays = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (Near(image.pixel(x, y), chart_style::kRoute, 40) &&
          DistanceToRoute(picture, x + 0.5, y + 0.5) > 3.0) {
        ++strays;
      }
    }
  }
  EXPECT_EQ(strays, 0) << name;
}

TEST(ChartPainterQt, DrawsTheRouteWhereItRunsAndNothingAcrossItsGaps) {
  const struct {
    const char* name;
    ChartInput input;
  } cases[] = {
      {"two segments",
       Flight({Line({50.0, 14.0}, {50.2, 14.2}, 40), Line({50.25, 14.5}, {50.0, 14.8}, 40)},
              {50.0, 14.8})},
      {"across the antimeridian",
       Flight({Line({-17.0, 178.5}, {-14.0, 188.0}, 200)}, {-14.0, -172.0})},
  };
  for (const auto& c : cases) {
    const ChartPicture picture = BuildChartPicture(c.input, kWidth, kHeight);
    const QImage image = Paint(picture);
    for (const auto& line : picture.route) {
      for (std::size_t i = 1; i < line.size(); ++i) {
        const PixelPoint middle{(line[i - 1].x + line[i].x) / 2, (line[i - 1].y + line[i].y) / 2};
        EXPECT_TRUE(ColourNear(image, middle, chart_style::kRoute)) << c.name << " " << i;
      }
    }
    ExpectRouteColourOnlyOnTheRoute(image, picture, c.name);
    if (picture.route.size() == 2) {
      const PixelPoint gap{(picture.route[0].back().x + picture.route[1].front().x) / 2,
                           (picture.route[0].back().y + picture.route[1].front().y) / 2};
      EXPECT_TRUE(ColourNear(image, gap, chart_style::kBackground)) << c.name;
    }
  }
}

TEST(ChartPainterQt, DrawsTheAircraftALonePointTheScaleBarAndTheFigures) {
  ChartInput input = Flight({Line({50.0, 14.0}, {50.3, 14.0}, 30), {{50.0, 14.3}}}, {50.3, 14.2});
  const ChartPicture picture = BuildChartPicture(input, kWidth, kHeight);
  const QImage image = Paint(picture);
  // The aircraft's middle, a little behind the nose, is filled.
  PixelPoint centre{0.0, 0.0};
  for (const PixelPoint& p : picture.aircraft) {
    centre.x += p.x / picture.aircraft.size();
    centre.y += p.y / picture.aircraft.size();
  }
  EXPECT_TRUE(ColourNear(image, centre, chart_style::kAircraftFill));
  EXPECT_TRUE(ColourNear(image, picture.route.at(1).at(0), chart_style::kRoute));
  const ChartScaleBar& bar = picture.scale_bar;
  EXPECT_TRUE(
      ColourNear(image, {(bar.left.x + bar.right.x) / 2, bar.left.y}, chart_style::kScaleBar));
  // Text in the figures' box: some pixels dark.
  const PixelRect box = picture.figures.box;
  int dark = 0;
  for (int y = box.top; y < box.top + box.height; ++y) {
    for (int x = box.left; x < box.left + box.width; ++x) {
      dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    }
  }
  EXPECT_GT(dark, 50);
}

TEST(ChartPainterQt, BeforeTheFirstFixOnlyTheWaitingText) {
  ChartInput input;
  input.waiting_text = "Waiting for the simulator";
  const ChartPicture picture = BuildChartPicture(input, kWidth, kHeight);
  const QImage image = Paint(picture);
  int text = 0;
  int route = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const QRgb pixel = image.pixel(x, y);
      route += Near(pixel, chart_style::kRoute, 40) ? 1 : 0;
      text += Near(pixel, chart_style::kWaitingText, 16) && std::abs(y - kHeight / 2) < 12 &&
                      std::abs(x - kWidth / 2) < 150
                  ? 1
                  : 0;
    }
  }
  EXPECT_EQ(route, 0);
  EXPECT_GT(text, 20);
  EXPECT_TRUE(Near(image.pixel(20, 20), chart_style::kBackground, 0));
  EXPECT_TRUE(Near(image.pixel(0, 0), chart_style::kFrame, 0));
}

TEST(ChartPainterQt, PaintsAtThePaintersOriginAndNothingOutside) {
  ChartPicture picture =
      BuildChartPicture(Flight({Line({50.0, 14.0}, {50.3, 14.4}, 30)}, {50.3, 14.4}), 200, 120);
  // Even a line running off the chart stays within it.
  picture.route.push_back({{-40.0, -40.0}, {100.0, 60.0}, {260.0, 200.0}});
  QImage image(260, 200, QImage::Format_RGB32);
  image.fill(Qt::magenta);
  QPainter painter(&image);
  painter.translate(30, 50);
  PaintChart(painter, picture);
  // The painter's state as it was.
  EXPECT_EQ(painter.transform(), QTransform::fromTranslate(30, 50));
  EXPECT_FALSE(painter.hasClipping());
  EXPECT_FALSE(painter.testRenderHint(QPainter::Antialiasing));
  painter.end();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const bool inside = x >= 30 && x < 230 && y >= 50 && y < 170;
      EXPECT_EQ(image.pixel(x, y) == QColor(Qt::magenta).rgb(), !inside) << x << ", " << y;
    }
  }
  EXPECT_TRUE(Near(image.pixel(30, 50), chart_style::kFrame, 0));
  EXPECT_TRUE(Near(image.pixel(229, 169), chart_style::kFrame, 0));  // the line stops inside
}

}  // namespace
}  // namespace quorvane

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
