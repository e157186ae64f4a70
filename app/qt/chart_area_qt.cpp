#include "app/qt/chart_area_qt.h"

#include <QPainter>

#include "chart/chart_builder.h"
#include "chart/qt/chart_painter_qt.h"

namespace quorvane {

ChartAreaQt::ChartAreaQt(QWidget* parent) : QWidget(parent) {
  // The picture fills the whole area: Qt need not clear it first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartAreaQt::Show(const ChartInput* chart) {
  chart_ = chart;
  update();
}

void ChartAreaQt::paintEvent(QPaintEvent*) {
  if (chart_ == nullptr) {
    return;
  }
  QPainter painter(this);
  PaintChart(painter, BuildChartPicture(*chart_, width(), height()));
}

}  // namespace quorvane
