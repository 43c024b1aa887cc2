#pragma once
// The map window's frame in numbers: which sizing border a point of its client area
// is on, and the window rectangle an edge drag gives, never below the minimum size.

namespace mapview {

struct FrameRect {
  int left = 0;
  int top = 0;
  int right = 0;  // exclusive, as window rectangles are
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const FrameRect&) const = default;
};

enum class FrameGrip { None, Left, Top, Right, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

inline constexpr int kMapDlgBorder = 10;
inline constexpr int kMapDlgMinimumSize = 300;

// The sizing border under (x, y) of a client area width x height: the four 10 x 10
// corners first, then the left, top, right and bottom bands; None elsewhere.
FrameGrip GripAt(int x, int y, int width, int height);

// `start` with the mouse offset (dx, dy) added to the edges `grip` drags. A dragged
// edge stops where the window would become narrower or lower than `minimum`; the
// opposite edge never moves.
FrameRect DragEdges(const FrameRect& start, FrameGrip grip, int dx, int dy, int minimum = kMapDlgMinimumSize);

bool GripsLeft(FrameGrip grip);
bool GripsTop(FrameGrip grip);
bool GripsRight(FrameGrip grip);
bool GripsBottom(FrameGrip grip);

}  // namespace mapview
