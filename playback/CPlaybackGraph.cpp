#include "playback/CPlaybackGraph.h"

#include <algorithm>
#include <string>

#include "playback/AudioOutput.h"
#include "playback/GstSupport.h"
#include "playback/StreamParseSource.h"
#include "playback/VideoDecoderBin.h"

namespace playback {
namespace {

constexpr std::int32_t kPcmScore = 1001;
constexpr std::int32_t kCompressedScore = 1;
constexpr std::int32_t kPcmThreshold = 1000;
constexpr int kMaxConnectAttempts = 3;
// How long the first picture may take to reach every renderer.
constexpr GstClockTime kPrerollTimeout = 10 * GST_SECOND;

bool NameContains(GstPad* pad, const char* part) { return PadName(pad).find(part) != std::string::npos; }

std::string Label(const char* prefix, int n) { return prefix + std::to_string(n); }

// The first caps a pad offers names PCM when it is raw audio.
bool OffersPcm(GstPad* pad) {
  GstCaps* caps = gst_pad_query_caps(pad, nullptr);
  bool pcm = false;
  if (caps && !gst_caps_is_empty(caps) && !gst_caps_is_any(caps))
    pcm = gst_structure_has_name(gst_caps_get_structure(caps, 0), "audio/x-raw");
  if (caps) gst_caps_unref(caps);
  return pcm;
}

template <typename Fn>
void ForEachPad(GstElement* element, bool sources, Fn fn) {
  GstIterator* it = sources ? gst_element_iterate_src_pads(element) : gst_element_iterate_sink_pads(element);
  GValue item = G_VALUE_INIT;
  bool done = false;
  while (!done) {
    switch (gst_iterator_next(it, &item)) {
      case GST_ITERATOR_OK:
        if (!fn(GST_PAD(g_value_get_object(&item)))) done = true;
        g_value_reset(&item);
        break;
      case GST_ITERATOR_RESYNC:
        gst_iterator_resync(it);
        break;
      default:
        done = true;
        break;
    }
  }
  g_value_unset(&item);
  gst_iterator_free(it);
}

}  // namespace

CPlaybackGraph::CPlaybackGraph(int requested, ChannelWindow* window1, ChannelWindow* window2, ChannelWindow* window3,
                               ChannelWindow* window4)
    : requestedChannels(std::clamp(requested, 1, kMaxChannels)) {
  EnsureGStreamer();
  window[0] = window1;
  window[1] = window2;
  window[2] = window3;
  window[3] = window4;
}

CPlaybackGraph::~CPlaybackGraph() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  for (ChannelWindow*& w : window) w = nullptr;
  Teardown();
}

void CPlaybackGraph::Reset(bool sourceOptionValue, bool brightnessFilterOption) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  ready = 1;
  state = kStateEmpty;
  for (GstElement*& r : renderer) r = nullptr;
  source = nullptr;
  sourceOption = sourceOptionValue;
  useBrightnessFilter = brightnessFilterOption;
}

HResult CPlaybackGraph::AddFilter(GstElement* element, GstElement** field) {
  if (!graph || !field) {
    if (element) gst_object_unref(gst_object_ref_sink(element));
    return kEPointer;
  }
  if (!element) return kEFail;
  if (!gst_bin_add(GST_BIN(graph), element)) {
    gst_object_unref(gst_object_ref_sink(element));
    return kEFail;
  }
  *field = GST_ELEMENT(gst_object_ref(element));
  return kSOk;
}

// Links the first free output of `upstream` to the first free input of `downstream`
// that accept each other, trying at most three pairs, as the viewer always connected
// its filters.
HResult CPlaybackGraph::ConnectFilters(GstElement* upstream, GstElement* downstream) {
  if (!graph || !upstream || !downstream) return kEPointer;
  int attempts = 0;
  HResult result = kEFail;
  bool finished = false;
  ForEachPad(upstream, true, [&](GstPad* out) {
    if (gst_pad_is_linked(out)) return true;
    ForEachPad(downstream, false, [&](GstPad* in) {
      if (gst_pad_is_linked(in)) return true;
      if (attempts >= kMaxConnectAttempts) {
        finished = true;
        return false;
      }
      ++attempts;
      if (gst_pad_link_full(out, in, GST_PAD_LINK_CHECK_DEFAULT) == GST_PAD_LINK_OK) {
        result = kSOk;
        finished = true;
        return false;
      }
      return true;
    });
    return !finished;
  });
  return result;
}

HResult CPlaybackGraph::Build(const std::string& recordingPath, void* sourceHandle, std::int32_t sourceValue) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (built) Teardown();
  if (recordingPath.empty()) return kEngineFailure;
  if (source) {
    gst_element_set_state(source, GST_STATE_NULL);
    gst_object_unref(source);
    source = nullptr;
  }
  path = recordingPath;
  if (!EnsureGStreamer()) return kEFail;
  graph = gst_pipeline_new(nullptr);
  if (!graph) return kEFail;
  gst_object_ref_sink(graph);
  atEnd_ = false;
  segmentSeqnum_ = GST_SEQNUM_INVALID;
  appliedRate_ = 1.0;
  GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(graph));
  gst_bus_set_sync_handler(bus, &CPlaybackGraph::OnBusMessage, this, nullptr);
  gst_object_unref(bus);

  HResult hr = AddFilter(MakeElement(kStreamParseFactory, kSourceLabel), &source);
  if (Failed(hr)) return hr;
  if (StreamParseControl* control = StreamParseControlOf(source)) {
    control->SetSourceOption(sourceOption);
    control->SetCardSource(sourceHandle, sourceValue);
  }
  FileSource* file = FileSourceOf(source);
  if (!file) return kEngineFailure;
  const HResult loaded = file->Load(path);
  if (Failed(loaded)) return kEngineFailure;

  std::int32_t count = 0;
  ForEachPad(source, true, [&](GstPad* pad) {
    if (NameContains(pad, "Video")) ++count;
    return true;
  });
  videoChannels = count;
  if (count == 0) return loaded;
  const bool single = count == 1;
  if (single) {
    hr = BuildAudio(true);
    if (Failed(hr)) return hr;
    hr = BuildChannel(1, true);
    if (Failed(hr)) return hr;
  } else {
    hr = BuildAudio(false);
    if (Failed(hr)) return hr;
    for (int n = 1; n <= kMaxChannels && n <= requestedChannels && n <= count; ++n) {
      hr = BuildChannel(n, false);
      if (Failed(hr)) return hr;
    }
  }
  hr = StopWhenReady();
  std::int64_t ignored = 0;
  GetDuration(&ignored);
  built = 1;
  return hr;
}

HResult CPlaybackGraph::BuildAudio(bool singleChannel) {
  std::int32_t score = 0;
  ForEachPad(source, true, [&](GstPad* pad) {
    if (NameContains(pad, "Audio")) score += OffersPcm(pad) ? kPcmScore : kCompressedScore;
    return true;
  });
  if (score == 0) return kSOk;
  if (score < kPcmThreshold) {
    const char* label = singleChannel ? kSingleAudioDecoderLabel : kMultiAudioDecoderLabel;
    const HResult hr = AddFilter(MakeAacDecoder(label), &audioDecoder);
    if (Failed(hr)) return hr;
  }
  // Without any audio output the recording plays without sound.
  if (Failed(AddFilter(MakeAudioRenderer(kAudioRendererLabel), &audioRenderer))) return kSOk;
  if (score >= kPcmThreshold) {
    ConnectFilters(source, audioRenderer);
  } else {
    ConnectFilters(source, audioDecoder);
    ConnectFilters(audioDecoder, audioRenderer);
  }
  return kSOk;
}

HResult CPlaybackGraph::BuildChannel(int n, bool singleChannel) {
  const int i = n - 1;
  const std::string decoderLabel = Label(kDecoderLabelPrefix, n);
  HResult hr = AddFilter(MakeVideoDecoderBin(decoderLabel.c_str()), &decoder[i]);
  if (Failed(hr)) return hr;
  if (useBrightnessFilter) {
    // The brightness stage passes pictures through; the decoder adjusts them.
    const std::string label = Label(kBrightnessLabelPrefix, n);
    hr = AddFilter(MakeElement("identity", label.c_str()), &brightness[i]);
    if (Failed(hr)) return hr;
  }
  const std::string converterLabel = Label(kConverterLabelPrefix, n);
  hr = AddFilter(MakeElement("videoconvert", converterLabel.c_str()), &converter[i]);
  if (Failed(hr)) return hr;
  const std::string rendererLabel = singleChannel ? std::string(kSingleRendererLabel) : Label(kRendererLabelPrefix, n);
  hr = AddFilter(MakeChannelSink(rendererLabel.c_str()), &renderer[i]);
  if (Failed(hr)) return hr;
  hr = ConfigureRenderer(n);
  if (Failed(hr) || hr == kEngineFailure) return hr;
  // A chain that does not connect shows nothing; the build goes on.
  ConnectFilters(source, decoder[i]);
  if (brightness[i]) {
    ConnectFilters(decoder[i], brightness[i]);
    ConnectFilters(brightness[i], converter[i]);
  } else {
    ConnectFilters(decoder[i], converter[i]);
  }
  ConnectFilters(converter[i], renderer[i]);
  return kSOk;
}

HResult CPlaybackGraph::ConfigureRenderer(int n) {
  GstElement* sink = renderer[n - 1];
  if (!IsChannelSink(sink)) return kEngineFailure;
  ChannelSinkAttach(sink, window[n - 1]);
  duration = 0;
  return kSOk;
}

void CPlaybackGraph::WaitForPreroll() {
  if (graph) gst_element_get_state(graph, nullptr, nullptr, kPrerollTimeout);
}

HResult CPlaybackGraph::StopWhenReady() {
  // "Stopped on the first picture" is a prerolled, paused pipeline: every renderer
  // holds its first picture and the position stays at the start.
  const GstStateChangeReturn change = gst_element_set_state(graph, GST_STATE_PAUSED);
  state = kStateStopped;
  if (change == GST_STATE_CHANGE_FAILURE) return kEFail;
  const GstStateChangeReturn settled = gst_element_get_state(graph, nullptr, nullptr, kPrerollTimeout);
  return settled == GST_STATE_CHANGE_FAILURE ? kEFail : kSOk;
}

void CPlaybackGraph::RemoveFilter(GstElement** field) {
  if (!*field) return;
  if (graph && GST_OBJECT_PARENT(*field) == GST_OBJECT(graph)) gst_bin_remove(GST_BIN(graph), *field);
  gst_element_set_state(*field, GST_STATE_NULL);
  gst_object_unref(*field);
  *field = nullptr;
}

void CPlaybackGraph::Teardown() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (graph) {
    GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(graph));
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    for (GstElement* r : renderer) ChannelSinkAttach(r, nullptr);
    // Streaming threads end here, before any element leaves the pipeline.
    gst_element_set_state(graph, GST_STATE_NULL);
  }
  state = kStateStopped;
  RemoveFilter(&audioRenderer);
  for (GstElement*& r : renderer) RemoveFilter(&r);
  for (GstElement*& d : decoder) RemoveFilter(&d);
  RemoveFilter(&audioDecoder);
  RemoveFilter(&source);
  for (GstElement*& b : brightness) RemoveFilter(&b);
  for (GstElement*& c : converter) RemoveFilter(&c);
  if (graph) {
    // Whatever else the build left in the pipeline goes with it.
    gst_object_unref(graph);
    graph = nullptr;
  }
  built = 0;
  videoChannels = 0;
  atEnd_ = false;
}

HResult CPlaybackGraph::RepaintChannel1() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!renderer[0]) return kEPointer;
  return ChannelSinkRepaint(renderer[0]) ? kSOk : kEFail;
}

HResult CPlaybackGraph::RepaintAll() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  for (int n = 1; n <= kMaxChannels; ++n) {
    if (n > requestedChannels || n > videoChannels || !renderer[n - 1]) continue;
    ChannelSinkRepaint(renderer[n - 1]);
  }
  return kSOk;
}

bool CPlaybackGraph::GetCurrentImage(int channel, CapturedImage* image) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (channel < 0 || channel >= kMaxChannels || channel >= requestedChannels) return false;
  GstElement* sink = renderer[channel];
  if (!sink) return false;
  return ChannelSinkCapture(sink, image);
}

ChannelSinkStats CPlaybackGraph::RendererCounts(int channel) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (channel < 0 || channel >= kMaxChannels) return {};
  return ChannelSinkCounts(renderer[channel]);
}

TelemetryRecordSource* CPlaybackGraph::TelemetrySource() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return StreamParseControlOf(source);
}

std::string CPlaybackGraph::LastError() {
  std::lock_guard<std::mutex> lock(errorMutex_);
  return lastError_;
}

GstBusSyncReply CPlaybackGraph::OnBusMessage(GstBus*, GstMessage* message, gpointer self) {
  // Runs on whichever streaming thread posted the message: only atomics and the
  // error text are touched here. The window thread learns of the end by polling
  // the position, as it always has.
  auto* graph = static_cast<CPlaybackGraph*>(self);
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS: {
      const guint32 expected = graph->segmentSeqnum_.load();
      if (expected == GST_SEQNUM_INVALID || gst_message_get_seqnum(message) == expected) graph->atEnd_ = true;
      break;
    }
    case GST_MESSAGE_ERROR: {
      GError* error = nullptr;
      gst_message_parse_error(message, &error, nullptr);
      std::lock_guard<std::mutex> lock(graph->errorMutex_);
      graph->lastError_ = error && error->message ? error->message : "error";
      if (error) g_error_free(error);
      break;
    }
    default:
      break;
  }
  gst_message_unref(message);
  return GST_BUS_DROP;
}

}  // namespace playback
