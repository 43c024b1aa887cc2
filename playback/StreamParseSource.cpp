#include "playback/StreamParseSource.h"

#include "playback/GstSupport.h"
#include "playback/StreamParseFilter.h"

extern "C" {

struct TarvoStreamParse {
  GstElement parent;
  playback::StreamParseFilter* filter;
};

struct TarvoStreamParseClass {
  GstElementClass parent_class;
};
}

// The type macro casts in C style; nothing of ours is cast there.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
G_DEFINE_TYPE(TarvoStreamParse, tarvo_stream_parse, GST_TYPE_ELEMENT)
#pragma GCC diagnostic pop

namespace playback {
namespace {

GstStaticPadTemplate srcTemplate =
    GST_STATIC_PAD_TEMPLATE("src_%s", GST_PAD_SRC, GST_PAD_SOMETIMES, GST_STATIC_CAPS_ANY);

StreamParseFilter* FilterOf(gpointer element) { return reinterpret_cast<TarvoStreamParse*>(element)->filter; }

bool IsStreamParse(GstElement* element) {
  return element && G_TYPE_CHECK_INSTANCE_TYPE(element, tarvo_stream_parse_get_type());
}

gboolean SrcEvent(GstPad*, GstObject* parent, GstEvent* event) {
  // The event is ours to release, whatever happens to it.
  const EventRef owned(event);
  gboolean handled = FALSE;
  switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_SEEK:
      handled = FilterOf(parent)->HandleSeek(event);
      break;
    case GST_EVENT_QOS:
    case GST_EVENT_RECONFIGURE:
    case GST_EVENT_LATENCY:
      // Nothing upstream of the source to tell; the decoders act on QoS themselves.
      handled = TRUE;
      break;
    default:
      break;
  }
  return handled;
}

gboolean SrcQuery(GstPad* pad, GstObject* parent, GstQuery* query) { return FilterOf(parent)->HandleQuery(pad, query); }

gboolean SrcActivateMode(GstPad* pad, GstObject* parent, GstPadMode mode, gboolean active) {
  if (mode != GST_PAD_MODE_PUSH) return FALSE;
  if (!active) FilterOf(parent)->StopTask();
  (void)pad;
  return TRUE;
}

gboolean SendEvent(GstElement* element, GstEvent* event) {
  if (GST_EVENT_TYPE(event) == GST_EVENT_SEEK) {
    const EventRef owned(event);
    return FilterOf(element)->HandleSeek(event);
  }
  return GST_ELEMENT_CLASS(tarvo_stream_parse_parent_class)->send_event(element, event);
}

GstStateChangeReturn ChangeState(GstElement* element, GstStateChange transition) {
  StreamParseFilter* filter = FilterOf(element);
  if (transition == GST_STATE_CHANGE_READY_TO_PAUSED && !filter->Loaded()) return GST_STATE_CHANGE_FAILURE;
  const GstStateChangeReturn result =
      GST_ELEMENT_CLASS(tarvo_stream_parse_parent_class)->change_state(element, transition);
  if (result == GST_STATE_CHANGE_FAILURE) return result;
  if (transition == GST_STATE_CHANGE_READY_TO_PAUSED) filter->Start();
  return result;
}

void Finalize(GObject* object) {
  delete FilterOf(object);
  G_OBJECT_CLASS(tarvo_stream_parse_parent_class)->finalize(object);
}

}  // namespace
}  // namespace playback

static void tarvo_stream_parse_class_init(TarvoStreamParseClass* klass) {
  GObjectClass* objectClass = G_OBJECT_CLASS(klass);
  GstElementClass* elementClass = GST_ELEMENT_CLASS(klass);
  objectClass->finalize = playback::Finalize;
  elementClass->change_state = playback::ChangeState;
  elementClass->send_event = playback::SendEvent;
  gst_element_class_set_static_metadata(elementClass, "Dashcam stream parser", "Source/Demuxer",
                                        "Reads a dashcam recording from a file or a card", "Tarvo Viewer");
  gst_element_class_add_static_pad_template(elementClass, &playback::srcTemplate);
}

static void tarvo_stream_parse_init(TarvoStreamParse* self) {
  self->filter = new playback::StreamParseFilter(GST_ELEMENT(self));
  GST_OBJECT_FLAG_SET(self, GST_ELEMENT_FLAG_SOURCE);
}

namespace playback {

void InstallPadFunctions(GstPad* pad) {
  gst_pad_set_event_function(pad, SrcEvent);
  gst_pad_set_query_function(pad, SrcQuery);
  gst_pad_set_activatemode_function(pad, SrcActivateMode);
}

bool RegisterStreamParseSource() {
  return gst_element_register(nullptr, kStreamParseFactory, GST_RANK_NONE, tarvo_stream_parse_get_type());
}

StreamParseControl* StreamParseControlOf(GstElement* element) {
  return IsStreamParse(element) ? FilterOf(element) : nullptr;
}

FileSource* FileSourceOf(GstElement* element) { return IsStreamParse(element) ? FilterOf(element) : nullptr; }

}  // namespace playback
