#pragma once
// The main window's player: remembers the channel windows, creates a fresh
// CPlaybackGraph for every opened recording and speaks milliseconds to the rest of
// the viewer.
//
// Threads. Open runs on the load worker and takes as long as the recording needs to
// show its first picture; every other call may come from the window thread at the
// same time and never waits for it. While an open runs, the player answers from what
// it knows (no graph yet: state empty, position and duration 0) and keeps the last
// volume, brightness, mirror and rate asked for, which the new graph receives as soon
// as it is built. The player's own lock is held only for moments: the graph is built
// and the old one torn down outside it.

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "playback/ChannelWindow.h"
#include "playback/PlaybackListener.h"
#include "playback/PlayerTypes.h"

class TelemetryRecordSource;

namespace playback {

// The engine's graph of one recording; its GStreamer side stays inside playback/.
class CPlaybackGraph;

struct ClientRect {
  int width = 0;
  int height = 0;
};

class CPlayer {
 public:
  CPlayer();
  ~CPlayer();
  CPlayer(const CPlayer&) = delete;
  CPlayer& operator=(const CPlayer&) = delete;

  // The two screens of the main window; channels 3 and 4 get none.
  void AttachWindows(ChannelWindow* window1, ChannelWindow* window2);
  // Where every graph of this player reports the end of a recording and pipeline
  // errors (PlaybackListener.h); null for nobody. Set it before the first Open; the
  // listener must outlive the player.
  void SetListener(PlaybackListener* listener);
  // Opens a recording: a path, or a card file's name with the card it is on. Leaves
  // the new graph stopped on its first picture.
  bool Open(const std::string& path, CardSource card = {});
  bool Close();
  // The last picture of channel 0-3 (top-down 32-bit) at the camera's size. True
  // without a graph, the image left empty.
  bool GrabFrame(int channel, CapturedImage* image);

  bool Seek(std::int32_t milliseconds);
  std::uint64_t GetPosition();
  std::uint64_t GetDuration();
  bool SetRate(float newRate);
  bool SetVolume(std::int32_t percent);

  // The graph's own transport and picture calls, for the main window (each does
  // nothing without a graph and returns false then, or when the graph refuses).
  bool Play();
  bool Pause();
  bool Stop();
  bool SetBrightness(std::int32_t offset);
  bool SetRearMirror(bool mirrored);
  bool RepaintAll();
  bool RepaintChannel1();
  // Waits until the last seek's picture is shown, up to `timeout`; true when it is.
  bool WaitUntilSettled(std::chrono::milliseconds timeout);

  // The current graph's state; empty without a graph and while an open runs.
  PlaybackState state() const;
  // Video channels of the current recording; 0 without a graph.
  std::int32_t videoChannels() const;
  // The current recording's duration in 100-ns units as the graph cached it.
  std::int64_t duration() const;
  // The rate the current graph plays at or will play at (1.0 without one).
  float rate() const;
  // True while Open runs.
  bool Opening() const;
  // The current recording's telemetry records (see CPlaybackGraph::TelemetrySource);
  // null without a graph.
  std::shared_ptr<TelemetryRecordSource> TelemetrySource();
  // The first pipeline error of the current recording, empty when none.
  std::string LastError();
  // After an Open that failed because no decoder here takes the recording's
  // pictures: the code that names their format; empty otherwise.
  std::string UnsupportedVideo() const;
  // The current graph, for inspection by tests and diagnostics; null while opening.
  std::shared_ptr<CPlaybackGraph> Graph() const;

  std::int32_t channelCount() const { return channelCount_; }
  ClientRect channelRect(int channel) const;
  bool useBrightnessFilter() const { return useBrightnessFilter_; }
  bool sourceOption() const;
  // The main window clears the source option before every open.
  void SetSourceOption(bool option);

 private:
  // Settings asked for while no graph could take them; the next built graph gets them.
  struct Pending {
    std::optional<std::int32_t> attenuation;
    std::optional<std::int32_t> brightness;
    std::optional<bool> mirrored;
    std::optional<float> rate;
  };
  void ApplyPending(CPlaybackGraph& graph, const Pending& pending);
  std::shared_ptr<CPlaybackGraph> Current() const;
  std::unique_ptr<CPlaybackGraph> MakeGraph() const;

  mutable std::mutex mutex_;  // guards every field below; held only for moments
  std::int32_t channelCount_ = 0;
  ChannelWindow* channelWindow_[kMaxChannels] = {};
  std::shared_ptr<CPlaybackGraph> graph_;
  ClientRect channelRect_[kMaxChannels] = {};
  bool useBrightnessFilter_ = false;
  bool sourceOption_ = true;
  PlaybackListener* listener_ = nullptr;
  bool opening_ = false;
  std::string unsupportedVideo_;
  Pending pending_;
  // One open at a time: a second Open waits for the first (both on load workers).
  std::mutex openMutex_;
};

// Writes "usingDShow" = 1 under HKEY_LOCAL_MACHINE\SOFTWARE\Nevroc; failures are
// ignored. CPlayer's constructor calls it.
void WriteUsingDShow();

}  // namespace playback
