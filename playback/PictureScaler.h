#pragma once
// Turns decoded pictures (I420 from the decoder; NV12 and 32-bit RGB also taken)
// into the top-down 32-bit BGRA the channel windows draw, at the size the window shows
// them at, so that the window draws them 1:1. An I420 picture two or more times the
// shown size is first shrunk by whole factors (PlaneShrink.h); libswscale then
// converts it to BGRA with its SIMD code, scaling only what fraction is left. Running
// libswscale's scaler over every line of a 1080p picture cost several times as much.

#include <gst/video/video.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "playback/ChannelWindow.h"
#include "playback/PlaneShrink.h"

struct SwsContext;

namespace playback {

// Pixel blocks of one size, handed out as shared pointers that a window may keep as
// long as it likes. A block nobody else holds any more is used again, so that pictures
// of the same size allocate no pixels. Used by one thread at a time.
class PixelPool {
 public:
  std::shared_ptr<const std::uint8_t> Take(std::size_t size);

 private:
  struct Block {
    explicit Block(std::size_t size) : bytes(new std::uint8_t[size]) {}
    std::unique_ptr<std::uint8_t[]> bytes;
    // Cleared by the last holder's release, on whatever thread that is; the store
    // publishes its reads of the bytes before the pool writes them again.
    std::atomic<bool> held{false};
  };
  std::size_t size_ = 0;
  std::vector<std::shared_ptr<Block>> blocks_;
};

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
  // Sets the steps up for pictures of `info` shown at width x height; false when
  // libswscale takes neither.
  bool Configure(const GstVideoInfo& info, int width, int height);

  SwsContext* context_ = nullptr;  // from the (shrunk) picture to BGRA
  GstVideoInfo from_{};
  int width_ = 0;
  int height_ = 0;
  // The whole-factor shrink before libswscale; 1 x 1 when there is none.
  int factorX_ = 1;
  int factorY_ = 1;
  PlaneShrinker shrinker_;
  // The shrunk picture's three planes, each row `shrunkStride_[i]` bytes.
  std::vector<std::uint8_t> shrunkBytes_;
  std::uint8_t* shrunkPlane_[3] = {};
  int shrunkStride_[3] = {};
  int shrunkWidth_[3] = {};
  int shrunkHeight_[3] = {};
  PixelPool pool_;
};

// The target size for a picture of videoWidth x videoHeight in a window of
// clientWidth x clientHeight: the client size, but never larger than the picture in
// either direction, and the picture's own size when the window has no size yet.
void ScaledSize(int videoWidth, int videoHeight, int clientWidth, int clientHeight, int* width, int* height);

}  // namespace playback
