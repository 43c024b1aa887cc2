#pragma once
// The media graph of one opened recording: a GStreamer pipeline built from the
// stream-parse source, a decoder, converter and renderer per channel and the sound
// path, with the transport operations the main window drives it by.
//
// Times are 100-ns units. Every operation returns a result code (ResultCodes.h); 1
// from Build means nothing usable was built. Every operation takes the graph's own
// lock for as long as it talks to the pipeline, which is never long: seeks return once
// the pipeline has taken them (WaitUntilSettled waits for their picture), play and
// pause do not wait for the pipeline to get there. Only Build waits (for the first
// picture), and it runs before anyone else can reach the graph (CPlayer publishes a
// graph once it is built).

#include <gst/gst.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "playback/ChannelSink.h"
#include "playback/ChannelWindow.h"
#include "playback/GstSupport.h"
#include "playback/PlaybackListener.h"
#include "playback/PlayerTypes.h"
#include "playback/ResultCodes.h"

class TelemetryRecordSource;

namespace playback {

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
  // Where the end of the recording and pipeline errors go (PlaybackListener.h); set
  // before Build, null for nobody. The listener must outlive the graph.
  void SetListener(PlaybackListener* listener);
  // Builds the graph for a recording: a path, or for a card file its name with the
  // card it is on. Leaves it stopped on its first picture.
  HResult Build(const std::string& recordingPath, CardSource card = {});
  // Whether the renderers hand their pictures to the windows (the default). A graph
  // prerolled ahead of its turn is built with them held, so its first picture waits
  // in the renderers while another graph still shows its own; showing them again hands
  // that picture over when the graph starts playing. Hiding them detaches the windows
  // at once: no picture of this graph reaches them after this returns.
  void SetPicturesShown(bool shown);
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
  // An absolute seek; the state does not change. Returns once the pipeline has taken
  // it; until its picture arrives, GetPosition answers the target.
  HResult SetPosition(std::int64_t time);
  // Paused or stopped (not running): an accurate seek to one unit past the time of the
  // first camera's next (direction > 0) or previous picture after the one shown, or
  // after the one a seek still on its way will show, so that steps pressed faster than
  // pictures come still count. Every camera shows the picture covering that time.
  // kEInvalidArg when there is no picture that way, kVfwEWrongState while running.
  // `target` (optional) receives the time sought.
  HResult StepFrame(int direction, std::int64_t* target = nullptr);
  HResult GetPosition(std::int64_t* time);
  HResult GetDuration(std::int64_t* time);
  HResult SetVolume(std::int32_t attenuation);
  HResult SetBrightness(std::int32_t offset);
  HResult SetRearMirror(bool mirrored);
  // A new playback rate in one step: pause when running, store the rate, and run
  // again when it was running (Play applies and clamps it). A rate set while paused
  // or stopped waits for the next Play.
  HResult ChangeRate(float newRate);
  // Waits until the pipeline has finished its last seek or state change (the picture
  // for it is shown), up to `timeout`; true when it has. Never holds the graph's lock
  // while waiting.
  bool WaitUntilSettled(std::chrono::milliseconds timeout);

  // The source's record call, for reading the recording's telemetry; null without a
  // loaded source. The handle keeps the source alive, so a reader on another thread
  // may go on even when the graph is torn down meanwhile (it then reads to the end).
  std::shared_ptr<TelemetryRecordSource> TelemetrySource();

  // --- what callers may read ---
  PlaybackState state() const { return state_.load(); }
  // Output pads of the source whose name contains "Video".
  std::int32_t videoChannels() const { return videoChannels_.load(); }
  // The cached duration (100-ns units); 0 until first read.
  std::int64_t duration() const { return duration_.load(); }
  // The rate the next Play applies.
  float rate() const { return rate_.load(); }
  bool ready() const { return ready_.load() != 0; }
  // The opened recording (path or card file name).
  std::string path();
  bool built() const { return built_.load() != 0; }
  int requestedChannels() const { return requestedChannels_; }
  // The pipeline's rate as last applied (1.0 before the first play).
  double AppliedRate() const { return appliedRate_.load(); }
  // Pictures shown and dropped by channel 0-3's renderer.
  ChannelSinkStats RendererCounts(int channel);
  // The first error the pipeline reported, empty when none.
  std::string LastError();
  // After a Build that returned 1 because no decoder here takes the recording's
  // pictures: the code that names their format (e.g. "WMV3"); empty otherwise.
  std::string UnsupportedVideo();

 private:
  // The playback suites look at the elements themselves (tests/playback).
  friend class CPlaybackGraphInspector;

  using Chain = std::array<ElementRef, kMaxChannels>;
  GstElement* Renderer(int channel) const { return At(renderer_, channel); }
  static GstElement* At(const Chain& chain, int channel) {
    return channel >= 0 && channel < kMaxChannels ? chain[static_cast<std::size_t>(channel)].get() : nullptr;
  }

  HResult AddFilter(ElementRef element, ElementRef* field);
  HResult ConnectFilters(GstElement* upstream, GstElement* downstream);
  HResult BuildAudio(bool singleChannel);
  HResult BuildChannel(int n, bool singleChannel);
  HResult ConfigureRenderer(int n);
  HResult StopWhenReady();
  void RemoveFilter(ElementRef* field);
  HResult SeekTo(std::int64_t time, double seekRate);
  static GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);
  void OnPipelineError(GstMessage* message);

  std::recursive_mutex mutex_;

  // The pipeline and the elements it holds, one reference each; Teardown releases
  // them all.
  Chain renderer_;
  ElementRef graph_;
  ElementRef source_;
  Chain decoder_;
  ElementRef audioDecoder_;
  ElementRef audioRenderer_;
  Chain brightness_;
  Chain converter_;

  const int requestedChannels_;
  ChannelWindow* window_[kMaxChannels] = {};
  std::atomic<std::int32_t> ready_{0};
  std::atomic<std::int32_t> built_{0};
  std::atomic<float> rate_{1.0f};
  std::atomic<std::int64_t> duration_{0};
  std::atomic<PlaybackState> state_{kStateEmpty};
  std::atomic<std::int32_t> videoChannels_{0};
  std::string path_;
  std::string unsupportedVideo_;
  bool useBrightnessFilter_ = false;
  bool sourceOption_ = false;
  bool picturesShown_ = true;

  std::atomic<PlaybackListener*> listener_{nullptr};
  std::atomic<double> appliedRate_{1.0};
  // Set when the pipeline posts the end of the current segment; any new seek clears it.
  std::atomic<bool> atEnd_{false};
  std::atomic<guint32> segmentSeqnum_{GST_SEQNUM_INVALID};
  // The target of a seek whose picture has not arrived yet, -1 when none. Cleared by
  // the pipeline's message that the seek completed (bus thread).
  std::atomic<std::int64_t> seekTarget_{-1};
  // Released by the build just before the bus handler is installed and acquired by
  // the handler. The streaming threads come from GLib's pool and get the graph
  // through GStreamer's own locks, which the thread checker cannot see; this makes
  // the order of the graph's set-up before the handler's work visible to it.
  std::atomic<bool> handlerArmed_{false};
  // Where the last frame step went while no other seek or play came after it; the next
  // step counts from there whether or not its picture has come.
  std::int64_t stepTarget_ = -1;
  std::mutex errorMutex_;
  std::string lastError_;
  bool errorReported_ = false;  // guarded by errorMutex_
};

}  // namespace playback
