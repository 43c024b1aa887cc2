#include "playback/GstSupport.h"

#include <mutex>

#include "playback/AvVideoDecoder.h"
#include "playback/ChannelSink.h"
#include "playback/StreamParseSource.h"

namespace playback {

bool EnsureGStreamer() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] {
    GError* rawError = nullptr;
    if (!gst_init_check(nullptr, nullptr, &rawError)) {
      ErrorRef error(rawError);
      return;
    }
    ok = RegisterStreamParseSource() && RegisterChannelSink();
    // Without libavcodec's H.264 decoder the graph takes avdec_h264 (which needs it too).
    RegisterAvVideoDecoder();
    // Loading the codec plugins takes a few hundred milliseconds the first time; pay
    // it here, when the player is set up, rather than in the first open.
    for (const char* feature : {"avdec_h264", "h264parse", "avdec_aac", "videoconvert", "videobalance", "videoflip",
                                "scaletempo", "audiopanorama", "volume", "audioconvert", "audioresample", "queue"}) {
      GstRef<GstPluginFeature> found(gst_registry_lookup_feature(gst_registry_get(), feature));
      if (found) GstRef<GstPluginFeature> loaded(gst_plugin_feature_load(found.get()));
    }
  });
  return ok;
}

ElementRef MakeElement(const char* factory, const char* name) { return Adopt(gst_element_factory_make(factory, name)); }

PadRef StaticPad(GstElement* element, const char* name) {
  return PadRef(element ? gst_element_get_static_pad(element, name) : nullptr);
}

GstElement* AddToBin(GstElement* bin, const ElementRef& element) {
  if (!bin || !element) return nullptr;
  return gst_bin_add(GST_BIN(bin), element.get()) ? element.get() : nullptr;
}

bool Ghost(GstElement* bin, GstElement* inner, const char* innerPad, const char* name) {
  PadRef pad = StaticPad(inner, innerPad);
  if (!pad) return false;
  // The new ghost pad is floating; the bin sinks it.
  return gst_element_add_pad(bin, gst_ghost_pad_new(name, pad.get()));
}

std::string ElementName(GstElement* element) {
  if (!element) return {};
  CharsRef name(gst_element_get_name(element));
  return name ? name.get() : "";
}

std::string PadName(GstPad* pad) {
  if (!pad) return {};
  CharsRef name(gst_pad_get_name(pad));
  return name ? name.get() : "";
}

}  // namespace playback
