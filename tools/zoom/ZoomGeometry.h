#pragma once
// Where the magnifier reads the screen: the rectangle around the cursor that fills the
// zoom window once enlarged, kept inside the virtual desktop, and the part of the
// desktop the zoom window itself covers (painted grey, so that the magnifier never
// magnifies its own picture).

#include <cstdint>

namespace zoom {

struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;

  int32_t Right() const { return x + width; }    // one past the last column
  int32_t Bottom() const { return y + height; }  // one past the last row
  bool IsEmpty() const { return width <= 0 || height <= 0; }
  bool operator==(const Rect&) const = default;
};

// What one magnification needs to know, all in desktop coordinates.
struct ZoomInput {
  Rect virtualScreen;  // the union of every screen
  Rect client;         // the zoom window's client area
  int32_t cursorX = 0;
  int32_t cursorY = 0;
  int32_t zoomFactor = 3;
};

struct ZoomPlan {
  // The desktop rectangle that is stretched over the whole client area.
  Rect source;
  // `source` and the zoom window's own area, both relative to the virtual screen's
  // top-left corner, as they sit in a picture of the whole virtual screen.
  Rect sourceInCapture;
  Rect selfAreaInCapture;
  // The part of `source` the zoom window covers, relative to the source's top-left
  // corner (empty when the window is elsewhere): grey in the magnified picture.
  Rect selfAreaInSource;
};

// The grey the zoom window's own area shows (COLORREF 0x00BBGGRR, the same grey in RGB).
inline constexpr uint32_t kSelfAreaGrey = 0x969696;

// Source size = client size / factor (integer division; a factor below 1 counts as 1).
// Origin = cursor - half the source size, clamped to the virtual screen: first to its
// left and top edges, then to its right and bottom ones, so a source larger than the
// screen starts before the screen rather than running past its far edge.
ZoomPlan PlanMagnification(const ZoomInput& input);

// The overlap of two rectangles; empty (0 x 0 at a's origin) when they do not meet.
Rect Intersect(const Rect& a, const Rect& b);

}  // namespace zoom
