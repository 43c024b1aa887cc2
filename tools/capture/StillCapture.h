#pragma once
// A still capture: the last picture of each camera channel, at the camera's full
// resolution, written as JPEG files named after the recording and the time.

#include <functional>
#include <string>
#include <string_view>

#include "playback/CPlayer.h"
#include "tools/capture/CaptureNames.h"
#include "tools/capture/LocalTime.h"

// Grabs the picture of channel 0-3; CPlayer::GrabFrame in the viewer.
using FrameGrab = std::function<bool(int channel, playback::CapturedImage* image)>;

struct StillCaptureResult {
  CaptureFileNames names;
  bool track1Written = false;
  bool track2Written = false;
  // Every file the recording needs was written (only then does the viewer ask
  // whether to open the folder).
  bool complete = false;
  // The file that could not be written and the errno why; empty and 0 when all were
  // written or a picture could not be taken.
  std::string failedFile;
  int writeError = 0;
};

// Grabs channel 1 and writes the "(Track1)" file; with two or more video channels
// then channel 2 into "(Track2)". Stops at the first grab or save that fails; files
// written until then stay. `folder` must exist.
StillCaptureResult CaptureStill(const FrameGrab& grab, const std::string& folder, std::string_view fileName,
                                int videoChannels, const LocalTime& time);

// The same from the player's pictures.
StillCaptureResult CaptureStill(playback::CPlayer& player, const std::string& folder, std::string_view fileName,
                                int videoChannels, const LocalTime& time);
