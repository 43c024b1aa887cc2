#pragma once
// GStreamer start-up for the playback engine and a few ownership helpers.

#include <gst/gst.h>

#include <string>

namespace playback {

// Initialises GStreamer once per process and registers the engine's own elements
// (the stream-parse source and the channel sink). Safe from any thread. False when
// GStreamer itself cannot start.
bool EnsureGStreamer();

// Factory names of the engine's own elements, registered by EnsureGStreamer.
inline constexpr const char* kStreamParseFactory = "tarvostreamparse";
inline constexpr const char* kChannelSinkFactory = "tarvochannelsink";

// Makes an element of a factory that may be missing on this machine; null if so.
GstElement* MakeElement(const char* factory, const char* name = nullptr);

// The name of an element or pad as a std::string (empty for null).
std::string ElementName(GstElement* element);
std::string PadName(GstPad* pad);

}  // namespace playback
