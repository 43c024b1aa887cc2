#include "playback/export/ClipExporter.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/video/video-overlay-composition.h>
#include <gst/video/video.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "playback/AudioOutput.h"
#include "playback/GstSupport.h"
#include "playback/StreamParseSource.h"
#include "playback/VideoDecoderBin.h"
#include "playback/export/BackgroundThreads.h"
#include "telemetry/LoadTelemetry.h"
#include "telemetry/TelemetrySamples.h"

namespace clipexport {

using playback::AddToBin;
using playback::Adopt;
using playback::BusRef;
using playback::CapsRef;
using playback::ElementRef;
using playback::ErrorRef;
using playback::MakeElement;
using playback::MessageRef;
using playback::PadRef;
using playback::StaticPad;

namespace {

constexpr GstClockTime kNsPerUnit = 100;  // the parts' times are in 100-ns units
constexpr auto kPollInterval = std::chrono::milliseconds(50);
constexpr int kMaxAudioChannels = 2;
constexpr int kAudioBitrate = 128000;
// The clip's sound runs at 48 kHz whatever the recordings used: an AAC frame is then
// 21 ms, so the encoder's last frame never outlasts the pictures by a video frame.
constexpr int kClipAudioRate = 48000;
// The video appsrc holds this many pictures; it is the brake that keeps decoding
// from running ahead of the encoder.
constexpr guint64 kQueuedPictures = 4;
constexpr guint kBitrateCeilingKbps = 240000;  // H.264 level 5.1, Main

// --- what a recording offers ---

struct SourceFacts {
  std::vector<Size> cameras;  // in channel order
  int fpsN = 0;
  int fpsD = 1;
  bool audio = false;
  int audioRate = 0;
  int audioChannels = 0;
};

ElementRef LoadSource(const ClipSource& source, std::string& error) {
  ElementRef element = MakeElement(playback::kStreamParseFactory);
  playback::FileSource* file = element ? playback::FileSourceOf(element.get()) : nullptr;
  if (!file) {
    error = "the recording reader is missing";
    return nullptr;
  }
  if (source.cardHandle)
    playback::StreamParseControlOf(element.get())->SetCardSource(source.cardHandle, source.cardFileNumber);
  if (file->Load(source.path) != playback::kSOk) {
    error = "cannot read the recording " + source.path;
    return nullptr;
  }
  return element;
}

SourceFacts FactsOf(GstElement* source) {
  SourceFacts facts;
  playback::ForEachPad(source, true, [&](GstPad* pad) {
    const std::string name = playback::PadName(pad);
    const CapsRef caps(gst_pad_query_caps(pad, nullptr));
    const GstStructure* s = caps && gst_caps_get_size(caps.get()) > 0 ? gst_caps_get_structure(caps.get(), 0) : nullptr;
    if (!s) return true;
    if (name == "Audio") {
      facts.audio = true;
      gst_structure_get_int(s, "rate", &facts.audioRate);
      gst_structure_get_int(s, "channels", &facts.audioChannels);
    } else if (name.rfind("Video", 0) == 0) {
      Size size;
      gst_structure_get_int(s, "width", &size.width);
      gst_structure_get_int(s, "height", &size.height);
      if (facts.cameras.empty()) gst_structure_get_fraction(s, "framerate", &facts.fpsN, &facts.fpsD);
      facts.cameras.push_back(size);
    }
    return true;
  });
  return facts;
}

std::string MessageText(GstMessage* message) {
  GError* raw = nullptr;
  gst_message_parse_error(message, &raw, nullptr);
  const ErrorRef error(raw);
  return error && error->message ? error->message : "unknown error";
}

void SetInt(GstElement* element, const char* name, int value) { g_object_set(element, name, value, nullptr); }

GstPadProbeReturn Drop(GstPad*, GstPadProbeInfo*, gpointer) { return GST_PAD_PROBE_DROP; }

// A stream the clip does not use is dropped at the reader: a sink for it would hold
// the reader's one streaming thread while the pipeline cues its pictures.
void DropAll(GstElement* source, const char* padName) {
  const PadRef pad = StaticPad(source, padName);
  if (pad) gst_pad_add_probe(pad.get(), GST_PAD_PROBE_TYPE_BUFFER, Drop, nullptr, nullptr);
}

// --- the export ---

class Exporter {
 public:
  Exporter(const std::vector<ClipSource>& sources, const ClipOptions& options, const ProgressCallback& progress,
           const std::atomic<bool>* cancel)
      : sources_(sources), options_(options), progress_(progress), cancel_(cancel) {}
  ~Exporter() { Stop(); }
  Exporter(const Exporter&) = delete;
  Exporter& operator=(const Exporter&) = delete;

  ClipResult Run(const std::string& outPath);

 private:
  bool Cancelled() const { return (cancel_ && cancel_->load()) || stopping_.load(); }
  bool Probe();
  bool BuildEncoder(const std::filesystem::path& partPath, const std::filesystem::path& moovPath);
  bool RunSource(std::size_t index);
  ElementRef BuildDecoder(std::size_t index, GstElement*& source);
  bool AddCamera(GstElement* pipeline, GstElement* source, int channel, const Box& box, bool mirror, bool front);
  bool AddAudio(GstElement* pipeline, GstElement* source);
  // Waits for one of the message types on the decoder's bus (the encoder's errors
  // and a cancel end the wait too); false when it did not come.
  bool WaitFor(GstElement* pipeline, GstMessageType type);
  void Report();
  void Stop();

  static GstFlowReturn OnVideoSample(GstAppSink* sink, gpointer self);
  static GstFlowReturn OnAudioSample(GstAppSink* sink, gpointer self);
  static GstPadProbeReturn OnDecodedPicture(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  static GstPadProbeReturn OnEncodedPicture(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  GstFlowReturn TakeVideo(GstSample* sample);
  GstFlowReturn TakeAudio(GstSample* sample);
  GstFlowReturn PushSilence(int64_t samples);
  void BlendOverlay(GstBuffer* buffer, int64_t position);
  GstClockTime FrameTime(int64_t frame) const {
    return gst_util_uint64_scale_round(static_cast<guint64>(frame), GST_SECOND * static_cast<guint64>(fpsD_),
                                       static_cast<guint64>(fpsN_));
  }
  int64_t SamplesAtFrame(int64_t frame) const {
    return static_cast<int64_t>(
        gst_util_uint64_scale_round(static_cast<guint64>(frame), static_cast<guint64>(audioRate_) * fpsD_, fpsN_));
  }
  void Fail(const std::string& error) {
    std::lock_guard<std::mutex> lock(errorMutex_);
    if (error_.empty()) error_ = error;
  }

  const std::vector<ClipSource>& sources_;
  const ClipOptions& options_;
  const ProgressCallback& progress_;
  const std::atomic<bool>* cancel_;
  std::atomic<bool> stopping_{false};

  std::vector<SourceFacts> facts_;
  CanvasGeometry canvas_;
  int fpsN_ = 0;
  int fpsD_ = 1;
  bool audio_ = false;
  int audioRate_ = 0;
  int audioChannels_ = 0;
  int64_t framesTotal_ = 0;
  std::string audioEncoder_;

  ElementRef encoder_;
  GstElement* videoIn_ = nullptr;  // appsrc, owned by encoder_
  GstElement* audioIn_ = nullptr;
  ElementRef decoder_;
  GstVideoInfo videoInfo_{};

  // The part being decoded; set before its pipeline starts, read by its threads.
  std::size_t current_ = 0;
  GstClockTime partStart_ = 0;  // ns: the part's first frame
  GstClockTime seekStart_ = 0;  // ns: where its pipeline starts, a quarter frame later
  int64_t frameBase_ = 0;       // frames of the parts before
  std::atomic<int64_t> partFrames_{0};
  std::atomic<int64_t> framesPushed_{0};
  std::atomic<int64_t> framesEncoded_{0};

  std::mutex audioMutex_;
  int64_t samplesWritten_ = 0;  // whole clip
  int64_t partSampleBase_ = 0;  // samples of the parts before

  // The overlay of the last frame, turned into GStreamer's form once per picture.
  uint64_t overlaySerial_ = 0;
  GstVideoOverlayComposition* composition_ = nullptr;

  std::mutex errorMutex_;
  std::string error_;
  std::chrono::steady_clock::time_point started_;
};

bool Exporter::Probe() {
  for (const ClipSource& s : sources_) {
    std::string error;
    const ElementRef element = LoadSource(s, error);
    if (!element) {
      Fail(error);
      return false;
    }
    facts_.push_back(FactsOf(element.get()));
    const SourceFacts& f = facts_.back();
    if (f.cameras.empty() || f.fpsN <= 0) {
      Fail(s.path + " holds no camera pictures");
      return false;
    }
    if (LayoutNeedsRear(options_.layout) && f.cameras.size() < 2) {
      Fail(s.path + " has no rear camera for the layout " + std::string(LayoutName(options_.layout)));
      return false;
    }
    if (facts_.size() > 1 && (f.fpsN != facts_[0].fpsN || f.fpsD != facts_[0].fpsD)) {
      Fail(s.path + " was recorded at another frame rate than " + sources_[0].path);
      return false;
    }
    if (f.audio && !audio_) {
      audio_ = true;
      audioRate_ = kClipAudioRate;
      audioChannels_ = std::clamp(f.audioChannels, 1, kMaxAudioChannels);
    }
    framesTotal_ += s.frames;
  }
  const SourceFacts& first = facts_[0];
  fpsN_ = first.fpsN;
  fpsD_ = first.fpsD;
  canvas_ = ComputeCanvas(options_.layout, first.cameras[0], first.cameras.size() > 1 ? first.cameras[1] : Size{});
  gst_video_info_set_format(&videoInfo_, GST_VIDEO_FORMAT_I420, static_cast<guint>(canvas_.width),
                            static_cast<guint>(canvas_.height));
  videoInfo_.fps_n = fpsN_;
  videoInfo_.fps_d = fpsD_;
  return true;
}

bool Exporter::BuildEncoder(const std::filesystem::path& partPath, const std::filesystem::path& moovPath) {
  encoder_ = Adopt(gst_pipeline_new("clip-encoder"));
  if (options_.background) RunInBackground(encoder_.get());
  ElementRef videoIn = MakeElement("appsrc", "video-in");
  ElementRef videoQueue = MakeElement("queue");
  ElementRef x264 = MakeElement("x264enc");
  ElementRef mux = MakeElement("mp4mux");
  ElementRef sink = MakeElement("filesink");
  if (!videoIn || !videoQueue || !x264 || !mux || !sink) {
    Fail("the H.264 encoder or the MP4 writer is missing (gstreamer1.0-plugins-ugly, -good)");
    return false;
  }
  CapsRef videoCaps(gst_video_info_to_caps(&videoInfo_));
  g_object_set(videoIn.get(), "caps", videoCaps.get(), "format", GST_FORMAT_TIME, "block", TRUE, "max-bytes",
               static_cast<guint64>(videoInfo_.size) * kQueuedPictures, nullptr);
  const EncoderSettings encoding = EncoderSettingsOf(options_.quality);
  gst_util_set_object_arg(G_OBJECT(x264.get()), "speed-preset", encoding.preset);
  gst_util_set_object_arg(G_OBJECT(x264.get()), "pass", "qual");
  SetInt(x264.get(), "quantizer", encoding.crf);
  // In this mode x264enc takes its bitrate as the ceiling of the rate, 2 Mbit/s unless
  // told: two cameras side by side were squeezed under it well below the quality asked
  // for. Level 5.1's ceiling leaves the picture to the quality setting alone.
  g_object_set(x264.get(), "bitrate", kBitrateCeilingKbps, nullptr);
  // With B-frames x264enc keeps the decode times positive by moving the pictures a
  // frame or two later, and the MP4 writer keeps that delay: the pictures would run
  // behind the sound and the clip would start late. Without them every picture keeps
  // its own time.
  SetInt(x264.get(), "bframes", 0);
  g_object_set(mux.get(), "faststart", TRUE, "faststart-file", moovPath.c_str(), nullptr);
  g_object_set(sink.get(), "location", partPath.c_str(), "async", FALSE, nullptr);
  GstElement* bin = encoder_.get();
  GstElement* v = AddToBin(bin, videoIn);
  GstElement* q = AddToBin(bin, videoQueue);
  GstElement* e = AddToBin(bin, x264);
  GstElement* m = AddToBin(bin, mux);
  GstElement* f = AddToBin(bin, sink);
  if (!gst_element_link_many(v, q, e, m, f, nullptr)) {
    Fail("cannot link the encoder");
    return false;
  }
  videoIn_ = v;
  const PadRef encoded = StaticPad(e, "src");
  gst_pad_add_probe(encoded.get(), GST_PAD_PROBE_TYPE_BUFFER, OnEncodedPicture, this, nullptr);
  if (audio_) {
    ElementRef audioIn = MakeElement("appsrc", "audio-in");
    ElementRef audioQueue = MakeElement("queue");
    ElementRef convert = MakeElement("audioconvert");
    ElementRef aac = MakeElement("avenc_aac");
    if (aac) {
      audioEncoder_ = "avenc_aac";
    } else {
      aac = MakeElement("voaacenc");
      audioEncoder_ = "voaacenc";
    }
    if (!audioIn || !audioQueue || !convert || !aac) {
      Fail("the AAC encoder is missing (gstreamer1.0-libav)");
      return false;
    }
    CapsRef audioCaps(gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "S16LE", "layout", G_TYPE_STRING,
                                          "interleaved", "rate", G_TYPE_INT, audioRate_, "channels", G_TYPE_INT,
                                          audioChannels_, nullptr));
    // Sound is small and may run ahead of the pictures by the encoder's look-ahead;
    // bounded here it would stall the recording's reader and with it the pictures.
    g_object_set(audioIn.get(), "caps", audioCaps.get(), "format", GST_FORMAT_TIME, "max-bytes",
                 static_cast<guint64>(0), nullptr);
    g_object_set(audioQueue.get(), "max-size-buffers", 0u, "max-size-bytes", 0u, "max-size-time",
                 static_cast<guint64>(0), nullptr);
    SetInt(aac.get(), "bitrate", kAudioBitrate);
    GstElement* a = AddToBin(bin, audioIn);
    GstElement* aq = AddToBin(bin, audioQueue);
    GstElement* c = AddToBin(bin, convert);
    GstElement* enc = AddToBin(bin, aac);
    if (!gst_element_link_many(a, aq, c, enc, m, nullptr)) {
      Fail("cannot link the sound encoder");
      return false;
    }
    audioIn_ = a;
  }
  if (gst_element_set_state(bin, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    Fail("cannot start the encoder (is " + partPath.parent_path().string() + " writable?)");
    return false;
  }
  return true;
}

bool Exporter::AddCamera(GstElement* pipeline, GstElement* source, int channel, const Box& box, bool mirror,
                         bool front) {
  const std::string padName = "Video" + std::to_string(channel);
  const PadRef sourcePad = StaticPad(source, padName.c_str());
  if (!sourcePad) return false;
  const CapsRef caps(gst_pad_query_caps(sourcePad.get(), nullptr));
  ElementRef decoder = playback::MakeVideoDecoderBin(nullptr, caps.get());
  if (!decoder) {
    Fail("no decoder here takes the pictures of camera " + std::to_string(channel) + " (gstreamer1.0-libav)");
    return false;
  }
  if (mirror) {
    playback::DecoderParams* params = playback::DecoderParamsOf(decoder.get());
    params->SetParam(playback::kParamTransform, 1);
    params->SetParam(playback::kParamMirror, 1);
  }
  GstElement* d = AddToBin(pipeline, decoder);
  GstElement* mixer = gst_bin_get_by_name(GST_BIN(pipeline), "mixer");
  const ElementRef mixerRef(mixer);
  GstPad* mixerPad = gst_element_request_pad_simple(mixer, "sink_%u");
  const PadRef mixerPadRef(mixerPad);
  g_object_set(mixerPad, "xpos", box.x, "ypos", box.y, "width", box.width, "height", box.height, "zorder",
               front ? 0u : 1u, nullptr);
  const PadRef decoderIn = StaticPad(d, "sink");
  const PadRef decoderOut = StaticPad(d, "src");
  if (gst_pad_link(sourcePad.get(), decoderIn.get()) != GST_PAD_LINK_OK ||
      gst_pad_link(decoderOut.get(), mixerPad) != GST_PAD_LINK_OK) {
    Fail("cannot link camera " + std::to_string(channel));
    return false;
  }
  gst_pad_add_probe(decoderOut.get(), GST_PAD_PROBE_TYPE_BUFFER, OnDecodedPicture, this, nullptr);
  return true;
}

bool Exporter::AddAudio(GstElement* pipeline, GstElement* source) {
  const PadRef sourcePad = StaticPad(source, "Audio");
  if (!sourcePad) return false;
  const CapsRef sourceCaps(gst_pad_query_caps(sourcePad.get(), nullptr));
  const bool raw = sourceCaps && !gst_caps_is_empty(sourceCaps.get()) &&
                   gst_structure_has_name(gst_caps_get_structure(sourceCaps.get(), 0), "audio/x-raw");
  ElementRef queue = MakeElement("queue");
  ElementRef decode = raw ? MakeElement("identity") : playback::MakeAudioDecoder(nullptr, sourceCaps.get());
  ElementRef convert = MakeElement("audioconvert");
  ElementRef resample = MakeElement("audioresample");
  ElementRef filter = MakeElement("capsfilter");
  ElementRef sink = MakeElement("appsink", "audio-out");
  if (!queue || !decode || !convert || !resample || !filter || !sink) {
    Fail("no decoder here takes the sound of " + sources_[current_].path + " (gstreamer1.0-libav)");
    return false;
  }
  g_object_set(queue.get(), "max-size-buffers", 0u, "max-size-bytes", 0u, "max-size-time", static_cast<guint64>(0),
               nullptr);
  CapsRef caps(gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "S16LE", "layout", G_TYPE_STRING,
                                   "interleaved", "rate", G_TYPE_INT, audioRate_, "channels", G_TYPE_INT,
                                   audioChannels_, nullptr));
  g_object_set(filter.get(), "caps", caps.get(), nullptr);
  g_object_set(sink.get(), "sync", FALSE, nullptr);
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = OnAudioSample;
  gst_app_sink_set_callbacks(GST_APP_SINK(sink.get()), &callbacks, this, nullptr);
  GstElement* q = AddToBin(pipeline, queue);
  GstElement* d = AddToBin(pipeline, decode);
  GstElement* c = AddToBin(pipeline, convert);
  GstElement* r = AddToBin(pipeline, resample);
  GstElement* f = AddToBin(pipeline, filter);
  GstElement* s = AddToBin(pipeline, sink);
  const PadRef queueIn = StaticPad(q, "sink");
  if (!gst_element_link_many(q, d, c, r, f, s, nullptr) ||
      gst_pad_link(sourcePad.get(), queueIn.get()) != GST_PAD_LINK_OK) {
    Fail("cannot link the sound");
    return false;
  }
  return true;
}

ElementRef Exporter::BuildDecoder(std::size_t index, GstElement*& source) {
  const SourceFacts& facts = facts_[index];
  ElementRef pipeline = Adopt(gst_pipeline_new("clip-decoder"));
  if (options_.background) RunInBackground(pipeline.get());
  std::string error;
  ElementRef reader = LoadSource(sources_[index], error);
  if (!reader) {
    Fail(error);
    return nullptr;
  }
  source = AddToBin(pipeline.get(), reader);
  ElementRef mixer = MakeElement("compositor", "mixer");
  ElementRef filter = MakeElement("capsfilter");
  ElementRef sink = MakeElement("appsink", "video-out");
  if (!source || !mixer || !filter || !sink) {
    Fail("the picture compositor is missing (gstreamer1.0-plugins-base)");
    return nullptr;
  }
  g_object_set(mixer.get(), "background", 1 /* black */, nullptr);
  CapsRef caps(gst_video_info_to_caps(&videoInfo_));
  g_object_set(filter.get(), "caps", caps.get(), nullptr);
  g_object_set(sink.get(), "sync", FALSE, "max-buffers", 2u, nullptr);
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = OnVideoSample;
  gst_app_sink_set_callbacks(GST_APP_SINK(sink.get()), &callbacks, this, nullptr);
  GstElement* m = AddToBin(pipeline.get(), mixer);
  GstElement* f = AddToBin(pipeline.get(), filter);
  GstElement* s = AddToBin(pipeline.get(), sink);
  if (!gst_element_link_many(m, f, s, nullptr)) {
    Fail("cannot link the compositor");
    return nullptr;
  }
  // Each camera goes to its box, the rear one mirrored as the viewer shows it; a
  // camera the layout leaves out is not decoded at all.
  const bool showFront = canvas_.front.width > 0, showRear = canvas_.rear.width > 0;
  for (std::size_t channel = 1; channel <= facts.cameras.size(); ++channel) {
    const bool front = channel == 1;
    const bool shown = channel == 1 ? showFront : channel == 2 && showRear;
    if (shown) {
      if (!AddCamera(pipeline.get(), source, static_cast<int>(channel), front ? canvas_.front : canvas_.rear,
                     !front && options_.mirrorRear, front))
        return nullptr;
      continue;
    }
    const std::string padName = "Video" + std::to_string(channel);
    DropAll(source, padName.c_str());
  }
  if (facts.audio && audio_ && !AddAudio(pipeline.get(), source)) return nullptr;
  return pipeline;
}

bool Exporter::WaitFor(GstElement* pipeline, GstMessageType type) {
  const BusRef bus(gst_element_get_bus(pipeline));
  const BusRef encoderBus(gst_element_get_bus(encoder_.get()));
  for (;;) {
    if (Cancelled()) return false;
    {
      std::lock_guard<std::mutex> lock(errorMutex_);
      if (!error_.empty()) return false;
    }
    MessageRef message(gst_bus_timed_pop_filtered(
        bus.get(), std::chrono::duration_cast<std::chrono::nanoseconds>(kPollInterval).count(),
        static_cast<GstMessageType>(type | GST_MESSAGE_ERROR)));
    if (message) {
      if (GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR) {
        Fail(sources_[current_].path + ": " + MessageText(message.get()));
        return false;
      }
      // A bin posts ASYNC_DONE for itself only when every sink has prerolled.
      if (type != GST_MESSAGE_ASYNC_DONE || GST_MESSAGE_SRC(message.get()) == GST_OBJECT(pipeline)) return true;
    }
    MessageRef encoderError(gst_bus_pop_filtered(encoderBus.get(), GST_MESSAGE_ERROR));
    if (encoderError) {
      Fail("the encoder failed: " + MessageText(encoderError.get()));
      return false;
    }
    Report();
  }
}

bool Exporter::RunSource(std::size_t index) {
  const ClipSource& part = sources_[index];
  current_ = index;
  GstElement* source = nullptr;
  {
    ElementRef pipeline = BuildDecoder(index, source);
    if (!pipeline) return false;
    decoder_ = std::move(pipeline);
  }
  TelemetrySamples samples;
  LoadTelemetry(playback::StreamParseControlOf(source), samples, cancel_);
  if (options_.overlay) options_.overlay->BeginSource(index, samples);
  partStart_ = static_cast<GstClockTime>(part.start) * kNsPerUnit;
  // The frame before the part ends where the part starts (or, with a frame time
  // rounded early, a few nanoseconds after): started a quarter frame later, the
  // decoders drop it whole, and the first frame of the part still overlaps the start.
  seekStart_ = partStart_ + FrameTime(1) / 4;
  partFrames_ = 0;
  {
    std::lock_guard<std::mutex> lock(audioMutex_);
    partSampleBase_ = audio_ ? SamplesAtFrame(frameBase_) : 0;
  }
  GstElement* pipeline = decoder_.get();
  // Cue the pictures, then move to the part: the reader restarts every camera on the
  // key frame before its start, the decoders drop what lies before it.
  if (gst_element_set_state(pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
    Fail("cannot start reading " + part.path);
    return false;
  }
  if (!WaitFor(pipeline, GST_MESSAGE_ASYNC_DONE)) return false;
  const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
  if (!gst_element_seek(pipeline, 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, static_cast<gint64>(seekStart_),
                        GST_SEEK_TYPE_SET, static_cast<gint64>(static_cast<GstClockTime>(part.stop) * kNsPerUnit))) {
    Fail("cannot move to the start of the range in " + part.path);
    return false;
  }
  if (!WaitFor(pipeline, GST_MESSAGE_ASYNC_DONE)) return false;
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  if (!WaitFor(pipeline, GST_MESSAGE_EOS)) return false;
  gst_element_set_state(pipeline, GST_STATE_NULL);
  decoder_.reset();
  frameBase_ += partFrames_.load();
  // The sound of the part lasts exactly as long as its pictures; a recording
  // without sound, or one whose sound ends early, is filled with silence.
  if (audio_) {
    std::lock_guard<std::mutex> lock(audioMutex_);
    const int64_t end = SamplesAtFrame(frameBase_);
    if (end > samplesWritten_ && PushSilence(end - samplesWritten_) != GST_FLOW_OK) return false;
  }
  return true;
}

GstPadProbeReturn Exporter::OnDecodedPicture(GstPad*, GstPadProbeInfo* info, gpointer self) {
  auto* e = static_cast<Exporter*>(self);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  const GstClockTime pts = GST_BUFFER_PTS(buffer);
  if (!GST_CLOCK_TIME_IS_VALID(pts)) return GST_PAD_PROBE_OK;
  // The recording stores times in 100-ns steps, the compositor counts whole frames
  // from the pipeline's start: put each picture on that count, so that each output
  // frame takes exactly one picture of each camera. A picture before the part (one
  // the decoder did not drop) has no place on it.
  const double exact = (static_cast<double>(pts) - static_cast<double>(e->seekStart_)) * e->fpsN_ /
                       (static_cast<double>(GST_SECOND) * e->fpsD_);
  const int64_t frame = std::llround(exact);
  if (frame < 0) return GST_PAD_PROBE_DROP;
  buffer = gst_buffer_make_writable(buffer);
  GST_BUFFER_PTS(buffer) = e->seekStart_ + e->FrameTime(frame);
  GST_BUFFER_DURATION(buffer) = e->FrameTime(frame + 1) - e->FrameTime(frame);
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  return GST_PAD_PROBE_OK;
}

GstPadProbeReturn Exporter::OnEncodedPicture(GstPad*, GstPadProbeInfo*, gpointer self) {
  static_cast<Exporter*>(self)->framesEncoded_++;
  return GST_PAD_PROBE_OK;
}

GstFlowReturn Exporter::OnVideoSample(GstAppSink* sink, gpointer self) {
  GstSample* sample = gst_app_sink_pull_sample(sink);
  if (!sample) return GST_FLOW_EOS;
  const GstFlowReturn flow = static_cast<Exporter*>(self)->TakeVideo(sample);
  gst_sample_unref(sample);
  return flow;
}

GstFlowReturn Exporter::OnAudioSample(GstAppSink* sink, gpointer self) {
  GstSample* sample = gst_app_sink_pull_sample(sink);
  if (!sample) return GST_FLOW_EOS;
  const GstFlowReturn flow = static_cast<Exporter*>(self)->TakeAudio(sample);
  gst_sample_unref(sample);
  return flow;
}

void Exporter::BlendOverlay(GstBuffer* buffer, int64_t position) {
  if (!options_.overlay) return;
  const OverlayImage* image = options_.overlay->ImageFor(current_, position, canvas_.width, canvas_.height);
  if (!image || image->width <= 0 || image->height <= 0 ||
      image->pixels.size() < static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height))
    return;
  if (!composition_ || image->serial != overlaySerial_) {
    if (composition_) gst_video_overlay_composition_unref(composition_);
    const gsize bytes = image->pixels.size() * sizeof(uint32_t);
    GstBuffer* pixels = gst_buffer_new_memdup(image->pixels.data(), bytes);
    gst_buffer_add_video_meta(pixels, GST_VIDEO_FRAME_FLAG_NONE, GST_VIDEO_OVERLAY_COMPOSITION_FORMAT_RGB,
                              static_cast<guint>(image->width), static_cast<guint>(image->height));
    GstVideoOverlayRectangle* rectangle = gst_video_overlay_rectangle_new_raw(
        pixels, image->x, image->y, static_cast<guint>(image->width), static_cast<guint>(image->height),
        GST_VIDEO_OVERLAY_FORMAT_FLAG_PREMULTIPLIED_ALPHA);
    gst_buffer_unref(pixels);
    composition_ = gst_video_overlay_composition_new(rectangle);
    gst_video_overlay_rectangle_unref(rectangle);
    overlaySerial_ = image->serial;
  }
  GstVideoFrame frame;
  if (!gst_video_frame_map(&frame, &videoInfo_, buffer, GST_MAP_READWRITE)) return;
  gst_video_overlay_composition_blend(composition_, &frame);
  gst_video_frame_unmap(&frame);
}

GstFlowReturn Exporter::TakeVideo(GstSample* sample) {
  if (Cancelled()) return GST_FLOW_FLUSHING;
  GstBuffer* buffer = gst_buffer_ref(gst_sample_get_buffer(sample));
  // The compositor counts its own time from the pipeline's start, one output frame
  // per input frame from the part's first one.
  const guint64 running =
      gst_segment_to_running_time(gst_sample_get_segment(sample), GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
  const int64_t position =
      static_cast<int64_t>((partStart_ + (GST_CLOCK_TIME_IS_VALID(running) ? running : 0)) / kNsPerUnit);
  buffer = gst_buffer_make_writable(buffer);
  BlendOverlay(buffer, position);
  const int64_t frame = frameBase_ + partFrames_.load();
  GST_BUFFER_PTS(buffer) = FrameTime(frame);
  GST_BUFFER_DTS(buffer) = GST_CLOCK_TIME_NONE;
  GST_BUFFER_DURATION(buffer) = FrameTime(frame + 1) - FrameTime(frame);
  const GstFlowReturn flow = gst_app_src_push_buffer(GST_APP_SRC(videoIn_), buffer);
  if (flow == GST_FLOW_OK) {
    partFrames_++;
    framesPushed_++;
  }
  return flow;
}

GstFlowReturn Exporter::PushSilence(int64_t samples) {
  const gsize bytes = static_cast<gsize>(samples) * 2 * static_cast<gsize>(audioChannels_);
  GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
  gst_buffer_memset(buffer, 0, 0, bytes);
  GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(static_cast<guint64>(samplesWritten_), GST_SECOND, audioRate_);
  GST_BUFFER_DURATION(buffer) =
      gst_util_uint64_scale(static_cast<guint64>(samplesWritten_ + samples), GST_SECOND, audioRate_) -
      GST_BUFFER_PTS(buffer);
  samplesWritten_ += samples;
  return gst_app_src_push_buffer(GST_APP_SRC(audioIn_), buffer);
}

GstFlowReturn Exporter::TakeAudio(GstSample* sample) {
  if (Cancelled()) return GST_FLOW_FLUSHING;
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  const GstClockTime pts = GST_BUFFER_PTS(buffer);
  if (!GST_CLOCK_TIME_IS_VALID(pts)) return GST_FLOW_OK;
  const int64_t frameBytes = 2 * int64_t{audioChannels_};
  const int64_t count = static_cast<int64_t>(gst_buffer_get_size(buffer)) / frameBytes;
  // Where the buffer's first sample belongs in the clip.
  const int64_t offset =
      pts >= partStart_ ? static_cast<int64_t>(gst_util_uint64_scale_round(pts - partStart_, audioRate_, GST_SECOND))
                        : -static_cast<int64_t>(gst_util_uint64_scale_round(partStart_ - pts, audioRate_, GST_SECOND));
  std::lock_guard<std::mutex> lock(audioMutex_);
  const int64_t partEnd = partSampleBase_ + SamplesAtFrame(sources_[current_].frames);
  int64_t first = partSampleBase_ + offset;
  int64_t skip = 0;
  if (first < samplesWritten_) {
    skip = samplesWritten_ - first;  // before the range, or already covered
    first = samplesWritten_;
  }
  const int64_t keep = std::min(count - skip, partEnd - first);
  if (keep <= 0) return GST_FLOW_OK;
  if (first > samplesWritten_) {
    const GstFlowReturn gap = PushSilence(first - samplesWritten_);
    if (gap != GST_FLOW_OK) return gap;
  }
  GstBuffer* part = gst_buffer_copy_region(buffer, GST_BUFFER_COPY_MEMORY, static_cast<gsize>(skip * frameBytes),
                                           static_cast<gsize>(keep * frameBytes));
  GST_BUFFER_PTS(part) = gst_util_uint64_scale(static_cast<guint64>(samplesWritten_), GST_SECOND, audioRate_);
  GST_BUFFER_DURATION(part) =
      gst_util_uint64_scale(static_cast<guint64>(samplesWritten_ + keep), GST_SECOND, audioRate_) -
      GST_BUFFER_PTS(part);
  samplesWritten_ += keep;
  return gst_app_src_push_buffer(GST_APP_SRC(audioIn_), part);
}

void Exporter::Report() {
  if (!progress_) return;
  ClipProgress p;
  p.framesDone = std::min(framesEncoded_.load(), framesTotal_);
  p.framesTotal = framesTotal_;
  p.secondsElapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
  if (p.framesDone > 0 && p.framesTotal > 0)
    p.secondsLeft =
        p.secondsElapsed * static_cast<double>(p.framesTotal - p.framesDone) / static_cast<double>(p.framesDone);
  progress_(p);
}

void Exporter::Stop() {
  stopping_ = true;
  // The encoder first: its full queue may hold a decoder thread in a push.
  if (encoder_) gst_element_set_state(encoder_.get(), GST_STATE_NULL);
  if (decoder_) gst_element_set_state(decoder_.get(), GST_STATE_NULL);
  decoder_.reset();
  encoder_.reset();
  if (composition_) gst_video_overlay_composition_unref(composition_);
  composition_ = nullptr;
}

ClipResult Exporter::Run(const std::string& outPath) {
  ClipResult result;
  started_ = std::chrono::steady_clock::now();
  const std::filesystem::path out(outPath);
  const std::filesystem::path folder = out.has_parent_path() ? out.parent_path() : std::filesystem::path(".");
  // Hidden names beside the clip: the same file system, so the last step is a rename.
  const std::filesystem::path partPath = folder / ("." + out.filename().string() + ".part");
  const std::filesystem::path moovPath = folder / ("." + out.filename().string() + ".moov");
  const auto removeParts = [&] {
    std::error_code ec;
    std::filesystem::remove(partPath, ec);
    std::filesystem::remove(moovPath, ec);
  };
  bool done = false;
  if (sources_.empty()) {
    Fail("the range holds no recording");
  } else if (!playback::EnsureGStreamer()) {
    Fail("GStreamer cannot start");
  } else if (Probe() && BuildEncoder(partPath, moovPath)) {
    bool ok = true;
    for (std::size_t i = 0; ok && i < sources_.size(); ++i) {
      Report();  // each part starts with a report, a chance to cancel before it
      ok = !Cancelled() && RunSource(i);
    }
    if (ok) {
      gst_app_src_end_of_stream(GST_APP_SRC(videoIn_));
      if (audioIn_) gst_app_src_end_of_stream(GST_APP_SRC(audioIn_));
      ok = WaitFor(encoder_.get(), GST_MESSAGE_EOS);
    }
    done = ok;
  }
  const bool cancelled = Cancelled() && !stopping_.load();
  Stop();
  result.frames = framesPushed_.load();
  result.width = canvas_.width;
  result.height = canvas_.height;
  result.frameRateNumerator = fpsN_;
  result.frameRateDenominator = fpsD_;
  result.audio = audio_;
  result.audioEncoder = audioEncoder_;
  if (done && !cancelled) {
    std::error_code ec;
    std::filesystem::rename(partPath, out, ec);
    if (ec) Fail("cannot write " + outPath + ": " + ec.message());
  }
  removeParts();
  if (cancelled) {
    result.cancelled = true;
    result.error = "cancelled";
    return result;
  }
  result.error = error_;
  result.ok = done && error_.empty();
  return result;
}

}  // namespace

ClipResult ExportClip(const std::vector<ClipSource>& sources, const ClipOptions& options, const std::string& outPath,
                      const ProgressCallback& progress, const std::atomic<bool>* cancel) {
  Exporter exporter(sources, options, progress, cancel);
  return exporter.Run(outPath);
}

std::string AacEncoderName() {
  if (!playback::EnsureGStreamer()) return {};
  for (const char* name : {"avenc_aac", "voaacenc"}) {
    GstElementFactory* factory = gst_element_factory_find(name);
    if (factory) {
      gst_object_unref(factory);
      return name;
    }
  }
  return {};
}

}  // namespace clipexport
