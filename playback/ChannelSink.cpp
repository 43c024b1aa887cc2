#include "playback/ChannelSink.h"

#include <gst/video/gstvideosink.h>
#include <gst/video/video.h>

#include <cstring>
#include <mutex>

#include "playback/GstSupport.h"

namespace playback {
namespace {

// Shared between the streaming thread (ShowFrame) and the threads that attach,
// repaint and capture.
struct SinkState {
  std::mutex mutex;
  ChannelWindow* window = nullptr;
  VideoFrame last;
  GstVideoInfo info;
  bool infoValid = false;
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
    "sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-raw, format=(string)BGRA"));

// Keeps a buffer mapped while any VideoFrame refers to its bytes.
struct MappedBuffer {
  GstBuffer* buffer = nullptr;
  GstMapInfo map{};
};

void ReleaseMapped(const std::uint8_t*, MappedBuffer* mapped) {
  gst_buffer_unmap(mapped->buffer, &mapped->map);
  gst_buffer_unref(mapped->buffer);
  delete mapped;
}

gboolean SetCaps(GstBaseSink* base, GstCaps* caps) {
  GstVideoInfo info;
  if (!gst_video_info_from_caps(&info, caps)) return FALSE;
  SinkState* state = StateOf(base);
  std::lock_guard<std::mutex> lock(state->mutex);
  state->info = info;
  state->infoValid = true;
  GST_VIDEO_SINK_WIDTH(base) = GST_VIDEO_INFO_WIDTH(&info);
  GST_VIDEO_SINK_HEIGHT(base) = GST_VIDEO_INFO_HEIGHT(&info);
  return TRUE;
}

GstFlowReturn ShowFrame(GstVideoSink* video, GstBuffer* buffer) {
  SinkState* state = StateOf(video);
  ChannelWindow* window = nullptr;
  VideoFrame frame;
  {
    std::lock_guard<std::mutex> lock(state->mutex);
    if (!state->infoValid) return GST_FLOW_NOT_NEGOTIATED;
    int width = GST_VIDEO_INFO_WIDTH(&state->info);
    int height = GST_VIDEO_INFO_HEIGHT(&state->info);
    int stride = GST_VIDEO_INFO_PLANE_STRIDE(&state->info, 0);
    gsize offset = GST_VIDEO_INFO_PLANE_OFFSET(&state->info, 0);
    if (GstVideoMeta* meta = gst_buffer_get_video_meta(buffer)) {
      width = static_cast<int>(meta->width);
      height = static_cast<int>(meta->height);
      stride = meta->stride[0];
      offset = meta->offset[0];
    }
    auto* mapped = new MappedBuffer;
    mapped->buffer = gst_buffer_ref(buffer);
    if (!gst_buffer_map(buffer, &mapped->map, GST_MAP_READ)) {
      gst_buffer_unref(mapped->buffer);
      delete mapped;
      return GST_FLOW_ERROR;
    }
    // A buffer shorter than its caps promise is dropped rather than read past its end.
    const gsize needed = offset + static_cast<gsize>(stride) * static_cast<gsize>(height > 0 ? height - 1 : 0) +
                         static_cast<gsize>(width) * 4;
    if (width <= 0 || height <= 0 || stride < width * 4 || mapped->map.size < needed) {
      ReleaseMapped(nullptr, mapped);
      return GST_FLOW_OK;
    }
    frame.width = width;
    frame.height = height;
    frame.stride = stride;
    frame.pixels = std::shared_ptr<const std::uint8_t>(mapped->map.data + offset,
        [mapped](const std::uint8_t* p) { ReleaseMapped(p, mapped); });
    const GstClockTime pts = GST_BUFFER_PTS(buffer);
    if (GST_CLOCK_TIME_IS_VALID(pts)) {
      const GstSegment* segment = &GST_BASE_SINK(video)->segment;
      const guint64 streamTime = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, pts);
      frame.timestamp = GST_CLOCK_TIME_IS_VALID(streamTime) ? static_cast<std::int64_t>(streamTime / 100) : 0;
    }
    state->last = frame;
    window = state->window;
    // Present under the lock so that a window being detached never receives a frame
    // after ChannelSinkAttach(nullptr) has returned.
    if (window) window->PresentFrame(frame);
  }
  return GST_FLOW_OK;
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

GstElement* MakeChannelSink(const char* name) {
  return gst_element_factory_make(kChannelSinkFactory, name);
}

bool IsChannelSink(GstElement* element) {
  return element && G_TYPE_CHECK_INSTANCE_TYPE(element, tarvo_channel_sink_get_type());
}

void ChannelSinkAttach(GstElement* sink, ChannelWindow* window) {
  if (!IsChannelSink(sink)) return;
  SinkState* state = StateOf(sink);
  std::lock_guard<std::mutex> lock(state->mutex);
  state->window = window;
}

VideoFrame ChannelSinkLastFrame(GstElement* sink) {
  if (!IsChannelSink(sink)) return {};
  SinkState* state = StateOf(sink);
  std::lock_guard<std::mutex> lock(state->mutex);
  return state->last;
}

bool ChannelSinkRepaint(GstElement* sink) {
  if (!IsChannelSink(sink)) return false;
  SinkState* state = StateOf(sink);
  std::lock_guard<std::mutex> lock(state->mutex);
  if (!state->window) return false;
  if (!state->last.IsEmpty()) state->window->PresentFrame(state->last);
  state->window->RequestRepaint();
  return true;
}

ChannelSinkStats ChannelSinkCounts(GstElement* sink) {
  ChannelSinkStats counts;
  if (!IsChannelSink(sink)) return counts;
  GstStructure* stats = gst_base_sink_get_stats(GST_BASE_SINK(sink));
  if (!stats) return counts;
  guint64 value = 0;
  if (gst_structure_get_uint64(stats, "rendered", &value)) counts.rendered = value;
  if (gst_structure_get_uint64(stats, "dropped", &value)) counts.dropped = value;
  gst_structure_free(stats);
  return counts;
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
