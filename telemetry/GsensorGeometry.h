#pragma once
// The G-sensor plot rectangle and grid spacing for a graph of a given client size. The
// graph draws from it and the main window lays the seek bar out from the same numbers,
// so that the bar's ends sit on the graph's time axis.

struct GsensorGeometry {
  int plotLeft = 0;
  int plotTop = 0;
  int plotRight = 0;
  int plotBottom = 0;
  int columnWidth = 0;
  int rowOffset = 0;
};

inline constexpr int kGsensorColumns = 12;
inline constexpr int kGsensorLeftMargin = 20;
inline constexpr int kGsensorRightMargin = 10;

GsensorGeometry ComputeGsensorGeometry(int width, int height);
