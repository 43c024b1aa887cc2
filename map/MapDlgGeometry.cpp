#include "map/MapDlgGeometry.h"

#include <algorithm>

namespace mapview {

FrameGrip GripAt(int x, int y, int width, int height) {
  const bool left = x < kMapDlgBorder;
  const bool right = x >= width - kMapDlgBorder;
  const bool top = y < kMapDlgBorder;
  const bool bottom = y >= height - kMapDlgBorder;
  if (top && left) return FrameGrip::TopLeft;
  if (top && right) return FrameGrip::TopRight;
  if (bottom && left) return FrameGrip::BottomLeft;
  if (bottom && right) return FrameGrip::BottomRight;
  if (left) return FrameGrip::Left;
  if (top) return FrameGrip::Top;
  if (right) return FrameGrip::Right;
  if (bottom) return FrameGrip::Bottom;
  return FrameGrip::None;
}

bool GripsLeft(FrameGrip grip) {
  return grip == FrameGrip::Left || grip == FrameGrip::TopLeft || grip == FrameGrip::BottomLeft;
}
bool GripsTop(FrameGrip grip) {
  return grip == FrameGrip::Top || grip == FrameGrip::TopLeft || grip == FrameGrip::TopRight;
}
bool GripsRight(FrameGrip grip) {
  return grip == FrameGrip::Right || grip == FrameGrip::TopRight || grip == FrameGrip::BottomRight;
}
bool GripsBottom(FrameGrip grip) {
  return grip == FrameGrip::Bottom || grip == FrameGrip::BottomLeft || grip == FrameGrip::BottomRight;
}

FrameRect DragEdges(const FrameRect& start, FrameGrip grip, int dx, int dy, int minimum) {
  FrameRect r = start;
  if (GripsLeft(grip)) r.left = std::min(start.left + dx, start.right - minimum);
  if (GripsRight(grip)) r.right = std::max(start.right + dx, start.left + minimum);
  if (GripsTop(grip)) r.top = std::min(start.top + dy, start.bottom - minimum);
  if (GripsBottom(grip)) r.bottom = std::max(start.bottom + dy, start.top + minimum);
  return r;
}

}  // namespace mapview
