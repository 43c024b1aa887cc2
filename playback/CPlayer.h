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
//
// The next recording. A worker may preroll the recording that follows the current one
// (PrepareStandby: a second graph, paused on its first picture, which it does not show
// yet); once the owner has what it needs for it and arms it (ArmStandby), the end of
// the current recording's pictures while it plays hands over to it on the player's own thread:
// the ended graph's windows are detached, the standby's attached and started, and the
// listener hears OnNextRecording instead of OnEndOfStream. The picture changes within
// a frame; the ended graph is torn down afterwards, on the same thread. One standby
// at most; DropStandby (a stop, another row) releases it without waiting.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

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
  // Paused: shows the next (direction > 0) or previous picture (CPlaybackGraph::
  // StepFrame); false when there is none that way or the player is not paused.
  // `positionMs` (optional) receives the picture's time: the position a moment
  // before the pipeline answers it.
  bool StepFrame(int direction, std::int32_t* positionMs = nullptr);
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

  // --- the next recording, prerolled ---
  // Builds the standby graph for a recording (as Open does, on the calling worker
  // thread) and leaves it paused on its first picture, unshown and unarmed; a standby
  // there was is dropped. False when it could not be built or was dropped meanwhile.
  bool PrepareStandby(const std::string& path, CardSource card = {});
  // The standby's telemetry records; null without a standby.
  std::shared_ptr<TelemetryRecordSource> StandbyTelemetrySource();
  // Lets the standby take over at the current recording's end. False, and nothing
  // armed, without a standby or when the current recording's end was already reported.
  bool ArmStandby();
  // Forgets the standby; its graph is torn down on the player's thread. Never waits.
  void DropStandby();
  // True when the end of the current recording goes to an armed standby (or is going
  // to it now): whoever watches the position leaves the end to the player then.
  bool HandsOverAtEnd() const;
  // The standby graph, for tests; null without one.
  std::shared_ptr<CPlaybackGraph> Standby() const;

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
  // A graph for the attached windows that reports to the player (its relay goes with it).
  std::shared_ptr<CPlaybackGraph> MakeGraph();
  // A graph's end (of its first camera's pictures, or of everything) and errors, from
  // its streaming thread.
  class Relay;
  void OnGraphEnd(const CPlaybackGraph* graph, bool picturesOnly);
  void OnGraphError(const CPlaybackGraph* graph, const std::string& text);
  // The player's thread: the hand-over to the standby and the teardown of graphs no
  // longer used, away from the streaming and window threads.
  void HelperLoop();
  void SwitchToStandby();
  // Queues a graph for teardown on the player's thread; mutex_ held.
  void RetireLocked(std::shared_ptr<CPlaybackGraph> graph);

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
  // The last volume, brightness, mirror and rate asked for, which a standby gets.
  Pending settings_;
  // The graph Open is building, whose errors go to the listener as the current one's.
  const CPlaybackGraph* openingGraph_ = nullptr;
  std::shared_ptr<CPlaybackGraph> standby_;
  bool standbyArmed_ = false;
  // Counts standbys asked for and dropped: a build that finishes after its standby was
  // dropped or replaced is thrown away.
  std::uint64_t standbyGeneration_ = 0;
  // The current graph's end went to the listener (no hand-over for it any more).
  bool endReported_ = false;
  // From the current graph's end to the standby playing in its place.
  bool switching_ = false;
  bool switchPending_ = false;
  const CPlaybackGraph* switchFrom_ = nullptr;  // the graph whose end started it
  bool quit_ = false;
  std::vector<std::shared_ptr<CPlaybackGraph>> retired_;
  std::condition_variable helperWake_;
  std::thread helper_;
  // One open at a time: a second Open waits for the first (both on load workers).
  std::mutex openMutex_;
};

// Writes "usingDShow" = 1 under HKEY_LOCAL_MACHINE\SOFTWARE\Nevroc; failures are
// ignored. CPlayer's constructor calls it.
void WriteUsingDShow();

}  // namespace playback
