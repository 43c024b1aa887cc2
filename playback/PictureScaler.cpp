#include "playback/PictureScaler.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace playback {

std::shared_ptr<const std::uint8_t> PixelPool::Take(std::size_t size) {
  if (size != size_) {
    // Blocks of the old size still shown stay alive through their holders.
    blocks_.clear();
    size_ = size;
  }
  std::shared_ptr<Block> block;
  for (const std::shared_ptr<Block>& kept : blocks_) {
    if (!kept->held.load(std::memory_order_acquire)) {
      block = kept;
      break;
    }
  }
  // A window keeps one picture and the one it paints; a few more cover the way there.
  constexpr std::size_t kKept = 4;
  if (!block) {
    block = std::make_shared<Block>(size);
    if (blocks_.size() < kKept) blocks_.push_back(block);
  }
  block->held.store(true, std::memory_order_relaxed);
  const std::uint8_t* bytes = block->bytes.get();
  // The holders share one releaser, which keeps the block alive (the pool may have
  // let go of it for a new size) and hands it back when the last of them is gone.
  return std::shared_ptr<const std::uint8_t>(
      bytes, [block = std::move(block)](const std::uint8_t*) { block->held.store(false, std::memory_order_release); });
}

void ScaledSize(int videoWidth, int videoHeight, int clientWidth, int clientHeight, int* width, int* height) {
  *width = clientWidth > 0 ? std::min(clientWidth, videoWidth) : videoWidth;
  *height = clientHeight > 0 ? std::min(clientHeight, videoHeight) : videoHeight;
  *width = std::max(*width, 1);
  *height = std::max(*height, 1);
}

PictureScaler::PictureScaler() { gst_video_info_init(&from_); }

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

bool PictureScaler::Configure(const GstVideoInfo& info, int width, int height) {
  if (context_ && gst_video_info_is_equal(&info, &from_) && width == width_ && height == height_) return true;
  sws_freeContext(context_);
  context_ = nullptr;
  from_ = info;
  width_ = width;
  height_ = height;
  const int videoWidth = GST_VIDEO_INFO_WIDTH(&info), videoHeight = GST_VIDEO_INFO_HEIGHT(&info);
  factorX_ = factorY_ = 1;
  if (GST_VIDEO_INFO_FORMAT(&info) == GST_VIDEO_FORMAT_I420) {
    factorX_ = ShrinkFactor(videoWidth, width);
    factorY_ = ShrinkFactor(videoHeight, height);
  }
  AVPixelFormat format = SwsFormat(GST_VIDEO_INFO_FORMAT(&info));
  int sourceWidth = videoWidth, sourceHeight = videoHeight;
  if (factorX_ > 1 || factorY_ > 1) {
    // Rows start on 64-byte boundaries, where libswscale's SIMD loads want them.
    constexpr std::size_t kAlign = 64;
    std::size_t total = kAlign;
    for (int i = 0; i < 3; ++i) {
      shrunkWidth_[i] = GST_VIDEO_INFO_COMP_WIDTH(&info, i) / factorX_;
      shrunkHeight_[i] = GST_VIDEO_INFO_COMP_HEIGHT(&info, i) / factorY_;
      shrunkStride_[i] = static_cast<int>((static_cast<std::size_t>(shrunkWidth_[i]) + kAlign - 1) / kAlign * kAlign);
      total += static_cast<std::size_t>(shrunkStride_[i]) * static_cast<std::size_t>(shrunkHeight_[i]);
    }
    shrunkBytes_.assign(total, 0);
    auto address = reinterpret_cast<std::uintptr_t>(shrunkBytes_.data());
    std::uint8_t* next = shrunkBytes_.data() + (kAlign - address % kAlign) % kAlign;
    for (int i = 0; i < 3; ++i) {
      shrunkPlane_[i] = next;
      next += static_cast<std::size_t>(shrunkStride_[i]) * static_cast<std::size_t>(shrunkHeight_[i]);
    }
    sourceWidth = shrunkWidth_[0];
    sourceHeight = shrunkHeight_[0];
    format = AV_PIX_FMT_YUV420P;
  } else {
    shrunkBytes_.clear();
  }
  // The same size is a plain conversion, which libswscale does with its fastest SIMD
  // code. Smaller: bilinear, the fast variant, which is smooth enough for a screen that
  // shows 30 pictures a second.
  const int flags = (width == sourceWidth && height == sourceHeight) ? SWS_POINT : SWS_FAST_BILINEAR;
  context_ = sws_getContext(sourceWidth, sourceHeight, format, width, height, AV_PIX_FMT_BGRA, flags, nullptr, nullptr,
                            nullptr);
  if (!context_) return false;
  if (GST_VIDEO_INFO_IS_YUV(&info)) {
    // The stream's matrix and range, as the decoder reported them.
    const bool bt709 = info.colorimetry.matrix == GST_VIDEO_COLOR_MATRIX_BT709;
    const bool fullRange = info.colorimetry.range == GST_VIDEO_COLOR_RANGE_0_255;
    const int* coefficients = sws_getCoefficients(bt709 ? SWS_CS_ITU709 : SWS_CS_ITU601);
    sws_setColorspaceDetails(context_, coefficients, fullRange ? 1 : 0, coefficients, 1, 0, 1 << 16, 1 << 16);
  }
  return true;
}

VideoFrame PictureScaler::Convert(const GstVideoInfo& info, GstBuffer* buffer, int width, int height) {
  const int videoWidth = GST_VIDEO_INFO_WIDTH(&info), videoHeight = GST_VIDEO_INFO_HEIGHT(&info);
  if (videoWidth <= 0 || videoHeight <= 0 || SwsFormat(GST_VIDEO_INFO_FORMAT(&info)) == AV_PIX_FMT_NONE) return {};
  width = std::clamp(width, 1, videoWidth);
  height = std::clamp(height, 1, videoHeight);
  if (!Configure(info, width, height)) return {};
  GstVideoFrame in;
  if (!gst_video_frame_map(&in, &from_, buffer, GST_MAP_READ)) return {};
  const std::uint8_t* planes[4] = {};
  int strides[4] = {};
  for (guint i = 0; i < GST_VIDEO_FRAME_N_PLANES(&in) && i < 4; ++i) {
    planes[i] = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&in, i));
    strides[i] = GST_VIDEO_FRAME_PLANE_STRIDE(&in, i);
  }
  int sourceHeight = videoHeight;
  if (factorX_ > 1 || factorY_ > 1) {
    for (int i = 0; i < 3; ++i) {
      shrinker_.Shrink(planes[i], strides[i], factorX_, factorY_, shrunkPlane_[i], shrunkStride_[i], shrunkWidth_[i],
                       shrunkHeight_[i]);
      planes[i] = shrunkPlane_[i];
      strides[i] = shrunkStride_[i];
    }
    sourceHeight = shrunkHeight_[0];
  }
  const std::size_t stride = static_cast<std::size_t>(width) * 4;
  std::shared_ptr<const std::uint8_t> pixels = pool_.Take(stride * static_cast<std::size_t>(height));
  std::uint8_t* target[4] = {const_cast<std::uint8_t*>(pixels.get()), nullptr, nullptr, nullptr};
  const int targetStrides[4] = {static_cast<int>(stride), 0, 0, 0};
  const int rows = sws_scale(context_, planes, strides, 0, sourceHeight, target, targetStrides);
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
