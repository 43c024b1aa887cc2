#include "playback/PictureScaler.h"

#include <algorithm>
#include <mutex>
#include <vector>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace playback {

// Recycles pixel blocks of the current size: a new block per picture would mean a
// fresh mapping, and page faults, for every frame. Frames still held by a window
// keep the pool alive through their deleter.
class PixelPool : public std::enable_shared_from_this<PixelPool> {
 public:
  std::shared_ptr<const std::uint8_t> Take(std::size_t size) {
    std::uint8_t* block = nullptr;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (size != size_) {
        for (std::uint8_t* p : free_) delete[] p;
        free_.clear();
        size_ = size;
      }
      if (!free_.empty()) {
        block = free_.back();
        free_.pop_back();
      }
    }
    if (!block) block = new std::uint8_t[size];
    std::shared_ptr<PixelPool> self = shared_from_this();
    return std::shared_ptr<const std::uint8_t>(
        block, [self, size](const std::uint8_t* p) { self->Give(const_cast<std::uint8_t*>(p), size); });
  }

  ~PixelPool() {
    for (std::uint8_t* p : free_) delete[] p;
  }

 private:
  static constexpr std::size_t kKept = 4;

  void Give(std::uint8_t* block, std::size_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (size == size_ && free_.size() < kKept) {
      free_.push_back(block);
      return;
    }
    delete[] block;
  }

  std::mutex mutex_;
  std::size_t size_ = 0;
  std::vector<std::uint8_t*> free_;
};

void ScaledSize(int videoWidth, int videoHeight, int clientWidth, int clientHeight, int* width, int* height) {
  *width = clientWidth > 0 ? std::min(clientWidth, videoWidth) : videoWidth;
  *height = clientHeight > 0 ? std::min(clientHeight, videoHeight) : videoHeight;
  *width = std::max(*width, 1);
  *height = std::max(*height, 1);
}

PictureScaler::PictureScaler() : pool_(std::make_shared<PixelPool>()) { gst_video_info_init(&from_); }

PictureScaler::~PictureScaler() { sws_freeContext(context_); }

namespace {

AVPixelFormat SwsFormat(GstVideoFormat format) {
  switch (format) {
    case GST_VIDEO_FORMAT_I420:
      return AV_PIX_FMT_YUV420P;
    case GST_VIDEO_FORMAT_NV12:
      return AV_PIX_FMT_NV12;
    case GST_VIDEO_FORMAT_BGRA:
      return AV_PIX_FMT_BGRA;
    case GST_VIDEO_FORMAT_BGRx:
      return AV_PIX_FMT_BGR0;
    default:
      return AV_PIX_FMT_NONE;
  }
}

}  // namespace

VideoFrame PictureScaler::Convert(const GstVideoInfo& info, GstBuffer* buffer, int width, int height) {
  const int videoWidth = GST_VIDEO_INFO_WIDTH(&info), videoHeight = GST_VIDEO_INFO_HEIGHT(&info);
  const AVPixelFormat format = SwsFormat(GST_VIDEO_INFO_FORMAT(&info));
  if (videoWidth <= 0 || videoHeight <= 0 || format == AV_PIX_FMT_NONE) return {};
  width = std::clamp(width, 1, videoWidth);
  height = std::clamp(height, 1, videoHeight);
  if (!context_ || !gst_video_info_is_equal(&info, &from_) || width != width_ || height != height_) {
    sws_freeContext(context_);
    from_ = info;
    width_ = width;
    height_ = height;
    // Same size: a plain conversion. Smaller: bilinear, the fast variant, which is
    // smooth enough for a screen that shows 30 pictures a second.
    const int flags = (width == videoWidth && height == videoHeight) ? SWS_POINT : SWS_FAST_BILINEAR;
    context_ = sws_getContext(videoWidth, videoHeight, format, width, height, AV_PIX_FMT_BGRA, flags, nullptr, nullptr,
                              nullptr);
    if (!context_) return {};
    if (GST_VIDEO_INFO_IS_YUV(&info)) {
      // The stream's matrix and range, as the decoder reported them.
      const bool bt709 = info.colorimetry.matrix == GST_VIDEO_COLOR_MATRIX_BT709;
      const bool fullRange = info.colorimetry.range == GST_VIDEO_COLOR_RANGE_0_255;
      const int* coefficients = sws_getCoefficients(bt709 ? SWS_CS_ITU709 : SWS_CS_ITU601);
      sws_setColorspaceDetails(context_, coefficients, fullRange ? 1 : 0, coefficients, 1, 0, 1 << 16, 1 << 16);
    }
  }
  GstVideoFrame in;
  if (!gst_video_frame_map(&in, &from_, buffer, GST_MAP_READ)) return {};
  const std::size_t stride = static_cast<std::size_t>(width) * 4;
  std::shared_ptr<const std::uint8_t> pixels = pool_->Take(stride * static_cast<std::size_t>(height));
  const std::uint8_t* planes[4] = {};
  int strides[4] = {};
  for (guint i = 0; i < GST_VIDEO_FRAME_N_PLANES(&in) && i < 4; ++i) {
    planes[i] = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&in, i));
    strides[i] = GST_VIDEO_FRAME_PLANE_STRIDE(&in, i);
  }
  std::uint8_t* target[4] = {const_cast<std::uint8_t*>(pixels.get()), nullptr, nullptr, nullptr};
  const int targetStrides[4] = {static_cast<int>(stride), 0, 0, 0};
  const int rows = sws_scale(context_, planes, strides, 0, videoHeight, target, targetStrides);
  gst_video_frame_unmap(&in);
  if (rows != height) return {};
  VideoFrame frame;
  frame.width = width;
  frame.height = height;
  frame.stride = static_cast<int>(stride);
  frame.pixels = std::move(pixels);
  return frame;
}

}  // namespace playback
