#pragma once

// The look of the chart, shared by every painter so that all toolkits show the same picture.

#include <cstdint>

namespace quorvane {

// A colour as red, green and blue, 0 to 255.
struct ChartColour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

namespace chart_style {

// The chart's ground and its one-pixel frame.
inline constexpr ChartColour kBackground{250, 251, 252};
inline constexpr ChartColour kFrame{176, 182, 190};
// The route.
inline constexpr ChartColour kRoute{28, 99, 196};
inline constexpr int kRouteWidth = 2;
// A piece of route of one point (a lone fix between two breaks) is a dot this wide.
inline constexpr int kLonePointDiameter = 4;
// The aircraft: filled, with a light outline that keeps it apart from the route beneath it.
inline constexpr ChartColour kAircraftFill{214, 69, 20};
inline constexpr ChartColour kAircraftOutline{255, 255, 255};
inline constexpr int kAircraftOutlineWidth = 1;
// The scale bar and its label.
inline constexpr ChartColour kScaleBar{48, 48, 48};
inline constexpr int kScaleBarWidth = 2;
// The tick up at each end of the scale bar, in pixels.
inline constexpr int kScaleBarTick = 5;
// The texts: the figures and the scale bar's label, and the waiting text.
inline constexpr ChartColour kText{40, 40, 40};
inline constexpr ChartColour kWaitingText{96, 100, 108};
inline constexpr int kTextPixelSize = 12;
inline constexpr int kWaitingTextPixelSize = 13;

}  // namespace chart_style
}  // namespace quorvane
