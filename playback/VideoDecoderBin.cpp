#include "playback/VideoDecoderBin.h"

#include <gst/base/gstbasetransform.h>

#include <algorithm>
#include <mutex>

#include "playback/AvVideoDecoder.h"
#include "playback/GstSupport.h"

namespace playback {

namespace {

constexpr const char* kParamsKey = "tarvo-decoder-params";
constexpr int kMaxConsecutiveDecodeErrors = 10;

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

// The parser (none where the decoder takes the pictures as they come) and the
// decoder for the codec the caps name.
struct CodecElements {
  const char* parse;
  const char* decode;
};

bool FactoryExists(const char* name) {
  if (!name) return true;
  GstElementFactory* factory = gst_element_factory_find(name);
  if (!factory) return false;
  gst_object_unref(factory);
  return true;
}

bool ElementsFor(const GstCaps* caps, CodecElements& elements) {
  if (!caps || gst_caps_is_empty(caps) || gst_caps_is_any(caps)) return false;
  const GstStructure* s = gst_caps_get_structure(caps, 0);
  int version = 0;
  if (gst_structure_has_name(s, "video/x-h264")) {
    elements = {"h264parse", FactoryExists(kAvVideoDecoderFactory) ? kAvVideoDecoderFactory : "avdec_h264"};
  } else if (gst_structure_has_name(s, "image/jpeg")) {
    elements = {nullptr, "jpegdec"};
  } else if (gst_structure_has_name(s, "video/mpeg") && gst_structure_get_int(s, "mpegversion", &version) &&
             version == 4) {
    elements = {"mpeg4videoparse", "avdec_mpeg4"};
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool CanDecodeVideo(const GstCaps* caps) {
  CodecElements elements{};
  return ElementsFor(caps, elements) && FactoryExists(elements.parse) && FactoryExists(elements.decode);
}

ElementRef MakeVideoDecoderBin(const char* name, const GstCaps* caps) {
  CodecElements elements{};
  if (!ElementsFor(caps, elements)) return nullptr;
  ElementRef queue = MakeElement("queue");
  ElementRef parse = elements.parse ? MakeElement(elements.parse) : nullptr;
  if (elements.parse && !parse) return nullptr;
  ElementRef decode = MakeElement(elements.decode);
  // A damaged picture here and there is concealed and playback goes on; a run of
  // pictures that all fail to decode means the recording is broken from there on,
  // and the decoder then stops with an error the viewer can show.
  if (decode && g_object_class_find_property(G_OBJECT_GET_CLASS(decode.get()), "max-errors"))
    g_object_set(decode.get(), "max-errors", kMaxConsecutiveDecodeErrors, nullptr);
  ElementRef balance = MakeElement("videobalance");
  ElementRef flip = MakeElement("videoflip");
  ElementRef bin = Adopt(gst_bin_new(name));
  GstElement* previous = nullptr;
  for (const ElementRef* part : {&queue, &parse, &decode, &balance, &flip}) {
    if (part == &parse && !parse) continue;
    GstElement* added = AddToBin(bin.get(), *part);
    if (!added) return nullptr;
    if (previous && !gst_element_link(previous, added)) return nullptr;
    previous = added;
  }
  if (!Ghost(bin.get(), queue.get(), "sink", "sink") || !Ghost(bin.get(), flip.get(), "src", "src")) return nullptr;
  g_object_set_data_full(G_OBJECT(bin.get()), kParamsKey, new VideoDecoderParams(balance.get(), flip.get()),
                         FreeParams);
  return bin;
}

DecoderParams* DecoderParamsOf(GstElement* decoder) {
  if (!decoder) return nullptr;
  return static_cast<VideoDecoderParams*>(g_object_get_data(G_OBJECT(decoder), kParamsKey));
}

}  // namespace playback
