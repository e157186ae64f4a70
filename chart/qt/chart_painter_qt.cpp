#include "chart/qt/chart_painter_qt.h"

#include <QFont>
#include <QFontMetrics>
#include <QLineF>
#include <QPainter>
#include <QPolygonF>
#include <QVector>

#include "chart/chart_style.h"

namespace quorvane {

namespace {

QColor ToQColor(ChartColour colour) {
  return QColor(colour.red, colour.green, colour.blue);
}

QPolygonF ToPolygon(const std::vector<PixelPoint>& points) {
  QPolygonF polygon;
  polygon.reserve(static_cast<qsizetype>(points.size()));
  for (const PixelPoint& point : points) {
    polygon.append(QPointF(point.x, point.y));
  }
  return polygon;
}

QFont ChartFont(int pixel_size) {
  QFont font;
  font.setFamilies({"Segoe UI", "Tahoma", "Liberation Sans", "Arial", "DejaVu Sans"});
  font.setPixelSize(pixel_size);
  return font;
}

void DrawText(QPainter& painter, const ChartText& text, int pixel_size, ChartColour colour) {
  if (text.text.empty() || text.box.width <= 0 || text.box.height <= 0) {
    return;
  }
  const QFont font = ChartFont(pixel_size);
  painter.setFont(font);
  painter.setPen(ToQColor(colour));
  const QRect box(text.box.left, text.box.top, text.box.width, text.box.height);
  const Qt::Alignment horizontal = text.align == TextAlign::Left    ? Qt::AlignLeft
                                   : text.align == TextAlign::Right ? Qt::AlignRight
                                                                    : Qt::AlignHCenter;
  QString content = QString::fromUtf8(text.text.data(), static_cast<qsizetype>(text.text.size()));
  int flags = horizontal | Qt::AlignVCenter;
  if (text.wrap) {
    flags |= Qt::TextWordWrap;
  } else {
    content = QFontMetrics(font).elidedText(content, Qt::ElideRight, box.width());
  }
  painter.drawText(box, flags, content);
}

void DrawRoute(QPainter& painter, const ChartPicture& picture) {
  // The route as separate lines with square ends, which cover the joins: Qt strokes a wide
  // smoothed polyline as one outline, and a long route that crosses itself many times made
  // that outline ten times slower to fill.
  painter.setPen(
      QPen(ToQColor(chart_style::kRoute), chart_style::kRouteWidth, Qt::SolidLine, Qt::SquareCap));
  painter.setBrush(Qt::NoBrush);
  QVector<QLineF> lines;
  for (const std::vector<PixelPoint>& line : picture.route) {
    for (std::size_t i = 1; i < line.size(); ++i) {
      lines.append(QLineF(line[i - 1].x, line[i - 1].y, line[i].x, line[i].y));
    }
  }
  painter.drawLines(lines);
  // A lone point: a dot a little wider than the line, so that it is seen.
  painter.setPen(Qt::NoPen);
  painter.setBrush(ToQColor(chart_style::kRoute));
  const double radius = chart_style::kLonePointDiameter / 2.0;
  for (const std::vector<PixelPoint>& line : picture.route) {
    if (line.size() == 1) {
      painter.drawEllipse(QPointF(line.front().x, line.front().y), radius, radius);
    }
  }
}

void DrawScaleBar(QPainter& painter, const ChartScaleBar& bar) {
  if (!bar.shown) {
    return;
  }
  painter.setPen(QPen(ToQColor(chart_style::kScaleBar), chart_style::kScaleBarWidth, Qt::SolidLine,
                      Qt::FlatCap, Qt::MiterJoin));
  painter.setBrush(Qt::NoBrush);
  const double tick = chart_style::kScaleBarTick;
  const QPointF bar_points[] = {{bar.left.x, bar.left.y - tick},
                                {bar.left.x, bar.left.y},
                                {bar.right.x, bar.right.y},
                                {bar.right.x, bar.right.y - tick}};
  painter.drawPolyline(bar_points, 4);
  DrawText(painter, bar.label, chart_style::kTextPixelSize, chart_style::kText);
}

}  // namespace

void PaintChart(QPainter& painter, const ChartPicture& picture) {
  painter.save();
  const QRect whole(0, 0, picture.width, picture.height);
  painter.fillRect(whole, ToQColor(chart_style::kBackground));
  if (picture.width > 1 && picture.height > 1) {
    // A crisp frame on the pixels along the edges: drawn before smoothing is turned on.
    painter.setPen(QPen(ToQColor(chart_style::kFrame), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(whole.adjusted(0, 0, -1, -1));
  }
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.setClipRect(whole.adjusted(1, 1, -1, -1));

  DrawRoute(painter, picture);
  if (!picture.aircraft.empty()) {
    painter.setPen(QPen(ToQColor(chart_style::kAircraftOutline), chart_style::kAircraftOutlineWidth,
                        Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.setBrush(ToQColor(chart_style::kAircraftFill));
    painter.drawPolygon(ToPolygon(picture.aircraft));
  }
  DrawScaleBar(painter, picture.scale_bar);
  DrawText(painter, picture.figures, chart_style::kTextPixelSize, chart_style::kText);
  DrawText(painter, picture.waiting, chart_style::kWaitingTextPixelSize, chart_style::kWaitingText);
  painter.restore();
}

}  // namespace quorvane
