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
  });
  return ok;
}

GstElement* MakeElement(const char* factory, const char* name) {
  return gst_element_factory_make(factory, name);
}

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
