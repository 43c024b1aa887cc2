#include "playback/GstSupport.h"

#include <mutex>

#include "playback/ChannelSink.h"
#include "playback/StreamParseSource.h"

namespace playback {

bool EnsureGStreamer() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] {
    GError* error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
      if (error) g_error_free(error);
      return;
    }
    ok = RegisterStreamParseSource() && RegisterChannelSink();
    // Loading the codec plugins takes a few hundred milliseconds the first time; pay
    // it here, when the player is set up, rather than in the first open.
    for (const char* feature : {"avdec_h264", "h264parse", "avdec_aac", "videoconvert", "videobalance", "videoflip",
                                "scaletempo", "audiopanorama", "volume", "audioconvert", "audioresample", "queue"}) {
      if (GstPluginFeature* found = gst_registry_lookup_feature(gst_registry_get(), feature)) {
        if (GstPluginFeature* loaded = gst_plugin_feature_load(found)) gst_object_unref(loaded);
        gst_object_unref(found);
      }
    }
  });
  return ok;
}

GstElement* MakeElement(const char* factory, const char* name) { return gst_element_factory_make(factory, name); }

std::string ElementName(GstElement* element) {
  if (!element) return {};
  gchar* name = gst_element_get_name(element);
  std::string result = name ? name : "";
  g_free(name);
  return result;
}

std::string PadName(GstPad* pad) {
  if (!pad) return {};
  gchar* name = gst_pad_get_name(pad);
  std::string result = name ? name : "";
  g_free(name);
  return result;
}

}  // namespace playback
