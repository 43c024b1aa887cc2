#pragma once
// The main window's player: remembers the channel windows, creates a fresh
// CPlaybackGraph for every opened recording and speaks milliseconds to the rest of
// the viewer. Its calls are serialised: the load worker opens a recording while the
// window thread may already move the speed slider, and a slider call then waits for
// the open to finish instead of reaching a graph being replaced.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "playback/CPlaybackGraph.h"
#include "playback/ChannelSink.h"
#include "playback/ChannelWindow.h"

namespace playback {

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
  // Opens a recording: a path with null and -1, or a card file's name with the card
  // handle and card file number. Leaves the new graph stopped on its first picture.
  bool Open(const std::string& path, void* sourceHandle, std::int32_t sourceValue);
  bool Close();
  // The last picture of channel 0-3 (top-down 32-bit). True without a graph, the
  // image left empty.
  bool GrabFrame(int channel, CapturedImage* image);

  bool Seek(std::int32_t milliseconds);
  std::uint64_t GetPosition();
  std::uint64_t GetDuration();
  bool SetRate(float newRate);
  bool SetVolume(std::int32_t percent);

  // Fields.
  std::int32_t channelCount = 0;
  ChannelWindow* channelWindow[kMaxChannels] = {};
  std::unique_ptr<CPlaybackGraph> graph;
  ClientRect channelRect[kMaxChannels] = {};
  bool useBrightnessFilter = false;
  bool sourceOption = true;

 private:
  std::recursive_mutex mutex_;
};

// Writes "usingDShow" = 1 under HKEY_LOCAL_MACHINE\SOFTWARE\Nevroc; failures are
// ignored. CPlayer's constructor calls it.
void WriteUsingDShow();

}  // namespace playback
