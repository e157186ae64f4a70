#pragma once

// Paints the chart's picture with GDI.

#include <windows.h>

#include "chart/chart_picture.h"

namespace quorvane {

// Paints picture into context with its top left corner at (left, top), over the rectangle
// picture.width x picture.height (which it fills). The picture is painted into an off-screen
// bitmap first and copied in one step, so a window repainted after every fix never flickers.
// Returns false, painting nothing, when the off-screen bitmap cannot be made (GDI out of
// resources) or the picture is empty.
bool PaintChartBuffered(HDC context, int left, int top, const ChartPicture& picture);

}  // namespace quorvane
