// The transport operations of CPlaybackGraph: play, pause, stop, seeking, rate,
// volume, brightness and the rear mirror.

#include <algorithm>
#include <cstdlib>

#include "playback/AudioOutput.h"
#include "playback/CPlaybackGraph.h"
#include "playback/StreamParseSource.h"
#include "playback/VideoDecoderBin.h"

namespace playback {
namespace {

constexpr float kMinRate = 0.5f;
constexpr float kMaxRate = 2.0f;

// The window's [ and ] keys step through 1/8, 1/4, 4 and 8 times beyond the
// slider's range; those rates play as they are, any other is held to 0.5 to 2.
bool IsKeyRate(float rate) { return rate == 0.125f || rate == 0.25f || rate == 4.0f || rate == 8.0f; }
constexpr std::int64_t kNsPer100 = 100;
constexpr std::int64_t kUnitsPerMs = 10000;
// How far the position may be from the start of the picture on screen when it is that
// picture's place: a little over a picture at 10 fps.
constexpr std::int64_t kNearShownPicture = 120 * kUnitsPerMs;

}  // namespace

HResult CPlaybackGraph::SeekTo(std::int64_t time, double seekRate) {
  if (!graph_) return kEPointer;
  if (time < 0) time = 0;
  GstEvent* seek = gst_event_new_seek(seekRate, GST_FORMAT_TIME,
                                      static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                      GST_SEEK_TYPE_SET, time * kNsPer100, GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
  const guint32 seqnum = gst_event_get_seqnum(seek);
  // A late end message of the segment being replaced must not count as the new end.
  segmentSeqnum_ = seqnum;
  atEnd_ = false;
  // The flushing seek is taken before send_event returns; its picture comes later,
  // and until then the position is the target rather than whatever the pipeline
  // reports on its way there.
  seekTarget_ = time;
  stepTarget_ = -1;
  if (!gst_element_send_event(graph_.get(), seek)) {
    seekTarget_ = -1;
    return kEFail;
  }
  appliedRate_ = seekRate;
  return kSOk;
}

HResult CPlaybackGraph::Play() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready_) return kNotReady;
  if (state_ != kStatePaused && state_ != kStateStopped) return kVfwEWrongState;
  if (!graph_) return kEPointer;
  std::int64_t position = 0, length = 0;
  GetPosition(&position);
  GetDuration(&length);
  const bool restart = position == length;
  float target = rate_;
  if (target != 1.0f && !IsKeyRate(target)) {
    target = std::clamp(target, kMinRate, kMaxRate);
    rate_ = target;
  }
  HResult hr = kSOk;
  stepTarget_ = -1;
  if (restart || static_cast<double>(target) != appliedRate_.load()) {
    // Played to its end, play starts again at the beginning; a new rate needs a
    // new segment from the current place. That is the place of the latest picture on
    // the screens (the clock may have stopped a little before its start, and a screen
    // a picture behind the other has caught up by then; from anywhere earlier, a
    // picture before would come back for a moment), one unit on as a frame step seeks
    // (times are rounded down to 100 ns). That picture comes again, and the windows
    // have it. With a seek still on its way the screens may not hold the place's.
    if (!restart && seekTarget_.load() < 0) {
      std::int64_t latest = -1;
      for (const ElementRef& renderer : renderer_) {
        const std::int64_t shown = ChannelSinkShownTime(renderer.get());
        if (shown >= 0 && std::llabs(shown - position) <= kNearShownPicture) latest = std::max(latest, shown);
      }
      if (latest >= 0) position = latest + 1;
      for (const ElementRef& renderer : renderer_) ChannelSinkExpectRepeat(renderer.get());
    }
    hr = SeekTo(restart ? 0 : position, target);
  }
  const GstStateChangeReturn change = gst_element_set_state(graph_.get(), GST_STATE_PLAYING);
  state_ = kStateRunning;
  if (AudioControl* audio = AudioControlOf(audioRenderer_.get())) audio->PutBalance(0);
  if (change == GST_STATE_CHANGE_FAILURE) return kEFail;
  return hr;
}

HResult CPlaybackGraph::Pause() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready_) return kNotReady;
  if (state_ != kStateRunning) return kSOk;
  if (!graph_) return kEPointer;
  if (gst_element_set_state(graph_.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) return kEFail;
  state_ = kStatePaused;
  return kSOk;
}

HResult CPlaybackGraph::Stop() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready_) return kNotReady;
  if (state_ != kStateRunning && state_ != kStatePaused) return kVfwEWrongState;
  if (!graph_) return kEPointer;
  // Stopped keeps the picture and the place, like a pause the main window treats
  // differently.
  if (gst_element_set_state(graph_.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) return kEFail;
  state_ = kStateStopped;
  return kSOk;
}

HResult CPlaybackGraph::ChangeRate(float newRate) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  const std::int32_t before = state_;
  Pause();
  rate_ = newRate;
  if (before == kStateRunning) return Play();
  return kSOk;
}

HResult CPlaybackGraph::SetPosition(std::int64_t time) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready_) return kNotReady;
  if (!graph_) return kEPointer;
  return SeekTo(time, appliedRate_.load());
}

HResult CPlaybackGraph::StepFrame(int direction, std::int64_t* target) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready_) return kNotReady;
  if (!graph_) return kEPointer;
  if (state_ != kStatePaused && state_ != kStateStopped) return kVfwEWrongState;
  StreamParseControl* control = StreamParseControlOf(source_.get());
  if (!control) return kEPointer;
  std::int64_t from = stepTarget_ >= 0 ? stepTarget_ : seekTarget_.load();
  if (from < 0) {
    // The decoder may give a picture between key frames a time a few units off its
    // place; a millisecond on, well inside the picture, still finds that picture.
    from = ChannelSinkShownTime(Renderer(0));
    if (from >= 0) from += kUnitsPerMs;
  }
  if (from < 0 && Failed(GetPosition(&from))) return kEFail;
  const std::int64_t to = control->NeighbourPictureTime(from, direction);
  if (to < 0) return kEInvalidArg;
  // The index's times are rounded down to 100 ns, while the decoder times the pictures
  // between key frames from the frame rate: the picture before may end a few
  // nanoseconds past the index's time and would be the one covering it. One unit on
  // is inside the wanted picture only.
  const HResult hr = SeekTo(to + 1, appliedRate_.load());
  if (!Failed(hr)) stepTarget_ = to + 1;
  if (!Failed(hr) && target) *target = to + 1;
  return hr;
}

HResult CPlaybackGraph::GetPosition(std::int64_t* time) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready_) return kNotReady;
  if (!time) return kEPointer;
  if (!graph_) return kEPointer;
  std::int64_t length = 0;
  GetDuration(&length);
  if (atEnd_) {
    // The end of the data leaves the graph running at the end position.
    *time = length;
    return kSOk;
  }
  std::int64_t position = seekTarget_.load();
  if (position < 0) {
    gint64 ns = 0;
    if (!gst_element_query_position(graph_.get(), GST_FORMAT_TIME, &ns)) return kEFail;
    position = std::max<gint64>(ns, 0) / kNsPer100;
  }
  if (length > 0) position = std::min(position, length);
  *time = position;
  return kSOk;
}

HResult CPlaybackGraph::GetDuration(std::int64_t* time) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready_) return kNotReady;
  if (!time) return kEPointer;
  if (duration_ != 0) {
    *time = duration_;
    return kSOk;
  }
  if (!graph_) return kEPointer;
  gint64 ns = 0;
  if (!gst_element_query_duration(graph_.get(), GST_FORMAT_TIME, &ns) || ns < 0) return kEFail;
  duration_ = ns / kNsPer100;
  *time = duration_;
  return kSOk;
}

HResult CPlaybackGraph::SetVolume(std::int32_t attenuation) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready_) return kNotReady;
  AudioControl* audio = AudioControlOf(audioRenderer_.get());
  if (!audio) return kENotImpl;
  return audio->PutVolume(attenuation);
}

HResult CPlaybackGraph::SetBrightness(std::int32_t offset) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready_) return kNotReady;
  for (int i = 0; i < 2; ++i) {
    DecoderParams* params = DecoderParamsOf(At(decoder_, i));
    if (!params) continue;
    params->SetParam(kParamPictureAdjust, 1);
    params->SetParam(kParamBrightness, offset);
  }
  return kSOk;
}

HResult CPlaybackGraph::SetRearMirror(bool mirrored) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready_) return kNotReady;
  DecoderParams* params = DecoderParamsOf(At(decoder_, 1));
  if (!params) return kSOk;
  params->SetParam(kParamTransform, 1);
  params->SetParam(kParamMirror, mirrored ? 1 : 0);
  return kSOk;
}

}  // namespace playback
