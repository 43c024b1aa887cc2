#include "playback/VideoDecoderBin.h"

#include <gst/base/gstbasetransform.h>

#include <algorithm>
#include <mutex>

#include "playback/GstSupport.h"

namespace playback {

namespace {

constexpr const char* kParamsKey = "tarvo-decoder-params";

// Keeps the four parameters and maps them onto videobalance and videoflip. The
// elements belong to the bin, which outlives this object's use (it is freed with
// the bin).
class VideoDecoderParams final : public DecoderParams {
 public:
  VideoDecoderParams(GstElement* balance, GstElement* flip) : balance_(balance), flip_(flip) { Apply(); }

  HResult SetParam(int number, int value) override {
    std::lock_guard<std::mutex> lock(mutex_);
    switch (number) {
      case kParamPictureAdjust:
        adjustOn_ = value != 0;
        break;
      case kParamBrightness:
        brightness_ = std::clamp(value, -255, 255);
        break;
      case kParamTransform:
        transformOn_ = value != 0;
        break;
      case kParamMirror:
        mirrored_ = value != 0;
        break;
      default:
        return kEInvalidArg;
    }
    Apply();
    return kSOk;
  }

 private:
  void Apply() {
    // videobalance's brightness spans the whole 8-bit range over -1 ... +1.
    const double brightness = adjustOn_ ? brightness_ / 255.0 : 0.0;
    g_object_set(balance_, "brightness", brightness, nullptr);
    // GST_VIDEO_ORIENTATION_IDENTITY = 0, GST_VIDEO_ORIENTATION_HORIZ = 4
    const int direction = (transformOn_ && mirrored_) ? 4 : 0;
    g_object_set(flip_, "video-direction", direction, nullptr);
    // videoflip copies every picture even when it leaves it as it is; unflipped,
    // pictures pass straight through.
    gst_base_transform_set_passthrough(GST_BASE_TRANSFORM(flip_), direction == 0);
  }

  std::mutex mutex_;
  GstElement* balance_;
  GstElement* flip_;
  bool adjustOn_ = false;
  int brightness_ = 0;
  bool transformOn_ = false;
  bool mirrored_ = false;
};

void FreeParams(gpointer data) { delete static_cast<VideoDecoderParams*>(data); }

}  // namespace

GstElement* MakeVideoDecoderBin(const char* name) {
  GstElement* queue = MakeElement("queue");
  GstElement* parse = MakeElement("h264parse");
  GstElement* decode = MakeElement("avdec_h264");
  GstElement* balance = MakeElement("videobalance");
  GstElement* flip = MakeElement("videoflip");
  GstElement* parts[] = {queue, parse, decode, balance, flip};
  if (!queue || !parse || !decode || !balance || !flip) {
    for (GstElement* e : parts)
      if (e) gst_object_unref(e);
    return nullptr;
  }
  GstElement* bin = gst_bin_new(name);
  gst_bin_add_many(GST_BIN(bin), queue, parse, decode, balance, flip, nullptr);
  if (!gst_element_link_many(queue, parse, decode, balance, flip, nullptr)) {
    gst_object_unref(bin);
    return nullptr;
  }
  GstPad* in = gst_element_get_static_pad(queue, "sink");
  GstPad* out = gst_element_get_static_pad(flip, "src");
  gst_element_add_pad(bin, gst_ghost_pad_new("sink", in));
  gst_element_add_pad(bin, gst_ghost_pad_new("src", out));
  gst_object_unref(in);
  gst_object_unref(out);
  g_object_set_data_full(G_OBJECT(bin), kParamsKey, new VideoDecoderParams(balance, flip), FreeParams);
  return bin;
}

DecoderParams* DecoderParamsOf(GstElement* decoder) {
  if (!decoder) return nullptr;
  return static_cast<VideoDecoderParams*>(g_object_get_data(G_OBJECT(decoder), kParamsKey));
}

}  // namespace playback
