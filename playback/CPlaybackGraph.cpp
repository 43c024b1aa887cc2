#include "playback/CPlaybackGraph.h"

#include <algorithm>
#include <string>

#include "playback/AudioOutput.h"
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
  const CapsRef caps(gst_pad_query_caps(pad, nullptr));
  if (!caps || gst_caps_is_empty(caps.get()) || gst_caps_is_any(caps.get())) return false;
  return gst_structure_has_name(gst_caps_get_structure(caps.get(), 0), "audio/x-raw");
}

// The caps of the first of the source's pads whose name holds `part`, or null.
CapsRef FirstPadCaps(GstElement* source, const char* part, int skip = 0) {
  CapsRef caps;
  ForEachPad(source, true, [&](GstPad* pad) {
    if (!NameContains(pad, part) || skip-- > 0) return true;
    caps.reset(gst_pad_query_caps(pad, nullptr));
    return false;
  });
  return caps;
}

// What to tell the user of pictures no decoder here takes: the code that names them.
std::string UnsupportedVideoName(const GstCaps* caps) {
  if (!caps || gst_caps_is_empty(caps) || gst_caps_is_any(caps)) return "?";
  const GstStructure* s = gst_caps_get_structure(caps, 0);
  const char* code = gst_structure_get_string(s, "fourcc");
  return code ? code : gst_structure_get_name(s);
}

// Keeps the source element alive for as long as a telemetry reader holds its records.
struct HeldTelemetry {
  ElementRef element;
};

}  // namespace

CPlaybackGraph::CPlaybackGraph(int requested, ChannelWindow* window1, ChannelWindow* window2, ChannelWindow* window3,
                               ChannelWindow* window4)
    : requestedChannels_(std::clamp(requested, 1, kMaxChannels)) {
  EnsureGStreamer();
  window_[0] = window1;
  window_[1] = window2;
  window_[2] = window3;
  window_[3] = window4;
}

CPlaybackGraph::~CPlaybackGraph() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  for (ChannelWindow*& w : window_) w = nullptr;
  Teardown();
}

void CPlaybackGraph::Reset(bool sourceOptionValue, bool brightnessFilterOption) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  // A reset graph starts from nothing: whatever an earlier build made is released
  // rather than forgotten.
  if (graph_ || source_) Teardown();
  ready_ = 1;
  state_ = kStateEmpty;
  sourceOption_ = sourceOptionValue;
  useBrightnessFilter_ = brightnessFilterOption;
}

void CPlaybackGraph::SetListener(PlaybackListener* listener) { listener_ = listener; }

HResult CPlaybackGraph::AddFilter(ElementRef element, ElementRef* field) {
  if (!graph_ || !field) return kEPointer;
  if (!element) return kEFail;
  if (!AddToBin(graph_.get(), element)) return kEFail;
  *field = std::move(element);
  return kSOk;
}

// Links the first free output of `upstream` to the first free input of `downstream`
// that accept each other, trying at most three pairs, as the viewer always connected
// its filters.
HResult CPlaybackGraph::ConnectFilters(GstElement* upstream, GstElement* downstream) {
  if (!graph_ || !upstream || !downstream) return kEPointer;
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

HResult CPlaybackGraph::Build(const std::string& recordingPath, CardSource card) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (built_) Teardown();
  if (recordingPath.empty()) return kEngineFailure;
  if (source_) {
    gst_element_set_state(source_.get(), GST_STATE_NULL);
    source_.reset();
  }
  path_ = recordingPath;
  unsupportedVideo_.clear();
  if (!EnsureGStreamer()) return kEFail;
  graph_ = Adopt(gst_pipeline_new(nullptr));
  if (!graph_) return kEFail;
  atEnd_ = false;
  seekTarget_ = -1;
  segmentSeqnum_ = GST_SEQNUM_INVALID;
  appliedRate_ = 1.0;
  {
    std::lock_guard<std::mutex> errorLock(errorMutex_);
    lastError_.clear();
    errorReported_ = false;
  }
  const BusRef bus(gst_pipeline_get_bus(GST_PIPELINE(graph_.get())));
  handlerArmed_.store(true, std::memory_order_release);
  gst_bus_set_sync_handler(bus.get(), &CPlaybackGraph::OnBusMessage, this, nullptr);

  HResult hr = AddFilter(MakeElement(kStreamParseFactory, kSourceLabel), &source_);
  if (Failed(hr)) return hr;
  if (StreamParseControl* control = StreamParseControlOf(source_.get())) {
    control->SetSourceOption(sourceOption_);
    control->SetCardSource(card.card, card.fileNumber);
  }
  FileSource* file = FileSourceOf(source_.get());
  if (!file) return kEngineFailure;
  const HResult loaded = file->Load(path_);
  if (Failed(loaded)) return kEngineFailure;

  std::int32_t count = 0;
  ForEachPad(source_.get(), true, [&](GstPad* pad) {
    if (NameContains(pad, "Video")) ++count;
    return true;
  });
  videoChannels_ = count;
  if (count == 0) return loaded;
  // Pictures no decoder here takes: nothing would be shown, so nothing is built, and
  // the caller can say which format it was.
  for (int n = 0; n < count; ++n) {
    const CapsRef caps = FirstPadCaps(source_.get(), "Video", n);
    if (!CanDecodeVideo(caps.get())) {
      unsupportedVideo_ = UnsupportedVideoName(caps.get());
      return kEngineFailure;
    }
  }
  const bool single = count == 1;
  if (single) {
    hr = BuildAudio(true);
    if (Failed(hr)) return hr;
    hr = BuildChannel(1, true);
    if (Failed(hr)) return hr;
  } else {
    hr = BuildAudio(false);
    if (Failed(hr)) return hr;
    for (int n = 1; n <= kMaxChannels && n <= requestedChannels_ && n <= count; ++n) {
      hr = BuildChannel(n, false);
      if (Failed(hr)) return hr;
    }
  }
  hr = StopWhenReady();
  std::int64_t ignored = 0;
  GetDuration(&ignored);
  built_ = 1;
  return hr;
}

HResult CPlaybackGraph::BuildAudio(bool singleChannel) {
  std::int32_t score = 0;
  ForEachPad(source_.get(), true, [&](GstPad* pad) {
    if (NameContains(pad, "Audio")) score += OffersPcm(pad) ? kPcmScore : kCompressedScore;
    return true;
  });
  if (score == 0) return kSOk;
  if (score < kPcmThreshold) {
    const char* label = singleChannel ? kSingleAudioDecoderLabel : kMultiAudioDecoderLabel;
    const CapsRef caps = FirstPadCaps(source_.get(), "Audio");
    // Sound no decoder here takes: the recording plays without it.
    if (Failed(AddFilter(MakeAudioDecoder(label, caps.get()), &audioDecoder_))) return kSOk;
  }
  // Without any audio output the recording plays without sound.
  if (Failed(AddFilter(MakeAudioRenderer(kAudioRendererLabel), &audioRenderer_))) return kSOk;
  if (score >= kPcmThreshold) {
    ConnectFilters(source_.get(), audioRenderer_.get());
  } else {
    ConnectFilters(source_.get(), audioDecoder_.get());
    ConnectFilters(audioDecoder_.get(), audioRenderer_.get());
  }
  return kSOk;
}

HResult CPlaybackGraph::BuildChannel(int n, bool singleChannel) {
  const auto i = static_cast<std::size_t>(n - 1);
  const std::string decoderLabel = Label(kDecoderLabelPrefix, n);
  const CapsRef caps = FirstPadCaps(source_.get(), "Video", n - 1);
  HResult hr = AddFilter(MakeVideoDecoderBin(decoderLabel.c_str(), caps.get()), &decoder_[i]);
  if (Failed(hr)) return hr;
  if (useBrightnessFilter_) {
    // The brightness stage passes pictures through; the decoder adjusts them.
    const std::string label = Label(kBrightnessLabelPrefix, n);
    hr = AddFilter(MakeElement("identity", label.c_str()), &brightness_[i]);
    if (Failed(hr)) return hr;
  }
  const std::string converterLabel = Label(kConverterLabelPrefix, n);
  hr = AddFilter(MakeElement("videoconvert", converterLabel.c_str()), &converter_[i]);
  if (Failed(hr)) return hr;
  const std::string rendererLabel = singleChannel ? std::string(kSingleRendererLabel) : Label(kRendererLabelPrefix, n);
  hr = AddFilter(MakeChannelSink(rendererLabel.c_str()), &renderer_[i]);
  if (Failed(hr)) return hr;
  hr = ConfigureRenderer(n);
  if (Failed(hr)) return hr;
  // A chain that does not connect shows nothing; the build goes on.
  ConnectFilters(source_.get(), decoder_[i].get());
  if (brightness_[i]) {
    ConnectFilters(decoder_[i].get(), brightness_[i].get());
    ConnectFilters(brightness_[i].get(), converter_[i].get());
  } else {
    ConnectFilters(decoder_[i].get(), converter_[i].get());
  }
  ConnectFilters(converter_[i].get(), renderer_[i].get());
  return kSOk;
}

HResult CPlaybackGraph::ConfigureRenderer(int n) {
  GstElement* sink = Renderer(n - 1);
  if (!IsChannelSink(sink)) return kEngineFailure;
  ChannelSinkAttach(sink, picturesShown_ ? window_[n - 1] : nullptr);
  duration_ = 0;
  return kSOk;
}

HResult CPlaybackGraph::StopWhenReady() {
  // "Stopped on the first picture" is a prerolled, paused pipeline: every renderer
  // holds its first picture and the position stays at the start.
  const GstStateChangeReturn change = gst_element_set_state(graph_.get(), GST_STATE_PAUSED);
  state_ = kStateStopped;
  if (change == GST_STATE_CHANGE_FAILURE) return kEFail;
  const GstStateChangeReturn settled = gst_element_get_state(graph_.get(), nullptr, nullptr, kPrerollTimeout);
  return settled == GST_STATE_CHANGE_FAILURE ? kEFail : kSOk;
}

void CPlaybackGraph::SetPicturesShown(bool shown) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  picturesShown_ = shown;
  for (int n = 0; n < kMaxChannels; ++n) {
    if (GstElement* sink = Renderer(n)) ChannelSinkAttach(sink, shown ? window_[n] : nullptr);
  }
}

bool CPlaybackGraph::WaitUntilSettled(std::chrono::milliseconds timeout) {
  ElementRef pipeline;
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    pipeline = Retain(graph_.get());
  }
  if (!pipeline) return false;
  const GstClockTime ns = static_cast<GstClockTime>(std::max<std::int64_t>(timeout.count(), 0)) * GST_MSECOND;
  return gst_element_get_state(pipeline.get(), nullptr, nullptr, ns) == GST_STATE_CHANGE_SUCCESS;
}

void CPlaybackGraph::RemoveFilter(ElementRef* field) {
  if (!*field) return;
  GstElement* element = field->get();
  if (graph_ && GST_OBJECT_PARENT(element) == GST_OBJECT(graph_.get())) gst_bin_remove(GST_BIN(graph_.get()), element);
  gst_element_set_state(element, GST_STATE_NULL);
  field->reset();
}

void CPlaybackGraph::Teardown() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (graph_) {
    const BusRef bus(gst_pipeline_get_bus(GST_PIPELINE(graph_.get())));
    gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
    for (ElementRef& r : renderer_) ChannelSinkAttach(r.get(), nullptr);
    // Streaming threads end here, before any element leaves the pipeline.
    gst_element_set_state(graph_.get(), GST_STATE_NULL);
  }
  state_ = kStateStopped;
  RemoveFilter(&audioRenderer_);
  for (ElementRef& r : renderer_) RemoveFilter(&r);
  for (ElementRef& d : decoder_) RemoveFilter(&d);
  RemoveFilter(&audioDecoder_);
  RemoveFilter(&source_);
  for (ElementRef& b : brightness_) RemoveFilter(&b);
  for (ElementRef& c : converter_) RemoveFilter(&c);
  // Whatever else the build left in the pipeline goes with it.
  graph_.reset();
  built_ = 0;
  videoChannels_ = 0;
  atEnd_ = false;
  seekTarget_ = -1;
}

HResult CPlaybackGraph::RepaintChannel1() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!renderer_[0]) return kEPointer;
  return ChannelSinkRepaint(renderer_[0].get()) ? kSOk : kEFail;
}

HResult CPlaybackGraph::RepaintAll() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  for (int n = 1; n <= kMaxChannels; ++n) {
    GstElement* sink = Renderer(n - 1);
    if (n > requestedChannels_ || n > videoChannels_ || !sink) continue;
    ChannelSinkRepaint(sink);
  }
  return kSOk;
}

bool CPlaybackGraph::GetCurrentImage(int channel, CapturedImage* image) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (channel < 0 || channel >= kMaxChannels || channel >= requestedChannels_) return false;
  GstElement* sink = Renderer(channel);
  if (!sink) return false;
  return ChannelSinkCapture(sink, image);
}

ChannelSinkStats CPlaybackGraph::RendererCounts(int channel) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return ChannelSinkCounts(Renderer(channel));
}

std::shared_ptr<TelemetryRecordSource> CPlaybackGraph::TelemetrySource() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  StreamParseControl* control = StreamParseControlOf(source_.get());
  if (!control) return nullptr;
  auto held = std::make_shared<HeldTelemetry>(HeldTelemetry{Retain(source_.get())});
  // Shares ownership with the element reference: the records live as long as it does.
  return std::shared_ptr<TelemetryRecordSource>(held, control);
}

std::string CPlaybackGraph::path() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return path_;
}

std::string CPlaybackGraph::UnsupportedVideo() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return unsupportedVideo_;
}

std::string CPlaybackGraph::LastError() {
  std::lock_guard<std::mutex> lock(errorMutex_);
  return lastError_;
}

void CPlaybackGraph::OnPipelineError(GstMessage* message) {
  GError* raw = nullptr;
  gst_message_parse_error(message, &raw, nullptr);
  const ErrorRef error(raw);
  const std::string text = error && error->message ? error->message : "error";
  {
    std::lock_guard<std::mutex> lock(errorMutex_);
    // A failing element is usually followed by the errors of everything that then
    // runs dry; the first one says what went wrong.
    if (errorReported_) return;
    errorReported_ = true;
    lastError_ = text;
  }
  if (PlaybackListener* listener = listener_.load()) listener->OnError(text);
}

GstBusSyncReply CPlaybackGraph::OnBusMessage(GstBus*, GstMessage* message, gpointer self) {
  // Runs on whichever streaming thread posted the message: only atomics, the error
  // text and the listener (which queues to its own thread) are touched here.
  auto* graph = static_cast<CPlaybackGraph*>(self);
  (void)graph->handlerArmed_.load(std::memory_order_acquire);
  const MessageRef owned(message);  // dropped here, whatever it was
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS: {
      const guint32 expected = graph->segmentSeqnum_.load();
      if (expected == GST_SEQNUM_INVALID || gst_message_get_seqnum(message) == expected) {
        const bool first = !graph->atEnd_.exchange(true);
        PlaybackListener* listener = graph->listener_.load();
        if (first && listener) listener->OnEndOfStream();
      }
      break;
    }
    case GST_MESSAGE_ELEMENT: {
      // The first camera's sink ended its last picture of the current segment.
      const GstStructure* s = gst_message_get_structure(message);
      if (!s || !gst_structure_has_name(s, kPicturesEndedMessage)) break;
      // By name: the renderer fields are not for this thread.
      const std::string from = GST_MESSAGE_SRC_NAME(message) ? GST_MESSAGE_SRC_NAME(message) : "";
      if (from != kSingleRendererLabel && from != Label(kRendererLabelPrefix, 1)) break;
      const guint32 expected = graph->segmentSeqnum_.load();
      if (expected != GST_SEQNUM_INVALID && gst_message_get_seqnum(message) != expected) break;
      if (graph->atEnd_.load()) break;
      if (PlaybackListener* listener = graph->listener_.load()) listener->OnPicturesEnded();
      break;
    }
    case GST_MESSAGE_ASYNC_DONE:
      // Only the pipeline itself posts this on its bus: every renderer has the picture
      // of the last seek.
      graph->seekTarget_ = -1;
      break;
    case GST_MESSAGE_ERROR:
      graph->OnPipelineError(message);
      break;
    default:
      break;
  }
  return GST_BUS_DROP;
}

}  // namespace playback
