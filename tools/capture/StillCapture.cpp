#include "tools/capture/StillCapture.h"

#include "tools/capture/CaptureJpeg.h"

namespace {

bool GrabAndSave(const FrameGrab& grab, int channel, const std::string& path, StillCaptureResult& result) {
  playback::CapturedImage image;
  if (!grab(channel, &image)) return false;
  // Without a graph the player answers true with an empty picture: nothing to save.
  int error = 0;
  if (SaveCaptureJpeg(image, path, &error)) return true;
  if (error != 0) {
    result.failedFile = path;
    result.writeError = error;
  }
  return false;
}

}  // namespace

StillCaptureResult CaptureStill(const FrameGrab& grab, const std::string& folder, std::string_view fileName,
                                int videoChannels, const LocalTime& time) {
  StillCaptureResult result;
  if (folder.empty() || !grab) return result;
  result.names = MakeCaptureFileNames(folder, fileName, time);
  result.track1Written = GrabAndSave(grab, 0, result.names.track1, result);
  if (!result.track1Written) return result;
  if (videoChannels >= 2 && !result.names.track2.empty()) {
    result.track2Written = GrabAndSave(grab, 1, result.names.track2, result);
    if (!result.track2Written) return result;
  }
  result.complete = true;
  return result;
}

StillCaptureResult CaptureStill(playback::CPlayer& player, const std::string& folder, std::string_view fileName,
                                int videoChannels, const LocalTime& time) {
  return CaptureStill(
      [&player](int channel, playback::CapturedImage* image) { return player.GrabFrame(channel, image); }, folder,
      fileName, videoChannels, time);
}
