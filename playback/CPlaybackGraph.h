#pragma once
// The media graph of one opened recording: a GStreamer pipeline built from the
// stream-parse source, a decoder, converter and renderer per channel and the sound
// path, with the transport operations the main window drives it by.
//
// Times are 100-ns units. Every operation returns a result code (ResultCodes.h); 1
// from Build means nothing usable was built. The load worker builds and starts the
// graph while the window thread may already move the speed or brightness slider, so
// every operation takes the graph's lock: two threads never use it at once.

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "playback/ChannelSink.h"
#include "playback/ChannelWindow.h"
#include "playback/ResultCodes.h"

class TelemetryRecordSource;

namespace playback {

inline constexpr int kMaxChannels = 4;

// Values of CPlaybackGraph::state, read directly by the main window.
inline constexpr std::int32_t kStateRunning = 0;
inline constexpr std::int32_t kStatePaused = 1;
inline constexpr std::int32_t kStateStopped = 2;
inline constexpr std::int32_t kStateEmpty = 3;

// Element names in the graph.
inline constexpr const char* kSourceLabel = "VKStreamParseFilter";
inline constexpr const char* kAudioRendererLabel = "DirectSound Audio Renderer";
inline constexpr const char* kSingleAudioDecoderLabel = "COREAAC AUDIO";
inline constexpr const char* kMultiAudioDecoderLabel = "CoreAAC Decoder";
inline constexpr const char* kSingleRendererLabel = "Mixing Renderer9";
inline constexpr const char* kRendererLabelPrefix = "Mixing Renderer9-";
inline constexpr const char* kDecoderLabelPrefix = "FFDShow Decoder";
inline constexpr const char* kConverterLabelPrefix = "Color Space Convertor ";
inline constexpr const char* kBrightnessLabelPrefix = "Nevroc Brightness ";

class CPlaybackGraph {
 public:
  CPlaybackGraph(int requestedChannels, ChannelWindow* window1, ChannelWindow* window2, ChannelWindow* window3,
                 ChannelWindow* window4);
  ~CPlaybackGraph();
  CPlaybackGraph(const CPlaybackGraph&) = delete;
  CPlaybackGraph& operator=(const CPlaybackGraph&) = delete;

  void Reset(bool sourceOptionValue, bool brightnessFilterOption);
  // Builds the graph for a recording: a path, or for a card file its name with the
  // card handle and card file number (null and -1 for an ordinary file). Leaves it
  // stopped on its first picture.
  HResult Build(const std::string& recordingPath, void* sourceHandle, std::int32_t sourceValue);
  void Teardown();

  HResult RepaintChannel1();
  HResult RepaintAll();
  // The last picture of channel 0-3, top-down 32-bit; false when that channel has no
  // renderer or nothing was shown yet.
  bool GetCurrentImage(int channel, CapturedImage* image);

  // Transport.
  HResult Play();
  HResult Pause();
  HResult Stop();
  HResult SetPosition(std::int64_t time);
  HResult GetPosition(std::int64_t* time);
  HResult GetDuration(std::int64_t* time);
  HResult SetVolume(std::int32_t attenuation);
  HResult SetBrightness(std::int32_t offset);
  HResult SetRearMirror(bool mirrored);

  // The lock every operation takes; a caller composing several operations that must
  // not interleave with another thread's (pause, new rate, play) holds it around them.
  std::recursive_mutex& Mutex() { return mutex_; }

  // The source's record call, for reading the recording's telemetry; null without a
  // loaded source.
  TelemetryRecordSource* TelemetrySource();

  // The pipeline's current rate as last applied (1.0 before the first play).
  double AppliedRate() const { return appliedRate_.load(); }
  // Pictures shown and dropped by channel 0-3's renderer.
  ChannelSinkStats RendererCounts(int channel);
  // The last error the pipeline reported, empty when none.
  std::string LastError();

  // Fields; the main window reads state and videoChannels directly.
  GstElement* renderer[kMaxChannels] = {};
  GstElement* graph = nullptr;  // the pipeline
  GstElement* source = nullptr;
  GstElement* decoder[kMaxChannels] = {};
  GstElement* audioDecoder = nullptr;
  GstElement* audioRenderer = nullptr;
  GstElement* brightness[kMaxChannels] = {};
  GstElement* converter[kMaxChannels] = {};
  std::int32_t requestedChannels = 1;
  ChannelWindow* window[kMaxChannels] = {};
  std::atomic<std::int32_t> ready{0};
  std::atomic<std::int32_t> built{0};
  std::atomic<float> rate{1.0f};
  std::atomic<std::int64_t> duration{0};
  std::atomic<std::int32_t> state{kStateEmpty};
  std::atomic<std::int32_t> videoChannels{0};
  std::string path;
  bool useBrightnessFilter = false;
  bool sourceOption = false;

 private:
  HResult AddFilter(GstElement* element, GstElement** field);
  HResult ConnectFilters(GstElement* upstream, GstElement* downstream);
  HResult BuildAudio(bool singleChannel);
  HResult BuildChannel(int n, bool singleChannel);
  HResult ConfigureRenderer(int n);
  HResult StopWhenReady();
  void RemoveFilter(GstElement** field);
  HResult SeekTo(std::int64_t time, double seekRate);
  void WaitForPreroll();
  static GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);

  std::recursive_mutex mutex_;
  std::atomic<double> appliedRate_{1.0};
  // Set when the pipeline posts the end of the current segment; any new seek clears it.
  std::atomic<bool> atEnd_{false};
  std::atomic<guint32> segmentSeqnum_{GST_SEQNUM_INVALID};
  std::mutex errorMutex_;
  std::string lastError_;
};

}  // namespace playback
