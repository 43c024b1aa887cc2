#pragma once
// One moment of a recording file, opened without a screen: the player on two
// headless channel windows, stopped on the picture at a position, with the
// recording's camera count and telemetry. tarvo-tool's capture and report start
// from it, so they take the viewer's own path from file to picture.

#include <cstdint>
#include <string>

#include "playback/CPlayer.h"
#include "telemetry/TelemetrySamples.h"
#include "tools/capture/HeadlessChannelWindow.h"

class RecordingMoment {
 public:
  RecordingMoment();
  ~RecordingMoment();
  RecordingMoment(const RecordingMoment&) = delete;
  RecordingMoment& operator=(const RecordingMoment&) = delete;

  // Reads the file's cameras and telemetry and opens it in the player. False, with
  // `error` saying why, when the file cannot be read, is no recording, has no
  // camera or the player cannot open it.
  bool Open(const std::string& path, std::string& error);

  // Moves to `positionMs` and waits until the picture there reached every channel
  // the player draws. False, with `error`, for a position outside the recording or
  // when no picture arrives.
  bool ShowPosition(std::int32_t positionMs, std::string& error);

  playback::CPlayer& Player() { return player_; }
  // Camera channels of the recording (the player draws the first two).
  int VideoChannels() const { return videoChannels_; }
  std::uint64_t DurationMs() const { return durationMs_; }
  const TelemetrySamples& Samples() const { return samples_; }

 private:
  HeadlessChannelWindow windows_[2];
  playback::CPlayer player_;
  TelemetrySamples samples_;
  int videoChannels_ = 0;
  std::uint64_t durationMs_ = 0;
};
