// The transport operations of CPlaybackGraph: play, pause, stop, seeking, rate,
// volume, brightness and the rear mirror.

#include <algorithm>

#include "playback/AudioOutput.h"
#include "playback/CPlaybackGraph.h"
#include "playback/VideoDecoderBin.h"

namespace playback {
namespace {

constexpr float kMinRate = 0.5f;
constexpr float kMaxRate = 2.0f;
// How long a seek may take to bring its first picture; the caller reads the new
// position right after.
constexpr GstClockTime kSeekSettleTimeout = 5 * GST_SECOND;
constexpr std::int64_t kNsPer100 = 100;

}  // namespace

HResult CPlaybackGraph::SeekTo(std::int64_t time, double seekRate) {
  if (!graph) return kEPointer;
  if (time < 0) time = 0;
  GstEvent* seek = gst_event_new_seek(seekRate, GST_FORMAT_TIME,
                                      static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                      GST_SEEK_TYPE_SET, time * kNsPer100, GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
  const guint32 seqnum = gst_event_get_seqnum(seek);
  // A late end message of the segment being replaced must not count as the new end.
  segmentSeqnum_ = seqnum;
  atEnd_ = false;
  if (!gst_element_send_event(graph, seek)) return kEFail;
  appliedRate_ = seekRate;
  gst_element_get_state(graph, nullptr, nullptr, kSeekSettleTimeout);
  return kSOk;
}

HResult CPlaybackGraph::Play() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready) return kNotReady;
  if (state != kStatePaused && state != kStateStopped) return kVfwEWrongState;
  if (!graph) return kEPointer;
  std::int64_t position = 0, length = 0;
  GetPosition(&position);
  GetDuration(&length);
  const bool restart = position == length;
  float target = rate;
  if (target != 1.0f) {
    target = std::clamp(target, kMinRate, kMaxRate);
    rate = target;
  }
  HResult hr = kSOk;
  if (restart || static_cast<double>(target) != appliedRate_.load()) {
    // Played to its end, play starts again at the beginning; a new rate needs a
    // new segment from the current place.
    hr = SeekTo(restart ? 0 : position, target);
  }
  const GstStateChangeReturn change = gst_element_set_state(graph, GST_STATE_PLAYING);
  state = kStateRunning;
  if (AudioControl* audio = AudioControlOf(audioRenderer)) audio->PutBalance(0);
  if (change == GST_STATE_CHANGE_FAILURE) return kEFail;
  return hr;
}

HResult CPlaybackGraph::Pause() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready) return kNotReady;
  if (state != kStateRunning) return kSOk;
  if (!graph) return kEPointer;
  if (gst_element_set_state(graph, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) return kEFail;
  state = kStatePaused;
  return kSOk;
}

HResult CPlaybackGraph::Stop() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready) return kNotReady;
  if (state != kStateRunning && state != kStatePaused) return kVfwEWrongState;
  if (!graph) return kEPointer;
  // Stopped keeps the picture and the place, like a pause the main window treats
  // differently.
  if (gst_element_set_state(graph, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) return kEFail;
  state = kStateStopped;
  return kSOk;
}

HResult CPlaybackGraph::SetPosition(std::int64_t time) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready) return kNotReady;
  if (!graph) return kEPointer;
  return SeekTo(time, appliedRate_.load());
}

HResult CPlaybackGraph::GetPosition(std::int64_t* time) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready) return kNotReady;
  if (!time) return kEPointer;
  if (!graph) return kEPointer;
  std::int64_t length = 0;
  GetDuration(&length);
  if (atEnd_) {
    // The end of the data leaves the graph running at the end position.
    *time = length;
    return kSOk;
  }
  gint64 ns = 0;
  if (!gst_element_query_position(graph, GST_FORMAT_TIME, &ns)) return kEFail;
  std::int64_t position = std::max<gint64>(ns, 0) / kNsPer100;
  if (length > 0) position = std::min(position, length);
  *time = position;
  return kSOk;
}

HResult CPlaybackGraph::GetDuration(std::int64_t* time) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready) return kNotReady;
  if (!time) return kEPointer;
  if (duration != 0) {
    *time = duration;
    return kSOk;
  }
  if (!graph) return kEPointer;
  gint64 ns = 0;
  if (!gst_element_query_duration(graph, GST_FORMAT_TIME, &ns) || ns < 0) return kEFail;
  duration = ns / kNsPer100;
  *time = duration;
  return kSOk;
}

HResult CPlaybackGraph::SetVolume(std::int32_t attenuation) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready) return kNotReady;
  AudioControl* audio = AudioControlOf(audioRenderer);
  if (!audio) return kENotImpl;
  return audio->PutVolume(attenuation);
}

HResult CPlaybackGraph::SetBrightness(std::int32_t offset) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready) return kNotReady;
  for (int i = 0; i < 2; ++i) {
    DecoderParams* params = DecoderParamsOf(decoder[i]);
    if (!params) continue;
    params->SetParam(kParamPictureAdjust, 1);
    params->SetParam(kParamBrightness, offset);
  }
  return kSOk;
}

HResult CPlaybackGraph::SetRearMirror(bool mirrored) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!ready) return kNotReady;
  DecoderParams* params = DecoderParamsOf(decoder[1]);
  if (!params) return kSOk;
  params->SetParam(kParamTransform, 1);
  params->SetParam(kParamMirror, mirrored ? 1 : 0);
  return kSOk;
}

}  // namespace playback
