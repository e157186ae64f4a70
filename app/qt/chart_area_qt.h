#pragma once

#include <QWidget>

#include "chart/chart_input.h"

namespace quorvane {

// The chart of the flight in the Qt window: every paint draws the picture of the chart it shows,
// at the widget's size, so a resize or a redraw request (update()) shows the chart as it is.
class ChartAreaQt final : public QWidget {
 public:
  explicit ChartAreaQt(QWidget* parent);
  // The chart to paint, which must outlive this widget; none paints nothing.
  void Show(const ChartInput* chart);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const ChartInput* chart_ = nullptr;
};

}  // namespace quorvane
