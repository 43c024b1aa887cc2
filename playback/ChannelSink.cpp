#include "playback/ChannelSink.h"

#include <gst/video/gstvideosink.h>
#include <gst/video/video.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "playback/GstSupport.h"
#include "playback/PictureScaler.h"

namespace playback {
namespace {

// Shared between the streaming thread (Prepare, ShowFrame) and the threads that
// attach, repaint and capture.
struct SinkState {
  std::mutex mutex;
  ChannelWindow* window = nullptr;
  VideoFrame last;   // as last handed to the window
  BufferRef native;  // the last decoded picture, for captures and resizes
  // The stream times (100-ns units) `native` covers, from its start to its end.
  std::int64_t nativeTimestamp = 0;
  std::int64_t nativeEnd = 0;
  // The window was handed `native` (at its size then). Holding the reference keeps
  // the buffer from going back to its pool, so the same address is the same picture.
  bool nativePresented = false;
  // A picture converted on its arrival, before the sink waits for its time, and the
  // buffer it came from; handed over when that buffer's time comes.
  BufferRef prepared;
  VideoFrame preparedFrame;
  // While a new segment from the place of the picture on screen is on its way (a new
  // rate), the times that picture covers: the first picture to come within them is
  // that picture again, which the window has. repeatFrom is -1 otherwise.
  std::int64_t repeatFrom = -1;
  std::int64_t repeatTo = -1;
  GstVideoInfo info;
  bool infoValid = false;
  PictureScaler scaler;
};

}  // namespace
}  // namespace playback

extern "C" {

struct TarvoChannelSink {
  GstVideoSink parent;
  playback::SinkState* state;
};

struct TarvoChannelSinkClass {
  GstVideoSinkClass parent_class;
};
}

// The type macro casts in C style; nothing of ours is cast there.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
G_DEFINE_TYPE(TarvoChannelSink, tarvo_channel_sink, GST_TYPE_VIDEO_SINK)
#pragma GCC diagnostic pop

namespace playback {
namespace {

SinkState* StateOf(gpointer sink) { return reinterpret_cast<TarvoChannelSink*>(sink)->state; }

GstStaticPadTemplate sinkTemplate = GST_STATIC_PAD_TEMPLATE(
    "sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-raw, format=(string){ I420, NV12, BGRA, BGRx }"));

gboolean SetCaps(GstBaseSink* base, GstCaps* caps) {
  GstVideoInfo info;
  if (!gst_video_info_from_caps(&info, caps)) return FALSE;
  SinkState* state = StateOf(base);
  std::lock_guard<std::mutex> lock(state->mutex);
  // A picture of the old format must not be read with the new one.
  if (state->native && !gst_video_info_is_equal(&state->info, &info)) state->native.reset();
  state->prepared.reset();
  state->preparedFrame = {};
  state->info = info;
  state->infoValid = true;
  GST_VIDEO_SINK_WIDTH(base) = GST_VIDEO_INFO_WIDTH(&info);
  GST_VIDEO_SINK_HEIGHT(base) = GST_VIDEO_INFO_HEIGHT(&info);
  return TRUE;
}

// The size the attached window is handed pictures at now. Called with the state's
// mutex held, a window attached and the format known.
void WindowSize(const SinkState* state, int* width, int* height) {
  ScaledSize(GST_VIDEO_INFO_WIDTH(&state->info), GST_VIDEO_INFO_HEIGHT(&state->info), state->window->ClientWidth(),
             state->window->ClientHeight(), width, height);
}

// `buffer` converted for the attached window at its current size; empty when there
// is no window or it does not show pictures now (its owner asks for a repaint when
// it shows it again). Called with the state's mutex held.
VideoFrame ConvertForWindow(SinkState* state, GstBuffer* buffer) {
  if (!buffer || !state->infoValid || !state->window || !state->window->IsShown()) return {};
  int width = 0, height = 0;
  WindowSize(state, &width, &height);
  return state->scaler.Convert(state->info, buffer, width, height);
}

// Hands the picture of `native` to the window. Under the lock, so that a window
// being detached never receives a picture after ChannelSinkAttach(nullptr) returned.
void Hand(SinkState* state, VideoFrame frame) {
  state->nativePresented = false;
  if (frame.IsEmpty() || !state->window) return;
  frame.timestamp = state->nativeTimestamp;
  state->last = frame;
  state->nativePresented = true;
  state->window->PresentFrame(frame);
}

// The window was handed the last decoded picture at the size it would get now.
// Called with the state's mutex held.
bool WindowHoldsNative(SinkState* state) {
  if (!state->nativePresented || !state->native || !state->infoValid || !state->window->IsShown()) return false;
  int width = 0, height = 0;
  WindowSize(state, &width, &height);
  return state->last.width == width && state->last.height == height;
}

void PresentNative(SinkState* state) { Hand(state, ConvertForWindow(state, state->native.get())); }

// A buffer time in the sink's segment as stream time, in 100-ns units; 0 without one.
std::int64_t StreamTimestamp(GstBaseSink* base, GstClockTime pts) {
  if (!GST_CLOCK_TIME_IS_VALID(pts)) return 0;
  const guint64 streamTime = gst_segment_to_stream_time(&base->segment, GST_FORMAT_TIME, pts);
  return GST_CLOCK_TIME_IS_VALID(streamTime) ? static_cast<std::int64_t>(streamTime / 100) : 0;
}

// The stream times `buffer` covers; a picture without a duration covers its start only.
void StreamSpan(GstBaseSink* base, GstBuffer* buffer, std::int64_t* from, std::int64_t* to) {
  *from = StreamTimestamp(base, GST_BUFFER_PTS(buffer));
  *to = *from + 1;
  if (GST_BUFFER_PTS_IS_VALID(buffer) && GST_BUFFER_DURATION_IS_VALID(buffer))
    *to = std::max(*to, StreamTimestamp(base, GST_BUFFER_PTS(buffer) + GST_BUFFER_DURATION(buffer)));
}

// Called as a picture arrives, before the sink waits for its time and after a late
// one was dropped: the decoder has just written its bytes, which are still in the
// processor's caches, where converting it costs least. A picture that turns out late
// after the wait is shown all the same.
GstFlowReturn Prepare(GstBaseSink* base, GstBuffer* buffer) {
  SinkState* state = StateOf(base);
  std::lock_guard<std::mutex> lock(state->mutex);
  state->prepared.reset();
  state->preparedFrame = {};
  if (state->repeatFrom >= 0) {
    // Cut to the segment, the picture starts at the new segment's start, inside the
    // span of the one on screen.
    const std::int64_t start = StreamTimestamp(base, GST_BUFFER_PTS(buffer));
    const bool repeat = state->nativePresented && start >= state->repeatFrom && start < state->repeatTo;
    state->repeatFrom = state->repeatTo = -1;
    // The new buffer stands for the picture on screen from now on, so that its render
    // below is known as one the window has.
    if (repeat) state->native.reset(gst_buffer_ref(buffer));
  }
  if (buffer == state->native.get() && state->nativePresented) return GST_FLOW_OK;
  state->preparedFrame = ConvertForWindow(state, buffer);
  if (!state->preparedFrame.IsEmpty()) state->prepared.reset(gst_buffer_ref(buffer));
  return GST_FLOW_OK;
}

GstFlowReturn ShowFrame(GstVideoSink* video, GstBuffer* buffer) {
  SinkState* state = StateOf(video);
  std::int64_t timestamp = 0, end = 0;
  StreamSpan(GST_BASE_SINK(video), buffer, &timestamp, &end);
  std::lock_guard<std::mutex> lock(state->mutex);
  if (!state->infoValid) return GST_FLOW_NOT_NEGOTIATED;
  // The picture a paused sink showed comes again when playing starts: the window has
  // it already.
  if (buffer == state->native.get() && state->nativePresented) return GST_FLOW_OK;
  state->native.reset(gst_buffer_ref(buffer));
  state->nativeTimestamp = timestamp;
  state->nativeEnd = end;
  VideoFrame frame;
  if (state->prepared.get() == buffer && state->window && state->window->IsShown())
    frame = std::move(state->preparedFrame);
  state->prepared.reset();
  state->preparedFrame = {};
  // A picture shown while paused was not prepared; one without a window waits for a
  // capture to be converted at all.
  if (frame.IsEmpty()) frame = ConvertForWindow(state, buffer);
  Hand(state, std::move(frame));
  return GST_FLOW_OK;
}

GstBaseSinkClass* ParentSinkClass() { return GST_BASE_SINK_CLASS(tarvo_channel_sink_parent_class); }

// The base sink hands over the end once the last picture has had its time, which
// may come well before the sound ends: it is said on the bus at once, so that the
// next recording can follow the last picture rather than the last sound.
gboolean SinkEvent(GstBaseSink* base, GstEvent* event) {
  if (GST_EVENT_TYPE(event) == GST_EVENT_EOS) {
    GstMessage* message = gst_message_new_element(GST_OBJECT(base), gst_structure_new_empty(kPicturesEndedMessage));
    gst_message_set_seqnum(message, gst_event_get_seqnum(event));
    gst_element_post_message(GST_ELEMENT(base), message);
  }
  return ParentSinkClass()->event(base, event);
}

void Finalize(GObject* object) {
  delete StateOf(object);
  G_OBJECT_CLASS(tarvo_channel_sink_parent_class)->finalize(object);
}

}  // namespace
}  // namespace playback

static void tarvo_channel_sink_class_init(TarvoChannelSinkClass* klass) {
  GObjectClass* objectClass = G_OBJECT_CLASS(klass);
  GstElementClass* elementClass = GST_ELEMENT_CLASS(klass);
  GstBaseSinkClass* baseClass = GST_BASE_SINK_CLASS(klass);
  GstVideoSinkClass* videoClass = GST_VIDEO_SINK_CLASS(klass);
  objectClass->finalize = playback::Finalize;
  gst_element_class_set_static_metadata(elementClass, "Channel window sink", "Sink/Video",
                                        "Hands pictures to a viewer channel window", "Tarvo Viewer");
  gst_element_class_add_static_pad_template(elementClass, &playback::sinkTemplate);
  baseClass->set_caps = playback::SetCaps;
  baseClass->prepare = playback::Prepare;
  baseClass->event = playback::SinkEvent;
  videoClass->show_frame = playback::ShowFrame;
}

static void tarvo_channel_sink_init(TarvoChannelSink* sink) {
  sink->state = new playback::SinkState;
  gst_video_info_init(&sink->state->info);
  // Late pictures are dropped (and reported upstream so that the decoder skips work)
  // instead of piling up; 40 ms is a little over one frame at 30 fps.
  gst_base_sink_set_max_lateness(GST_BASE_SINK(sink), 40 * GST_MSECOND);
  gst_base_sink_set_qos_enabled(GST_BASE_SINK(sink), TRUE);
}

namespace playback {

bool RegisterChannelSink() {
  return gst_element_register(nullptr, kChannelSinkFactory, GST_RANK_NONE, tarvo_channel_sink_get_type());
}

ElementRef MakeChannelSink(const char* name) { return MakeElement(kChannelSinkFactory, name); }

bool IsChannelSink(GstElement* element) {
  return element && G_TYPE_CHECK_INSTANCE_TYPE(element, tarvo_channel_sink_get_type());
}

void ChannelSinkAttach(GstElement* sink, ChannelWindow* window) {
  if (!IsChannelSink(sink)) return;
  SinkState* state = StateOf(sink);
  std::lock_guard<std::mutex> lock(state->mutex);
  // Another window has been handed nothing yet.
  if (window != state->window) state->nativePresented = false;
  state->window = window;
}

VideoFrame ChannelSinkLastFrame(GstElement* sink) {
  if (!IsChannelSink(sink)) return {};
  SinkState* state = StateOf(sink);
  std::lock_guard<std::mutex> lock(state->mutex);
  return state->last;
}

void ChannelSinkExpectRepeat(GstElement* sink) {
  if (!IsChannelSink(sink)) return;
  SinkState* state = StateOf(sink);
  std::lock_guard<std::mutex> lock(state->mutex);
  const bool held = state->native && state->nativePresented;
  state->repeatFrom = held ? state->nativeTimestamp : -1;
  state->repeatTo = held ? state->nativeEnd : -1;
}

std::int64_t ChannelSinkShownTime(GstElement* sink) {
  if (!IsChannelSink(sink)) return -1;
  SinkState* state = StateOf(sink);
  std::lock_guard<std::mutex> lock(state->mutex);
  return state->native ? state->nativeTimestamp : -1;
}

bool ChannelSinkRepaint(GstElement* sink) {
  if (!IsChannelSink(sink)) return false;
  SinkState* state = StateOf(sink);
  std::lock_guard<std::mutex> lock(state->mutex);
  if (!state->window) return false;
  // The window may have been resized or shown again since: then the last picture is
  // converted again. A layout pass that changed neither (the main window runs one
  // for each of its own resizes and view changes) only has it paint what it holds.
  if (!WindowHoldsNative(state)) PresentNative(state);
  state->window->RequestRepaint();
  return true;
}

ChannelSinkStats ChannelSinkCounts(GstElement* sink) {
  ChannelSinkStats counts;
  if (!IsChannelSink(sink)) return counts;
  StructureRef stats(gst_base_sink_get_stats(GST_BASE_SINK(sink)));
  if (!stats) return counts;
  guint64 value = 0;
  if (gst_structure_get_uint64(stats.get(), "rendered", &value)) counts.rendered = value;
  if (gst_structure_get_uint64(stats.get(), "dropped", &value)) counts.dropped = value;
  return counts;
}

bool ChannelSinkCapture(GstElement* sink, CapturedImage* image) {
  if (!IsChannelSink(sink) || !image) return false;
  SinkState* state = StateOf(sink);
  BufferRef native;
  GstVideoInfo info;
  {
    std::lock_guard<std::mutex> lock(state->mutex);
    if (!state->native || !state->infoValid) return false;
    native.reset(gst_buffer_ref(state->native.get()));
    info = state->info;
  }
  PictureScaler scaler;
  const VideoFrame frame =
      scaler.Convert(info, native.get(), GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info));
  return CopyFrame(frame, image);
}

bool CopyFrame(const VideoFrame& frame, CapturedImage* image) {
  if (!image || frame.IsEmpty()) return false;
  const std::size_t rowBytes = static_cast<std::size_t>(frame.width) * 4;
  std::vector<std::uint8_t> pixels(rowBytes * static_cast<std::size_t>(frame.height));
  for (int y = 0; y < frame.height; ++y)
    std::memcpy(pixels.data() + rowBytes * static_cast<std::size_t>(y), frame.Row(y), rowBytes);
  image->width = frame.width;
  image->height = frame.height;
  image->pixels = std::move(pixels);
  return true;
}

}  // namespace playback
