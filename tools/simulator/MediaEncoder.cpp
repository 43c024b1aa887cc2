#include "tools/simulator/MediaEncoder.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <algorithm>
#include <mutex>
#include <sstream>

#include "tools/simulator/ParameterSetRenumber.h"

namespace simulator {

namespace {

constexpr uint32_t kAacBitrate = 64000;
constexpr uint32_t kPcmBytesPerSecond = kSimulatorSampleRate * 2;
// Seconds between key frames, as the dashcam writes them.
constexpr int kKeyFrameSeconds = 1;

const char* const kPatterns[] = {"smpte", "ball", "ball", "ball"};
const char* const kPatternExtras[] = {"horizontal-speed=3", "motion=wavy background-color=0xff204060",
                                      "motion=sweep background-color=0xff402020", "background-color=0xff204020"};

struct VideoSink {
  uint32_t id = 0;
  EncodedVideo* out = nullptr;
  std::vector<uint8_t> sps, pps;
  bool failed = false;
};

struct AudioSink {
  EncodedMedia* media = nullptr;
  bool aac = false;
};

GstFlowReturn OnVideoSample(GstAppSink* sink, gpointer data) {
  auto* v = static_cast<VideoSink*>(data);
  GstSample* sample = gst_app_sink_pull_sample(sink);
  if (!sample) return GST_FLOW_EOS;
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  GstMapInfo map;
  if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
    std::vector<uint8_t> unit;
    if (ToDashcamAccessUnit(map.data, map.size, v->id, v->sps, v->pps, unit)) {
      v->out->keyFrames.push_back(!GST_BUFFER_FLAG_IS_SET(buffer, GST_BUFFER_FLAG_DELTA_UNIT));
      v->out->units.push_back(std::move(unit));
    } else {
      v->failed = true;
    }
    gst_buffer_unmap(buffer, &map);
  }
  gst_sample_unref(sample);
  return GST_FLOW_OK;
}

GstFlowReturn OnAudioSample(GstAppSink* sink, gpointer data) {
  auto* a = static_cast<AudioSink*>(data);
  GstSample* sample = gst_app_sink_pull_sample(sink);
  if (!sample) return GST_FLOW_EOS;
  if (a->aac && a->media->audioConfig.empty()) {
    // The AudioSpecificConfig travels as codec_data in the caps.
    if (GstCaps* caps = gst_sample_get_caps(sample)) {
      const GstStructure* s = gst_caps_get_structure(caps, 0);
      const GValue* value = s ? gst_structure_get_value(s, "codec_data") : nullptr;
      if (value && G_VALUE_HOLDS(value, GST_TYPE_BUFFER)) {
        GstBuffer* config = gst_value_get_buffer(value);
        GstMapInfo map;
        if (gst_buffer_map(config, &map, GST_MAP_READ)) {
          a->media->audioConfig.assign(map.data, map.data + map.size);
          gst_buffer_unmap(config, &map);
        }
      }
    }
  }
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  GstMapInfo map;
  if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
    a->media->audio.emplace_back(map.data, map.data + map.size);
    gst_buffer_unmap(buffer, &map);
  }
  gst_sample_unref(sample);
  return GST_FLOW_OK;
}

std::string Quote(const std::string& s) {
  std::string q = "\"";
  for (const char c : s) {
    if (c == '"' || c == '\\') q.push_back('\\');
    q.push_back(c);
  }
  return q + "\"";
}

std::string PipelineText(const EncodeSettings& settings) {
  std::ostringstream p;
  for (size_t i = 0; i < settings.cameras.size(); ++i) {
    const CameraSettings& c = settings.cameras[i];
    const size_t look = std::min<size_t>(static_cast<size_t>(c.id), 3);
    const int fontSize = std::max(8, c.height / 24);
    p << "videotestsrc pattern=" << kPatterns[look] << ' ' << kPatternExtras[look] << " num-buffers=" << settings.frames
      << " timestamp-offset=" << settings.clockStartNs << " ! video/x-raw,format=I420,width=" << c.width
      << ",height=" << c.height << ",framerate=" << settings.framesPerSecond << "/1"
      << " ! textoverlay text=" << Quote(c.name + "  " + settings.dateText)
      << " valignment=top halignment=left shaded-background=true font-desc="
      << Quote("Sans Bold " + std::to_string(fontSize))
      << " ! timeoverlay time-mode=buffer-time valignment=bottom halignment=left"
         " shaded-background=true font-desc="
      << Quote("Monospace " + std::to_string(fontSize))
      << " ! x264enc speed-preset=ultrafast tune=zerolatency bitrate=" << c.bitrateKbps
      << " key-int-max=" << settings.framesPerSecond * kKeyFrameSeconds
      << " bframes=0 cabac=false aud=false byte-stream=true"
         " ! video/x-h264,stream-format=byte-stream,alignment=au"
      << " ! appsink name=video" << i << " sync=false\n";
  }
  const int64_t samples = static_cast<int64_t>(settings.seconds * kSimulatorSampleRate);
  if (settings.audio == avi::AudioKind::Aac) {
    p << "audiotestsrc wave=ticks freq=660 volume=0.4 samplesperbuffer=" << kAacSamplesPerFrame
      << " num-buffers=" << (samples + kAacSamplesPerFrame - 1) / kAacSamplesPerFrame
      << " ! audio/x-raw,rate=" << kSimulatorSampleRate << ",channels=1"
      << " ! audioconvert ! avenc_aac bitrate=" << kAacBitrate
      << " ! audio/mpeg,mpegversion=4,stream-format=raw ! appsink name=audio sync=false\n";
  } else if (settings.audio == avi::AudioKind::Pcm) {
    p << "audiotestsrc wave=ticks freq=660 volume=0.4 samplesperbuffer=" << kPcmSamplesPerBlock
      << " num-buffers=" << samples / kPcmSamplesPerBlock
      << " ! audio/x-raw,format=S16LE,layout=interleaved,rate=" << kSimulatorSampleRate
      << ",channels=1 ! appsink name=audio sync=false\n";
  }
  return p.str();
}

void EnsureGstreamer() {
  static std::once_flag once;
  std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

}  // namespace

bool EncodeMedia(const EncodeSettings& settings, EncodedMedia& media, std::string& error) {
  EnsureGstreamer();
  media = EncodedMedia();
  media.cameras.resize(settings.cameras.size());
  GError* parseError = nullptr;
  const std::string text = PipelineText(settings);
  GstElement* pipeline = gst_parse_launch(text.c_str(), &parseError);
  if (!pipeline || parseError) {
    error = std::string("cannot build the encoder: ") + (parseError ? parseError->message : "unknown");
    if (parseError) g_error_free(parseError);
    if (pipeline) gst_object_unref(pipeline);
    return false;
  }
  std::vector<VideoSink> videoSinks(settings.cameras.size());
  AudioSink audioSink{&media, settings.audio == avi::AudioKind::Aac};
  for (size_t i = 0; i < settings.cameras.size(); ++i) {
    videoSinks[i].id = static_cast<uint32_t>(settings.cameras[i].id);
    videoSinks[i].out = &media.cameras[i];
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), ("video" + std::to_string(i)).c_str());
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = OnVideoSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, &videoSinks[i], nullptr);
    gst_object_unref(sink);
  }
  if (settings.audio != avi::AudioKind::None) {
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "audio");
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = OnAudioSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, &audioSink, nullptr);
    gst_object_unref(sink);
  }
  bool ok = gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
  if (ok) {
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(bus, GST_CLOCK_TIME_NONE,
                                                     static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    if (message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
      GError* e = nullptr;
      gst_message_parse_error(message, &e, nullptr);
      error = std::string("encoding failed: ") + (e ? e->message : "unknown");
      if (e) g_error_free(e);
      ok = false;
    }
    if (message) gst_message_unref(message);
    gst_object_unref(bus);
  } else {
    error = "cannot start the encoder";
  }
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  for (const VideoSink& v : videoSinks)
    if (v.failed) {
      error = "the encoder's output could not be renumbered";
      ok = false;
    }
  if (settings.audio == avi::AudioKind::Aac) {
    media.audioSampleRate = kSimulatorSampleRate;
    media.audioChannels = 1;
    media.audioBytesPerSecond = kAacBitrate / 8;
    if (ok && media.audioConfig.empty()) {
      error = "the AAC encoder gave no AudioSpecificConfig";
      ok = false;
    }
  } else if (settings.audio == avi::AudioKind::Pcm) {
    media.audioSampleRate = kSimulatorSampleRate;
    media.audioChannels = 1;
    media.audioBytesPerSecond = kPcmBytesPerSecond;
  }
  return ok;
}

}  // namespace simulator
