#include "telemetry/CBbGsensorCtrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "controls/CMemoryDC.h"
#include "controls/ControlId.h"
#include "controls/PopupMenus.h"
#include "controls/SkinFont.h"
#include "controls/SkinPalette.h"

namespace {
constexpr COLORREF kGrid = 0x787878;
constexpr double kRawToG = 0.0315;
constexpr int kLabelHeight = 10;
}  // namespace

CBbGsensorCtrl::CBbGsensorCtrl(QWidget* parent) : QWidget(parent) {
  SetControlId(this, kControlId);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(600, 100);
}

void CBbGsensorCtrl::SetSamples(const std::vector<CGSensorData>* readings) {
  samples = readings;
  update();
}

void CBbGsensorCtrl::SetPlotGeometry(const GsensorGeometry& g) {
  plotLeft = g.plotLeft;
  plotTop = g.plotTop;
  plotRight = g.plotRight;
  plotBottom = g.plotBottom;
  columnWidth = g.columnWidth;
  rowOffset = g.rowOffset;
}

std::vector<QPoint> CBbGsensorCtrl::SeriesPoints(int axis) const {
  std::vector<QPoint> points;
  if (!samples || samples->empty() || axis < 0 || axis > 2) return points;
  const int half = (plotBottom - plotTop) / 2;
  const int mid = plotTop + half;
  const int lastTime = samples->back().recordTime;
  // A recording whose readings all sit at time 0 (or before) has no time axis.
  if (lastTime <= 0) return points;
  const double xScale = static_cast<double>(plotRight - plotLeft) / lastTime;
  const double yScale = half * 0.5;
  points.emplace_back(plotLeft, mid);
  int lastY = mid;
  for (const CGSensorData& sample : *samples) {
    if (sample.recordTime > lastTime) continue;
    const int raw = axis == 0 ? sample.x : axis == 1 ? sample.y : sample.z;
    const int x = static_cast<int>(std::trunc(xScale * sample.recordTime + plotLeft));
    lastY = static_cast<int>(std::trunc(mid - raw * kRawToG * yScale));
    points.emplace_back(x, lastY);
  }
  points.emplace_back(plotRight, lastY);
  return points;
}

void CBbGsensorCtrl::paintEvent(QPaintEvent*) {
  CMemoryDC buffer;
  if (!buffer.Create(this, width(), height())) return;
  ComputeGeometry(width(), height());
  QPainter& p = buffer.Painter();
  p.fillRect(rect(), skin::ToColor(skin::kWindowBackground));

  const QColor grid = skin::ToColor(kGrid);
  p.setPen(QPen(grid, 1, Qt::SolidLine));
  p.drawLine(plotLeft, plotTop, plotLeft, plotBottom);
  p.drawLine(plotRight, plotTop, plotRight, plotBottom);
  p.setPen(QPen(grid, 1, Qt::DotLine));
  for (int i = 1; i < kGsensorColumns; ++i) {
    const int x = plotLeft + i * columnWidth;
    p.drawLine(x, plotTop, x, plotBottom);
  }
  const int middle = MiddleLine();
  for (int y : {middle - rowOffset, middle, middle + rowOffset}) p.drawLine(plotLeft, y, plotRight, y);

  const QFont font = skin::SkinFont(kLabelHeight);
  p.setFont(font);
  p.setPen(grid);
  const int ascent = QFontMetrics(font).ascent();
  p.drawText(plotLeft - 10, plotTop - 5 + ascent, QStringLiteral("2"));
  p.drawText(plotLeft - 10, middle - 5 + ascent, QStringLiteral("0"));
  p.drawText(plotLeft - 14, plotBottom - 5 + ascent, QStringLiteral("-2"));

  for (int axis = 0; axis < 3; ++axis) {
    const std::vector<QPoint> points = SeriesPoints(axis);
    if (points.size() < 2) continue;
    p.setPen(QPen(skin::ToColor(skin::kGsensorAxisColours[axis]), 1, Qt::SolidLine));
    p.drawPolyline(points.data(), static_cast<int>(points.size()));
  }
  QPainter painter(this);
  buffer.CopyTo(painter);
}

void CBbGsensorCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    emit ContextMenuRequested(PlaybackPopupIndex(languageIndex), event->globalPosition().toPoint());
  }
  QWidget::mousePressEvent(event);
}
