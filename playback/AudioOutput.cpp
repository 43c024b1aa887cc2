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
GstElement* OpenableSink(const char* factory) {
  GstElement* sink = MakeElement(factory);
  if (!sink) return nullptr;
  const GstStateChangeReturn result = gst_element_set_state(sink, GST_STATE_READY);
  gst_element_set_state(sink, GST_STATE_NULL);
  if (result == GST_STATE_CHANGE_FAILURE) {
    gst_object_unref(sink);
    return nullptr;
  }
  return sink;
}

GstElement* NullSink() {
  GstElement* sink = MakeElement("fakesink");
  // The null output still keeps time, so that pictures and sound stay in step.
  if (sink) g_object_set(sink, "sync", TRUE, "async", TRUE, nullptr);
  return sink;
}

GstElement* DeviceSink(bool* device) {
  *device = false;
  const char* wanted = std::getenv("TARVO_AUDIO_SINK");
  if (wanted && *wanted) {
    if (std::strcmp(wanted, "null") == 0) return NullSink();
    if (GstElement* sink = OpenableSink(wanted)) {
      *device = true;
      return sink;
    }
    return NullSink();
  }
  for (const char* factory : {"pulsesink", "alsasink"}) {
    if (GstElement* sink = OpenableSink(factory)) {
      *device = true;
      return sink;
    }
  }
  return NullSink();
}

}  // namespace

GstElement* MakeAacDecoder(const char* name) {
  GstElement* decode = MakeElement("avdec_aac");
  if (!decode) decode = MakeElement("faad");
  if (!decode) return nullptr;
  GstElement* bin = gst_bin_new(name);
  gst_bin_add(GST_BIN(bin), decode);
  GstPad* in = gst_element_get_static_pad(decode, "sink");
  GstPad* out = gst_element_get_static_pad(decode, "src");
  gst_element_add_pad(bin, gst_ghost_pad_new("sink", in));
  gst_element_add_pad(bin, gst_ghost_pad_new("src", out));
  gst_object_unref(in);
  gst_object_unref(out);
  return bin;
}

GstElement* MakeAudioRenderer(const char* name) {
  bool device = false;
  GstElement* sink = DeviceSink(&device);
  GstElement* queue = MakeElement("queue");
  GstElement* convertIn = MakeElement("audioconvert");
  GstElement* tempo = MakeElement("scaletempo");
  GstElement* convertMid = MakeElement("audioconvert");
  GstElement* panorama = MakeElement("audiopanorama");
  GstElement* volume = MakeElement("volume");
  GstElement* convertOut = MakeElement("audioconvert");
  GstElement* resample = MakeElement("audioresample");
  GstElement* parts[] = {sink, queue, convertIn, tempo, convertMid, panorama, volume, convertOut, resample};
  for (GstElement* e : parts) {
    if (e) continue;
    for (GstElement* other : parts)
      if (other) gst_object_unref(other);
    return nullptr;
  }
  GstElement* bin = gst_bin_new(name);
  for (GstElement* e : parts) gst_bin_add(GST_BIN(bin), e);
  if (!gst_element_link_many(queue, convertIn, tempo, convertMid, panorama, volume, convertOut, resample, sink,
                             nullptr)) {
    gst_object_unref(bin);
    return nullptr;
  }
  GstPad* in = gst_element_get_static_pad(queue, "sink");
  gst_element_add_pad(bin, gst_ghost_pad_new("sink", in));
  gst_object_unref(in);
  g_object_set_data_full(G_OBJECT(bin), kControlKey, new RendererControl(volume, panorama, device), FreeControl);
  return bin;
}

AudioControl* AudioControlOf(GstElement* renderer) {
  if (!renderer) return nullptr;
  return static_cast<RendererControl*>(g_object_get_data(G_OBJECT(renderer), kControlKey));
}

}  // namespace playback
