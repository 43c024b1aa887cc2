#pragma once
// The dashcam simulator: records a recording as the camera would, with real H.264
// pictures, sound and telemetry, and can leave it as a power cut would.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "sources/avi/AviReader.h"

namespace simulator {

struct PictureSize {
  int width;
  int height;
};

struct RecordOptions {
  int cameras = 2;  // 1 or 2 as the dashcam records; up to 4 for tests
  double seconds = 10;
  std::vector<PictureSize> sizes{{1280, 720}, {640, 360}};  // per camera; the last repeats
  int framesPerSecond = 30;
  int bitrateKbps = 2000;  // camera 1; the others in proportion to their picture
  avi::AudioKind audio = avi::AudioKind::Aac;
  std::string typeCode = "REC";
  std::tm start{};              // the camera's clock at the first frame
  std::filesystem::path route;  // GPX; empty: the built-in drive
  int64_t cutAt = -1;           // leave the file as a power cut at this byte
  bool gps = true;              // false: no GPS fixes at all (a camera without a receiver)
  double brakeAt = -1;          // a hard braking in the G-sensor readings at this second
};

constexpr int kMaxCameras = 4;

// "TYP_YYYYMMDD_HHMMSS_C.avi"
std::string RecordingFileName(const RecordOptions& options);

// Records to out, or into out when it is a folder (named by RecordingFileName).
// On failure nothing is left behind and error says why.
bool RecordRecording(const RecordOptions& options, const std::filesystem::path& out, std::filesystem::path& written,
                     std::string& error);

}  // namespace simulator
