#include "playback/AudioOutput.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "playback/GstSupport.h"
#include "playback/Volume.h"

namespace playback {
namespace {

constexpr const char* kControlKey = "tarvo-audio-control";
constexpr std::int32_t kSilence = -10000;
constexpr std::int32_t kBalanceSpan = 10000;

class RendererControl final : public AudioControl {
 public:
  RendererControl(GstElement* volume, GstElement* panorama, bool device)
      : volume_(volume), panorama_(panorama), device_(device) {}

  HResult PutVolume(std::int32_t attenuation) override {
    if (attenuation > 0 || attenuation < kSilence) return kEInvalidArg;
    attenuation_ = attenuation;
    g_object_set(volume_, "volume", GainOfAttenuation(attenuation), nullptr);
    return kSOk;
  }
  std::int32_t Volume() const override { return attenuation_; }

  HResult PutBalance(std::int32_t balance) override {
    if (balance < -kBalanceSpan || balance > kBalanceSpan) return kEInvalidArg;
    balance_ = balance;
    g_object_set(panorama_, "panorama", static_cast<float>(balance) / kBalanceSpan, nullptr);
    return kSOk;
  }
  std::int32_t Balance() const override { return balance_; }

  bool HasDevice() const override { return device_; }

 private:
  GstElement* volume_;
  GstElement* panorama_;
  bool device_;
  std::atomic<std::int32_t> attenuation_{0};
  std::atomic<std::int32_t> balance_{0};
};

void FreeControl(gpointer data) { delete static_cast<RendererControl*>(data); }

// An output element that can open its device now, or null.
ElementRef OpenableSink(const char* factory) {
  ElementRef sink = MakeElement(factory);
  if (!sink) return nullptr;
  const GstStateChangeReturn result = gst_element_set_state(sink.get(), GST_STATE_READY);
  gst_element_set_state(sink.get(), GST_STATE_NULL);
  if (result == GST_STATE_CHANGE_FAILURE) return nullptr;
  return sink;
}

ElementRef NullSink() {
  ElementRef sink = MakeElement("fakesink");
  // The null output still keeps time, so that pictures and sound stay in step.
  if (sink) g_object_set(sink.get(), "sync", TRUE, "async", TRUE, nullptr);
  return sink;
}

ElementRef DeviceSink(bool* device) {
  *device = false;
  const char* wanted = std::getenv("TARVO_AUDIO_SINK");
  if (wanted && *wanted) {
    if (std::strcmp(wanted, "null") == 0) return NullSink();
    if (ElementRef sink = OpenableSink(wanted)) {
      *device = true;
      return sink;
    }
    return NullSink();
  }
  for (const char* factory : {"pulsesink", "alsasink"}) {
    if (ElementRef sink = OpenableSink(factory)) {
      *device = true;
      return sink;
    }
  }
  return NullSink();
}

}  // namespace

ElementRef MakeAudioDecoder(const char* name, const GstCaps* caps) {
  if (!caps || gst_caps_is_empty(caps) || gst_caps_is_any(caps)) return nullptr;
  const GstStructure* s = gst_caps_get_structure(caps, 0);
  int version = 0;
  ElementRef parse, decode;
  if (gst_structure_has_name(s, "audio/mpeg") && gst_structure_get_int(s, "mpegversion", &version)) {
    if (version == 1) {
      parse = MakeElement("mpegaudioparse");
      decode = MakeElement("mpg123audiodec");
      if (!decode) decode = MakeElement("avdec_mp3");
    } else {
      // Raw frames pass the parser untouched; ADTS frames lose their headers there.
      parse = MakeElement("aacparse");
      decode = MakeElement("avdec_aac");
      if (!decode) decode = MakeElement("faad");
    }
    if (!parse) return nullptr;
  } else if (gst_structure_has_name(s, "audio/x-adpcm")) {
    decode = MakeElement("avdec_adpcm_ima_wav");
  }
  if (!decode) return nullptr;
  ElementRef bin = Adopt(gst_bin_new(name));
  GstElement* first = parse ? AddToBin(bin.get(), parse) : nullptr;
  GstElement* last = AddToBin(bin.get(), decode);
  if ((parse && !first) || !last || (first && !gst_element_link(first, last))) return nullptr;
  if (!Ghost(bin.get(), first ? first : last, "sink", "sink") || !Ghost(bin.get(), last, "src", "src")) return nullptr;
  return bin;
}

ElementRef MakeAudioRenderer(const char* name) {
  bool device = false;
  ElementRef sink = DeviceSink(&device);
  ElementRef queue = MakeElement("queue");
  ElementRef convertIn = MakeElement("audioconvert");
  ElementRef tempo = MakeElement("scaletempo");
  ElementRef convertMid = MakeElement("audioconvert");
  ElementRef panorama = MakeElement("audiopanorama");
  ElementRef volume = MakeElement("volume");
  ElementRef convertOut = MakeElement("audioconvert");
  ElementRef resample = MakeElement("audioresample");
  const ElementRef* chain[] = {&queue,  &convertIn,  &tempo,    &convertMid, &panorama,
                               &volume, &convertOut, &resample, &sink};
  ElementRef bin = Adopt(gst_bin_new(name));
  GstElement* previous = nullptr;
  for (const ElementRef* part : chain) {
    GstElement* added = AddToBin(bin.get(), *part);
    if (!added) return nullptr;
    if (previous && !gst_element_link(previous, added)) return nullptr;
    previous = added;
  }
  if (!Ghost(bin.get(), queue.get(), "sink", "sink")) return nullptr;
  g_object_set_data_full(G_OBJECT(bin.get()), kControlKey, new RendererControl(volume.get(), panorama.get(), device),
                         FreeControl);
  return bin;
}

AudioControl* AudioControlOf(GstElement* renderer) {
  if (!renderer) return nullptr;
  return static_cast<RendererControl*>(g_object_get_data(G_OBJECT(renderer), kControlKey));
}

}  // namespace playback
