#pragma once
// Draws the facts of each frame (tools/export/OverlayText) as a panel in the bottom
// left corner of the clip: white text on an opaque dark ground, so it stays legible
// over any picture and a frame's panel can be compared with the same panel drawn
// alone. The text height is a thirtieth of the picture's height (24 pixels at 720p).

#include <QImage>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "playback/export/ClipExporter.h"
#include "telemetry/TelemetrySamples.h"
#include "tools/export/OverlayText.h"

namespace clipexport {

// The panel for `lines` on a clip picture of the given size, placed where the clip
// shows it (x, y of the result). Empty lines give an empty image.
QImage OverlayPanel(const std::vector<std::string>& lines, int clipWidth, int clipHeight, int& x, int& y);

// One part of the clip as the overlay names it.
struct OverlayPart {
  std::string fileName;
  int64_t clockStart = 0;  // camera clock at the recording's start, seconds
};

class OverlayPainter final : public FrameOverlay {
 public:
  // Without a `zone` the time is the camera's clock.
  OverlayPainter(std::vector<OverlayPart> parts, OverlayFields fields, bool miles,
                 std::shared_ptr<const platform::TimeZone> zone = nullptr);

  void BeginSource(std::size_t index, const TelemetrySamples& samples) override;
  const OverlayImage* ImageFor(std::size_t index, int64_t position, int clipWidth, int clipHeight) override;

  // The lines of a frame (what ImageFor draws).
  std::vector<std::string> LinesFor(std::size_t index, int64_t position) const;

 private:
  std::vector<OverlayPart> parts_;
  OverlayFields fields_;
  bool miles_;
  std::shared_ptr<const platform::TimeZone> zone_;
  std::mutex mutex_;
  std::vector<TelemetrySamples> samples_;
  std::vector<std::string> lastLines_;
  int lastWidth_ = 0;
  int lastHeight_ = 0;
  OverlayImage image_;
};

}  // namespace clipexport
