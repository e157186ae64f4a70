#pragma once

// The chart as a picture any toolkit can paint: shapes in pixels, measured from the chart's top
// left corner (x to the right, y down), and texts in boxes. The painters take colours, line
// widths and fonts from chart_style.h, so every toolkit shows the same picture.

#include <string>
#include <vector>

namespace quorvane {

// A point in pixels; fractions are kept for painters that smooth their lines.
struct PixelPoint {
  double x = 0.0;
  double y = 0.0;
};

// A rectangle in whole pixels.
struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// How a text sits in its box. Every text is centred vertically.
enum class TextAlign { Left, Center, Right };

// One text of the picture (UTF-8); nothing is drawn when it is empty. A single-line text that
// does not fit its box is cut with an ellipsis; a wrapped one breaks between words.
struct ChartText {
  std::string text;
  PixelRect box;
  TextAlign align = TextAlign::Left;
  bool wrap = false;
};

// The scale bar: a line of a round length with a tick up at each end, and its label above.
struct ChartScaleBar {
  bool shown = false;
  PixelPoint left;  // the bar's ends, on one row
  PixelPoint right;
  double length_nm = 0.0;  // the distance the bar stands for
  ChartText label;         // e.g. "5 NM"
};

// The whole chart, in the order painters draw it.
struct ChartPicture {
  int width = 0;
  int height = 0;
  // The route: one polyline per drawn piece (a lone point is a polyline of one point, drawn as a
  // dot). Nothing joins one polyline to the next.
  std::vector<std::vector<PixelPoint>> route;
  // The aircraft: a closed polygon turned to its heading; empty without a fix.
  std::vector<PixelPoint> aircraft;
  ChartScaleBar scale_bar;
  // One line of figures: altitude, ground speed, points, how long ago the update was.
  ChartText figures;
  // The text shown before the first fix, in the middle of the chart.
  ChartText waiting;
};

}  // namespace quorvane
