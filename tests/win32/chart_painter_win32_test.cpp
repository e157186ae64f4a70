// The chart painted with GDI into a memory device context, run under Wine in CI: the route's
// colour where the route runs and not across its gaps, the aircraft, the waiting text, and
// nothing painted outside the chart's rectangle.

#include "chart/win32/chart_painter_win32.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "chart/chart_builder.h"
#include "chart/chart_style.h"
#include "tests/chart/synthetic_flight.h"

namespace quorvane {
namespace {

using testing::Line;
constexpr int kWidth = 605;
constexpr int kHeight = 279;
constexpr COLORREF kUntouched = RGB(255, 0, 255);

// A memory device context holding a 32-bit bitmap of its own, filled with kUntouched.
class MemoryCanvas {
 public:
  MemoryCanvas(int width, int height) : width_(width), height_(height) {
    HDC screen = GetDC(nullptr);
    context_ = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    previous_ = SelectObject(context_, bitmap_);
    HBRUSH fill = CreateSolidBrush(kUntouched);
    RECT all{0, 0, width, height};
    FillRect(context_, &all, fill);
    DeleteObject(fill);
  }
  ~MemoryCanvas() {
    SelectObject(context_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(context_);
  }
  MemoryCanvas(const MemoryCanvas&) = delete;
  MemoryCanvas& operator=(const MemoryCanvas&) = delete;

  HDC Context() const { return context_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  COLORREF Pixel(int x, int y) const { return GetPixel(context_, x, y); }

 private:
  int width_;
  int height_;
  HDC context_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

bool Near(COLORREF pixel, ChartColour colour, int tolerance = 24) {
  return std::abs(GetRValue(pixel) - colour.red) <= tolerance &&
         std::abs(GetGValue(pixel) - colour.green) <= tolerance &&
         std::abs(GetBValue(pixel) - colour.blue) <= tolerance;
}

// Whether a pixel of the colour lies within a pixel of the point (x, y), the picture's origin
// at (left, top).
bool ColourNear(const MemoryCanvas& canvas, int left, int top, PixelPoint point,
                ChartColour colour) {
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const int x = left + static_cast<int>(std::lround(point.x)) + dx;
      const int y = top + static_cast<int>(std::lround(point.y)) + dy;
      if (Near(canvas.Pixel(x, y), colour)) {
        return true;
      }
    }
  }
  return false;
}

TEST(ChartPainterWin32, DrawsTheRouteTheAircraftAndNothingAcrossAGap) {
  ChartInput input;
  input.segments = {Line({50.0, 14.0}, {50.2, 14.2}, 40), Line({50.25, 14.5}, {50.0, 14.8}, 40)};
  input.latest = ChartFix{{50.0, 14.8}, 45.0, 3000.0, 120.0};
  const ChartPicture picture = BuildChartPicture(input, kWidth, kHeight);
  MemoryCanvas canvas(kWidth + 40, kHeight + 60);
  ASSERT_TRUE(PaintChartBuffered(canvas.Context(), 20, 30, picture));

  ASSERT_EQ(picture.route.size(), 2u);
  for (const auto& line : picture.route) {
    for (std::size_t i = 1; i < line.size(); ++i) {
      const PixelPoint middle{(line[i - 1].x + line[i].x) / 2, (line[i - 1].y + line[i].y) / 2};
      EXPECT_TRUE(ColourNear(canvas, 20, 30, middle, chart_style::kRoute)) << i;
    }
  }
  const PixelPoint gap{(picture.route[0].back().x + picture.route[1].front().x) / 2,
                       (picture.route[0].back().y + picture.route[1].front().y) / 2};
  EXPECT_TRUE(ColourNear(canvas, 20, 30, gap, chart_style::kBackground));
  EXPECT_FALSE(ColourNear(canvas, 20, 30, gap, chart_style::kRoute));

  PixelPoint centre{0.0, 0.0};
  for (const PixelPoint& p : picture.aircraft) {
    centre.x += p.x / picture.aircraft.size();
    centre.y += p.y / picture.aircraft.size();
  }
  EXPECT_TRUE(ColourNear(canvas, 20, 30, centre, chart_style::kAircraftFill));

  // The frame on the chart's edge; outside it, nothing.
  EXPECT_TRUE(Near(canvas.Pixel(20, 30), chart_style::kFrame, 0));
  EXPECT_TRUE(Near(canvas.Pixel(20 + kWidth - 1, 30 + kHeight - 1), chart_style::kFrame, 0));
  for (int x = 0; x < canvas.Width(); ++x) {
    EXPECT_EQ(canvas.Pixel(x, 29), kUntouched) << x;
    EXPECT_EQ(canvas.Pixel(x, 30 + kHeight), kUntouched) << x;
  }
  for (int y = 0; y < canvas.Height(); ++y) {
    EXPECT_EQ(canvas.Pixel(19, y), kUntouched) << y;
    EXPECT_EQ(canvas.Pixel(20 + kWidth, y), kUntouched) << y;
  }
}

TEST(ChartPainterWin32, BeforeTheFirstFixOnlyTheWaitingText) {
  ChartInput input;
  input.waiting_text = "Waiting for the simulator";
  const ChartPicture picture = BuildChartPicture(input, kWidth, kHeight);
  MemoryCanvas canvas(kWidth, kHeight);
  ASSERT_TRUE(PaintChartBuffered(canvas.Context(), 0, 0, picture));
  int text = 0;
  int route = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const COLORREF pixel = canvas.Pixel(x, y);
      route += Near(pixel, chart_style::kRoute, 40) ? 1 : 0;
      text += !Near(pixel, chart_style::kBackground, 8) && std::abs(y - kHeight / 2) < 12 &&
                      std::abs(x - kWidth / 2) < 150
                  ? 1
                  : 0;
    }
  }
  EXPECT_EQ(route, 0);
  EXPECT_GT(text, 20);
  EXPECT_TRUE(Near(canvas.Pixel(20, 20), chart_style::kBackground, 0));
}

TEST(ChartPainterWin32, AnEmptyPicturePaintsNothing) {
  MemoryCanvas canvas(10, 10);
  EXPECT_FALSE(PaintChartBuffered(canvas.Context(), 0, 0, ChartPicture{}));
  EXPECT_EQ(canvas.Pixel(0, 0), kUntouched);
}

}  // namespace
}  // namespace quorvane
