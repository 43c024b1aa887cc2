#include "tools/capture/RecordingMoment.h"

#include <algorithm>

#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"
#include "telemetry/LoadTelemetry.h"

namespace {

// A seek returns once the graph has its picture, which a slow machine may deliver
// to the windows a little later.
constexpr int kPictureTimeoutMs = 10000;
constexpr int kDrawnChannels = 2;

}  // namespace

RecordingMoment::RecordingMoment() {
  player_.AttachWindows(&windows_[0], &windows_[1]);
  // The viewer clears the source option before every open.
  player_.SetSourceOption(false);
}

RecordingMoment::~RecordingMoment() { player_.Close(); }

bool RecordingMoment::Open(const std::string& path, std::string& error) {
  FileByteSource file;
  if (!file.Open(path)) {
    error = "cannot read " + path + ": " + platform::DescribeOpenFailure(file.Failure());
    return false;
  }
  avi::AviReader reader(file);
  if (!reader.Open()) {
    error = path + " is not a recording (no RIFF AVI header)";
    return false;
  }
  videoChannels_ = reader.CameraCount();
  if (videoChannels_ <= 0) {
    error = path + " holds no camera pictures";
    return false;
  }
  avi::AviTelemetrySource telemetry(reader);
  LoadTelemetry(&telemetry, samples_);
  if (!player_.Open(path)) {
    error = "the player cannot open " + path;
    return false;
  }
  durationMs_ = player_.GetDuration();
  return true;
}

bool RecordingMoment::ShowPosition(std::int32_t positionMs, std::string& error) {
  if (positionMs < 0 || static_cast<std::uint64_t>(positionMs) > durationMs_) {
    error = "position " + std::to_string(positionMs) + " ms is outside the recording (0 to " +
            std::to_string(durationMs_) + " ms)";
    return false;
  }
  const int drawn = std::min(videoChannels_, kDrawnChannels);
  std::uint64_t seen[kDrawnChannels] = {};
  for (int i = 0; i < drawn; ++i) seen[i] = windows_[i].Frames();
  // The end of a recording is the end of its last picture, which is the one shown there.
  const auto target =
      static_cast<std::int32_t>(durationMs_ > 0 ? std::min<std::uint64_t>(positionMs, durationMs_ - 1) : 0);
  if (!player_.Seek(target)) {
    error = "the player cannot move to " + std::to_string(positionMs) + " ms";
    return false;
  }
  for (int i = 0; i < drawn; ++i) {
    if (!windows_[i].WaitForFrameAfter(seen[i], kPictureTimeoutMs)) {
      error = "no picture of camera " + std::to_string(i + 1) + " at " + std::to_string(positionMs) + " ms";
      return false;
    }
  }
  return true;
}
