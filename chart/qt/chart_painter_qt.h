#pragma once

// Paints the chart's picture with Qt.

#include "chart/chart_picture.h"

class QPainter;

namespace quorvane {

// Paints picture with its top left corner at the painter's origin, antialiased, over the
// rectangle picture.width x picture.height (which it fills). The painter's state is left as it
// was found.
void PaintChart(QPainter& painter, const ChartPicture& picture);

}  // namespace quorvane
