#pragma once
// How an exported clip looks: which cameras where (the layout), how hard the encoder
// works (the quality), and the picture geometry both give for the cameras' sizes.

#include <string>

namespace clipexport {

enum class Layout { Front, Rear, Side, Pip };
enum class Quality { High, Standard };

bool ParseLayout(const std::string& text, Layout& layout);
const char* LayoutName(Layout layout);
bool ParseQuality(const std::string& text, Quality& quality);
const char* QualityName(Quality quality);

// x264's speed preset and constant-quality factor for a quality.
struct EncoderSettings {
  const char* preset;
  int crf;
};
EncoderSettings EncoderSettingsOf(Quality quality);

// Whether a layout shows the rear camera (and so needs a recording with two).
bool LayoutNeedsRear(Layout layout);

struct Box {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Box&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
};

// The clip's picture and where each camera goes in it; a camera the layout does not
// show has an empty box. Every size is even (the encoder's 4:2:0 pictures need it).
//  - front, rear: that camera at its own size;
//  - side: both at the front camera's height, each at its own aspect, front left;
//  - pip: the front camera at its size, the rear at 30 % of the width and its own
//    aspect in the top right corner, 2 % of the width from the edges.
struct CanvasGeometry {
  int width = 0;
  int height = 0;
  Box front;
  Box rear;
};
CanvasGeometry ComputeCanvas(Layout layout, Size front, Size rear);

}  // namespace clipexport
