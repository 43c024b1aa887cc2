#include "tools/export/ClipSettings.h"

#include <algorithm>
#include <cmath>

namespace clipexport {

namespace {

struct LayoutWord {
  Layout layout;
  const char* word;
};
constexpr LayoutWord kLayouts[] = {
    {Layout::Front, "front"}, {Layout::Rear, "rear"}, {Layout::Side, "side"}, {Layout::Pip, "pip"}};

constexpr double kPipWidthShare = 0.30;
constexpr double kPipMarginShare = 0.02;

// Nearest even number, at least 2.
int Even(double value) { return std::max(2, 2 * static_cast<int>(std::lround(value / 2))); }

}  // namespace

bool ParseLayout(const std::string& text, Layout& layout) {
  for (const LayoutWord& w : kLayouts)
    if (text == w.word) {
      layout = w.layout;
      return true;
    }
  return false;
}

const char* LayoutName(Layout layout) {
  for (const LayoutWord& w : kLayouts)
    if (w.layout == layout) return w.word;
  return "front";
}

bool ParseQuality(const std::string& text, Quality& quality) {
  if (text == "high")
    quality = Quality::High;
  else if (text == "standard")
    quality = Quality::Standard;
  else
    return false;
  return true;
}

const char* QualityName(Quality quality) { return quality == Quality::High ? "high" : "standard"; }

EncoderSettings EncoderSettingsOf(Quality quality) {
  // High keeps the detail of number plates; standard is quick and still sharp.
  return quality == Quality::High ? EncoderSettings{"medium", 18} : EncoderSettings{"veryfast", 23};
}

bool LayoutNeedsRear(Layout layout) { return layout != Layout::Front; }

CanvasGeometry ComputeCanvas(Layout layout, Size front, Size rear) {
  CanvasGeometry g;
  const int fw = Even(front.width), fh = Even(front.height);
  switch (layout) {
    case Layout::Front:
      g.width = fw;
      g.height = fh;
      g.front = {0, 0, fw, fh};
      break;
    case Layout::Rear:
      g.width = Even(rear.width);
      g.height = Even(rear.height);
      g.rear = {0, 0, g.width, g.height};
      break;
    case Layout::Side: {
      const int rw = Even(static_cast<double>(rear.width) * fh / std::max(1, rear.height));
      g.width = fw + rw;
      g.height = fh;
      g.front = {0, 0, fw, fh};
      g.rear = {fw, 0, rw, fh};
      break;
    }
    case Layout::Pip: {
      const int rw = Even(fw * kPipWidthShare);
      const int rh = Even(static_cast<double>(rw) * rear.height / std::max(1, rear.width));
      const int margin = Even(fw * kPipMarginShare);
      g.width = fw;
      g.height = fh;
      g.front = {0, 0, fw, fh};
      g.rear = {fw - rw - margin, margin, rw, rh};
      break;
    }
  }
  return g;
}

}  // namespace clipexport
