#include "tools/zoom/ZoomGeometry.h"

#include <algorithm>

namespace zoom {

namespace {

Rect Shifted(const Rect& r, int32_t dx, int32_t dy) { return {r.x + dx, r.y + dy, r.width, r.height}; }

}  // namespace

Rect Intersect(const Rect& a, const Rect& b) {
  const int32_t left = std::max(a.x, b.x);
  const int32_t top = std::max(a.y, b.y);
  const int32_t right = std::min(a.Right(), b.Right());
  const int32_t bottom = std::min(a.Bottom(), b.Bottom());
  if (right <= left || bottom <= top) return {a.x, a.y, 0, 0};
  return {left, top, right - left, bottom - top};
}

ZoomPlan PlanMagnification(const ZoomInput& input) {
  const int32_t factor = std::max<int32_t>(input.zoomFactor, 1);
  const Rect& screen = input.virtualScreen;
  const int32_t width = std::max<int32_t>(input.client.width, 0) / factor;
  const int32_t height = std::max<int32_t>(input.client.height, 0) / factor;

  int32_t x = input.cursorX - width / 2;
  int32_t y = input.cursorY - height / 2;
  // Lower bound first, then the upper one.
  x = std::max(x, screen.x);
  x = std::min(x, screen.Right() - width);
  y = std::max(y, screen.y);
  y = std::min(y, screen.Bottom() - height);

  ZoomPlan plan;
  plan.source = {x, y, width, height};
  // The picture of the whole virtual screen starts at its top-left corner, wherever
  // that lies: left of the primary screen, above it, or at the origin.
  plan.sourceInCapture = Shifted(plan.source, -screen.x, -screen.y);
  plan.selfAreaInCapture = Shifted(input.client, -screen.x, -screen.y);
  const Rect covered = Intersect(input.client, plan.source);
  plan.selfAreaInSource = covered.IsEmpty() ? Rect{0, 0, 0, 0} : Shifted(covered, -plan.source.x, -plan.source.y);
  return plan;
}

}  // namespace zoom
