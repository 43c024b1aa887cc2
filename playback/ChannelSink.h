#pragma once
// The video output of one channel: a GStreamer video sink that hands every shown
// picture to the ChannelWindow it is attached to, as 32-bit BGRA top-down at the
// window's client size (never larger than the picture), and keeps the last decoded
// picture for repaints after a resize and for still captures at full size. A window
// that is not shown is handed nothing (nothing is converted for it), and a picture is
// handed over once: the one a paused sink showed is not handed again when playing
// starts, nor when a new rate makes it come again.

#include <gst/gst.h>

#include <cstdint>
#include <vector>

#include "playback/ChannelWindow.h"
#include "playback/GstSupport.h"
#include "playback/PlayerTypes.h"

namespace playback {

// The element message a sink posts when its last picture has had its time (the end
// of its stream reached it in time); its seqnum is that of the end.
inline constexpr const char* kPicturesEndedMessage = "tarvo-pictures-ended";

// Registers the sink's element type (EnsureGStreamer calls this).
bool RegisterChannelSink();

// A new channel sink named `name`.
ElementRef MakeChannelSink(const char* name);

// True for an element made by MakeChannelSink.
bool IsChannelSink(GstElement* element);

// Attaches the window that receives the pictures (null detaches). The window must
// stay alive until it is detached or the sink is freed.
void ChannelSinkAttach(GstElement* sink, ChannelWindow* window);

// The picture on screen is about to come again: the graph starts a new segment from
// its place for a new rate. Its next arrival is neither converted nor handed to the
// window; a different picture coming first is shown as usual.
void ChannelSinkExpectRepeat(GstElement* sink);

// The last picture as handed to the window (empty before the first).
VideoFrame ChannelSinkLastFrame(GstElement* sink);

// Asks the attached window to repaint; first hands it the last picture converted for
// its current size, unless it was handed that picture at that size already.
bool ChannelSinkRepaint(GstElement* sink);

// Pictures shown and pictures dropped as late since the sink started.
ChannelSinkStats ChannelSinkCounts(GstElement* sink);

// The stream time (100-ns units) of the last decoded picture, the one on screen; -1
// before the first.
std::int64_t ChannelSinkShownTime(GstElement* sink);

// The last decoded picture at its full size; false before the first.
bool ChannelSinkCapture(GstElement* sink, CapturedImage* image);

// Copies a frame into a CapturedImage; false for an empty frame.
bool CopyFrame(const VideoFrame& frame, CapturedImage* image);

}  // namespace playback
