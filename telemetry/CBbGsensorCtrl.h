#pragma once
// The G-sensor graph under the video: the X, Y and Z readings of the whole recording as
// three lines over a 12-column grid, the time axis running from the start to the last
// reading. The main window lines the seek bar up with the plot's ends.

#include <QPoint>
#include <QWidget>
#include <vector>

#include "telemetry/CGSensorData.h"
#include "telemetry/GsensorGeometry.h"

class CBbGsensorCtrl : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kControlId = 1001;

  explicit CBbGsensorCtrl(QWidget* parent);

  int languageIndex = 0;
  int plotLeft = 0;
  int plotTop = 0;
  int plotRight = 0;
  int plotBottom = 0;
  int columnWidth = 0;
  int rowOffset = 0;

  // The readings to draw (the owner's array; null draws the grid only). The array must
  // not change while the graph paints; the owner repaints after refilling it.
  void SetSamples(const std::vector<CGSensorData>* samples);

  // Recomputes the plot rectangle for a client area of width x height.
  void ComputeGeometry(int width, int height) { SetPlotGeometry(ComputeGsensorGeometry(width, height)); }
  void SetPlotGeometry(const GsensorGeometry& geometry);
  int MiddleLine() const { return (plotBottom - 10) / 2 + 10; }

  // The polyline of one axis (0 X, 1 Y, 2 Z) for the current geometry: starts at the
  // plot's left middle, one point per reading, ends at the plot's right edge. Empty
  // when there is no usable time scale.
  std::vector<QPoint> SeriesPoints(int axis) const;

 signals:
  // Right click: the playback popup of `languageIndex` (-1: the whole menu).
  void ContextMenuRequested(int popupIndex, const QPoint& globalPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const std::vector<CGSensorData>* samples = nullptr;
};
