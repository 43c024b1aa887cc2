#include "telemetry/GsensorGeometry.h"

GsensorGeometry ComputeGsensorGeometry(int width, int height) {
  GsensorGeometry g;
  g.plotLeft = kGsensorLeftMargin;
  g.plotTop = 10;
  g.plotBottom = height - 5;
  g.columnWidth = (width - kGsensorRightMargin - kGsensorLeftMargin) / kGsensorColumns;
  g.plotRight = kGsensorLeftMargin + kGsensorColumns * g.columnWidth;
  g.rowOffset = (g.plotBottom - 10) / 4 + 5;
  return g;
}
