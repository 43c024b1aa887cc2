#pragma once
// Turns decoded pictures (I420 from the decoder; NV12 and 32-bit RGB also taken)
// into the top-down 32-bit BGRA the channel windows draw, scaled in the same pass to
// the size the window shows them at. libswscale does it with SIMD code several
// times faster than a separate colour conversion at the camera's size, and the
// window no longer scales the picture on its own thread.

#include <gst/video/video.h>

#include <cstdint>
#include <memory>

#include "playback/ChannelWindow.h"

struct SwsContext;

namespace playback {

class PixelPool;

class PictureScaler {
 public:
  PictureScaler();
  ~PictureScaler();
  PictureScaler(const PictureScaler&) = delete;
  PictureScaler& operator=(const PictureScaler&) = delete;

  // Converts one picture of format `info` to BGRA of width x height (clamped to
  // 1 ... the picture's own size: windows stretch smaller pictures themselves). An
  // empty frame when the picture cannot be mapped or its format is not taken. Used
  // by one thread at a time.
  VideoFrame Convert(const GstVideoInfo& info, GstBuffer* buffer, int width, int height);

 private:
  SwsContext* context_ = nullptr;
  GstVideoInfo from_{};
  int width_ = 0;
  int height_ = 0;
  std::shared_ptr<PixelPool> pool_;
};

// The target size for a picture of videoWidth x videoHeight in a window of
// clientWidth x clientHeight: the client size, but never larger than the picture in
// either direction, and the picture's own size when the window has no size yet.
void ScaledSize(int videoWidth, int videoHeight, int clientWidth, int clientHeight, int* width, int* height);

}  // namespace playback
