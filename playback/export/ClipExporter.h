#pragma once
// The export engine: parts of one or more recordings in, one MP4 file out (H.264 and
// AAC, the index at the front), with the cameras laid out as asked and a picture
// drawn over every frame. Every frame of the parts is in the clip exactly once, at
// the recordings' own frame rate; the sound runs under the whole clip.
//
// It reads each recording with the viewer's source element, decodes the cameras the
// layout shows, composes them and hands each composed frame, with its overlay, to
// the encoder. One call runs the whole export on the calling thread (which only
// waits) and GStreamer's streaming threads; it never touches a window.
//
// This header holds no GStreamer type, so the window side can start an export.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/export/ClipSettings.h"

class TelemetrySamples;

namespace clipexport {

// One recording's part of the clip.
struct ClipSource {
  std::string path;  // the file; for a file on a card, its name there
  // For a file on a card: the card connection's block and the file's number.
  void* cardHandle = nullptr;
  int32_t cardFileNumber = -1;
  int64_t start = 0;   // 100 ns: the part's first frame
  int64_t stop = 0;    // 100 ns: the part holds the frames before this time
  int64_t frames = 0;  // frames of the part, as planned (for the progress)
};

// A picture laid over frames: premultiplied ARGB, 32 bits per pixel in host order
// (QImage's ARGB32_Premultiplied), `width` pixels per row, placed at (x, y) on the
// clip's picture. `serial` changes whenever the pixels do.
struct OverlayImage {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  uint64_t serial = 0;
  std::vector<uint32_t> pixels;
};

// What the engine asks for each frame. Both calls come from the engine's threads.
class FrameOverlay {
 public:
  virtual ~FrameOverlay() = default;
  // Before the first frame of part `index`: its recording's telemetry.
  virtual void BeginSource(std::size_t index, const TelemetrySamples& samples) = 0;
  // The picture for the frame of part `index` at `position` (100 ns into its
  // recording) on a clip picture of the given size, or null for none. The picture
  // stays untouched until the next call.
  virtual const OverlayImage* ImageFor(std::size_t index, int64_t position, int clipWidth, int clipHeight) = 0;
};

struct ClipOptions {
  Layout layout = Layout::Side;
  Quality quality = Quality::Standard;
  bool mirrorRear = false;  // the rear camera as the viewer shows it with its mirror setting
  FrameOverlay* overlay = nullptr;
  // Run the work below normal priority, so that the window and a playback going on
  // meanwhile stay first in line.
  bool background = false;
};

struct ClipProgress {
  int64_t framesDone = 0;  // encoded
  int64_t framesTotal = 0;
  double secondsElapsed = 0;
  double secondsLeft = -1;  // -1 until there is something to estimate from
};

struct ClipResult {
  bool ok = false;
  bool cancelled = false;
  std::string error;
  int64_t frames = 0;  // frames written
  int width = 0;
  int height = 0;
  int frameRateNumerator = 0;
  int frameRateDenominator = 1;
  bool audio = false;
  std::string audioEncoder;  // the element that encoded the sound
};

using ProgressCallback = std::function<void(const ClipProgress&)>;

// Writes the clip of `sources` to `outPath`. The file appears only when the clip is
// complete (it is written beside under a hidden name and renamed); a failed or
// cancelled export leaves nothing behind and a file already there as it was.
// `progress` is called from the calling thread a few times a second; `cancel` is
// read as often.
ClipResult ExportClip(const std::vector<ClipSource>& sources, const ClipOptions& options, const std::string& outPath,
                      const ProgressCallback& progress = {}, const std::atomic<bool>* cancel = nullptr);

// The AAC encoder this machine's GStreamer offers the engine, or empty.
std::string AacEncoderName();

}  // namespace clipexport
