#include "tools/simulator/Simulator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "tools/simulator/AviWriter.h"
#include "tools/simulator/Drive.h"
#include "tools/simulator/MediaEncoder.h"
#include "tools/simulator/TelemetryTrack.h"

namespace simulator {

namespace {

const char* const kCameraNames[kMaxCameras] = {"FRONT", "REAR", "CAM3", "CAM4"};
constexpr int kMinBitrateKbps = 100;

struct Slot {
  int64_t time;  // 100 ns
  int order;     // video by camera, then sound, then telemetry
  size_t index;
};

bool Validate(const RecordOptions& o, std::string& error) {
  if (o.cameras < 1 || o.cameras > kMaxCameras)
    error = "cameras must be 1 to 4";
  else if (!(o.seconds > 0) || o.seconds > 24 * 3600)
    error = "seconds must be above 0";
  else if (o.framesPerSecond < 1 || o.framesPerSecond > 120)
    error = "fps must be 1 to 120";
  else if (o.bitrateKbps < 1)
    error = "bitrate must be above 0";
  else if (o.typeCode.size() != 3)
    error = "the type code has three letters (REC, EVT, PRK, MDI, MOT)";
  else if (o.sizes.empty())
    error = "no picture size";
  for (const PictureSize& s : o.sizes)
    if (s.width < 16 || s.height < 16 || s.width > 4096 || s.height > 4096 || s.width % 2 || s.height % 2)
      error = "picture sizes must be even, 16 to 4096";
  return error.empty();
}

}  // namespace

std::string RecordingFileName(const RecordOptions& o) {
  char name[128];
  std::snprintf(name, sizeof name, "%.3s_%04d%02d%02d_%02d%02d%02d_%d.avi", o.typeCode.c_str(), o.start.tm_year + 1900,
                o.start.tm_mon + 1, o.start.tm_mday, o.start.tm_hour, o.start.tm_min, o.start.tm_sec,
                std::min(o.cameras, 9));
  return name;
}

bool RecordRecording(const RecordOptions& options, const std::filesystem::path& out, std::filesystem::path& written,
                     std::string& error) {
  if (!Validate(options, error)) return false;
  Drive drive;
  if (!options.route.empty() && !drive.LoadGpx(options.route, error)) return false;
  std::error_code ec;
  written = std::filesystem::is_directory(out, ec) ? out / RecordingFileName(options) : out;

  EncodeSettings settings;
  settings.framesPerSecond = options.framesPerSecond;
  settings.seconds = options.seconds;
  settings.frames = std::max(1, static_cast<int>(std::lround(options.seconds * options.framesPerSecond)));
  settings.audio = options.audio;
  settings.clockStartNs =
      static_cast<uint64_t>(options.start.tm_hour * 3600 + options.start.tm_min * 60 + options.start.tm_sec) *
      1000000000ull;
  char date[48];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", options.start.tm_year + 1900, options.start.tm_mon + 1,
                options.start.tm_mday);
  settings.dateText = date;
  const PictureSize first = options.sizes.front();
  for (int c = 0; c < options.cameras; ++c) {
    const PictureSize s = options.sizes[std::min<size_t>(static_cast<size_t>(c), options.sizes.size() - 1)];
    CameraSettings cam;
    cam.id = c;
    cam.name = kCameraNames[c];
    cam.width = s.width;
    cam.height = s.height;
    const double share = static_cast<double>(s.width) * s.height / (static_cast<double>(first.width) * first.height);
    cam.bitrateKbps = std::max(kMinBitrateKbps, static_cast<int>(options.bitrateKbps * share));
    settings.cameras.push_back(cam);
  }
  EncodedMedia media;
  if (!EncodeMedia(settings, media, error)) return false;
  const std::vector<TelemetryRecord> telemetry =
      MakeTelemetry(drive, options.start, options.seconds, options.gps,
                    options.brakeAt >= 0 ? static_cast<int32_t>(std::lround(options.brakeAt * 1000)) : -1);

  AviLayout layout;
  layout.cameraCount = options.cameras;
  layout.framesPerSecond = options.framesPerSecond;
  layout.width = first.width;
  layout.height = first.height;
  layout.audio = options.audio;
  layout.audioSampleRate = media.audioSampleRate;
  layout.audioChannels = media.audioChannels;
  layout.audioBytesPerSecond = media.audioBytesPerSecond;
  layout.audioConfig = media.audioConfig;

  // Everything in time order, as the camera writes it.
  std::vector<Slot> slots;
  constexpr int kAudioOrder = kMaxCameras, kTelemetryOrder = kMaxCameras + 1;
  for (int c = 0; c < options.cameras; ++c) {
    const size_t frames = std::min<size_t>(media.cameras[c].units.size(), static_cast<size_t>(settings.frames));
    for (size_t k = 0; k < frames; ++k)
      slots.push_back({static_cast<int64_t>(k) * avi::kTimeUnitsPerSecond / options.framesPerSecond, c, k});
  }
  const double samplesPerChunk = options.audio == avi::AudioKind::Aac ? kAacSamplesPerFrame : kPcmSamplesPerBlock;
  for (size_t j = 0; j < media.audio.size(); ++j) {
    const int64_t time = static_cast<int64_t>(static_cast<double>(j) * samplesPerChunk * avi::kTimeUnitsPerSecond /
                                              kSimulatorSampleRate);
    if (time >= static_cast<int64_t>(options.seconds * avi::kTimeUnitsPerSecond)) break;
    slots.push_back({time, kAudioOrder, j});
  }
  for (size_t r = 0; r < telemetry.size(); ++r)
    slots.push_back({int64_t{telemetry[r].time} * (avi::kTimeUnitsPerSecond / 1000), kTelemetryOrder, r});
  std::stable_sort(slots.begin(), slots.end(),
                   [](const Slot& a, const Slot& b) { return a.time != b.time ? a.time < b.time : a.order < b.order; });

  AviWriter writer;
  bool ok = writer.Create(written, layout);
  std::vector<uint8_t> chunk;
  for (const Slot& s : slots) {
    if (!ok) break;
    if (s.order < kAudioOrder) {
      const EncodedVideo& v = media.cameras[s.order];
      ok = writer.AddChunk(layout.VideoChunkId(), v.units[s.index].data(),
                           static_cast<uint32_t>(v.units[s.index].size()), v.keyFrames[s.index]);
    } else if (s.order == kAudioOrder) {
      const std::vector<uint8_t>& a = media.audio[s.index];
      ok = writer.AddChunk(layout.AudioChunkId(), a.data(), static_cast<uint32_t>(a.size()), true);
    } else {
      const TelemetryRecord& t = telemetry[s.index];
      chunk.resize(4 + t.bytes.size());
      avi::WriteLe32(chunk.data(), static_cast<uint32_t>(t.time));
      std::copy(t.bytes.begin(), t.bytes.end(), chunk.begin() + 4);
      ok = writer.AddChunk(layout.TelemetryChunkId(), chunk.data(), static_cast<uint32_t>(chunk.size()), true);
    }
  }
  ok = ok && (options.cutAt >= 0 ? writer.FinishCutOff(options.cutAt) : writer.Finish());
  if (!ok) {
    error = "cannot write " + written.string();
    writer.FinishCutOff(-1);
    std::filesystem::remove(written, ec);
    return false;
  }
  return true;
}

}  // namespace simulator
