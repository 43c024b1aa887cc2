#pragma once
// GStreamer start-up for the playback engine and the owning handles every reference
// the engine takes is held in, so that no path (a failed build step, a teardown, an
// early return) can leak or double-release one.

#include <gst/gst.h>

#include <memory>
#include <string>

namespace playback {

// Initialises GStreamer once per process and registers the engine's own elements
// (the stream-parse source and the channel sink). Safe from any thread. False when
// GStreamer itself cannot start.
bool EnsureGStreamer();

// Factory names of the engine's own elements, registered by EnsureGStreamer.
inline constexpr const char* kStreamParseFactory = "tarvostreamparse";
inline constexpr const char* kChannelSinkFactory = "tarvochannelsink";

// --- owning handles ---

struct GstObjectUnref {
  void operator()(gpointer object) const {
    if (object) gst_object_unref(object);
  }
};
struct GstCapsUnref {
  void operator()(GstCaps* caps) const {
    if (caps) gst_caps_unref(caps);
  }
};
struct GstBufferUnref {
  void operator()(GstBuffer* buffer) const {
    if (buffer) gst_buffer_unref(buffer);
  }
};
struct GstEventUnref {
  void operator()(GstEvent* event) const {
    if (event) gst_event_unref(event);
  }
};
struct GstMessageUnref {
  void operator()(GstMessage* message) const {
    if (message) gst_message_unref(message);
  }
};
struct GstStructureFree {
  void operator()(GstStructure* structure) const {
    if (structure) gst_structure_free(structure);
  }
};
struct GstIteratorFree {
  void operator()(GstIterator* iterator) const {
    if (iterator) gst_iterator_free(iterator);
  }
};
struct GErrorFree {
  void operator()(GError* error) const {
    if (error) g_error_free(error);
  }
};
struct GFree {
  void operator()(gpointer memory) const { g_free(memory); }
};

// One reference to a GstObject (element, pad, bus, plugin feature).
template <typename T>
using GstRef = std::unique_ptr<T, GstObjectUnref>;
using ElementRef = GstRef<GstElement>;
using PadRef = GstRef<GstPad>;
using BusRef = GstRef<GstBus>;
using CapsRef = std::unique_ptr<GstCaps, GstCapsUnref>;
using BufferRef = std::unique_ptr<GstBuffer, GstBufferUnref>;
using EventRef = std::unique_ptr<GstEvent, GstEventUnref>;
using MessageRef = std::unique_ptr<GstMessage, GstMessageUnref>;
using StructureRef = std::unique_ptr<GstStructure, GstStructureFree>;
using IteratorRef = std::unique_ptr<GstIterator, GstIteratorFree>;
using ErrorRef = std::unique_ptr<GError, GErrorFree>;
using CharsRef = std::unique_ptr<gchar, GFree>;

// Takes a reference of its own to an object someone else holds.
template <typename T>
GstRef<T> Retain(T* object) {
  return GstRef<T>(object ? static_cast<T*>(gst_object_ref(object)) : nullptr);
}

// Takes ownership of a new object: sinks a floating reference (a fresh element or
// pad), adopts a plain one.
template <typename T>
GstRef<T> Adopt(T* object) {
  return GstRef<T>(object ? static_cast<T*>(gst_object_ref_sink(object)) : nullptr);
}

// Makes an element of a factory that may be missing on this machine; null if so.
ElementRef MakeElement(const char* factory, const char* name = nullptr);

// A static pad of an element, owned; null when it has none of that name.
PadRef StaticPad(GstElement* element, const char* name);

// Adds `element` to `bin` (the bin takes its own reference) and returns it for
// linking; null when either is null or the bin refuses it.
GstElement* AddToBin(GstElement* bin, const ElementRef& element);

// Exposes a pad of an element inside `bin` on the bin itself, under `name`.
bool Ghost(GstElement* bin, GstElement* inner, const char* innerPad, const char* name);

// The name of an element or pad as a std::string (empty for null).
std::string ElementName(GstElement* element);
std::string PadName(GstPad* pad);

// Calls fn(pad) for each source (or sink) pad of an element while it returns true.
template <typename Fn>
void ForEachPad(GstElement* element, bool sources, Fn fn) {
  IteratorRef it(sources ? gst_element_iterate_src_pads(element) : gst_element_iterate_sink_pads(element));
  GValue item = G_VALUE_INIT;
  bool done = false;
  while (!done) {
    switch (gst_iterator_next(it.get(), &item)) {
      case GST_ITERATOR_OK:
        if (!fn(GST_PAD(g_value_get_object(&item)))) done = true;
        g_value_reset(&item);
        break;
      case GST_ITERATOR_RESYNC:
        gst_iterator_resync(it.get());
        break;
      default:
        done = true;
        break;
    }
  }
  g_value_unset(&item);
}

}  // namespace playback
