// tarvo-tool info: a readable summary of one recording.

#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"
#include "sources/avi/RecordingInput.h"

namespace cli {

namespace {

const char kInfoHelp[] =
    "usage: tarvo-tool info FILE\n\n"
    "Prints a recording's streams, picture codec, cameras with their picture sizes and\n"
    "frame counts, frame rate, duration, sound codec, telemetry counts, whether it is\n"
    "intact or cut off and whether it carries an index (idx1, or OpenDML's, named;\n"
    "none: its chunks were found by a scan of the data). FILE may be a file on a card: CARD::/FOLDER/NAME.\n";

constexpr size_t kRecordBuffer = 1024;

const char* IndexName(avi::IndexKind kind) {
  switch (kind) {
    case avi::IndexKind::Idx1:
      return "present";
    case avi::IndexKind::OpenDml:
      return "present (OpenDML)";
    case avi::IndexKind::None:
      break;
  }
  return "none";
}

std::string StreamName(const avi::StreamInfo& s) {
  if (s.type == avi::kVids) return "video";
  if (s.type == avi::kAuds) return "audio";
  if (s.type == avi::kTxts) return "telemetry";
  return "other";
}

}  // namespace

int RunInfo(const Args& args) {
  if (WantsHelp(args)) {
    std::fputs(kInfoHelp, stdout);
    return 0;
  }
  if (args.size() != 1) {
    std::fputs("tarvo-tool info: give one FILE (see --help)\n", stderr);
    return 1;
  }
  std::string why;
  const std::unique_ptr<ByteSource> input = OpenRecordingInput(args[0], &why);
  if (!input) {
    std::fprintf(stderr, "tarvo-tool info: cannot open %s: %s\n", args[0].c_str(), why.c_str());
    return 1;
  }
  ByteSource& file = *input;
  avi::AviReader reader(file);
  if (!reader.Open()) {
    std::fprintf(stderr, "tarvo-tool info: %s is not a recording (no RIFF AVI header)\n", args[0].c_str());
    return 1;
  }
  std::printf("file: %s\n", args[0].c_str());
  std::printf("size: %lld bytes\n", static_cast<long long>(file.Size()));
  std::printf("state: %s\n", reader.IsCutOff() ? "cut-off" : "intact");
  std::printf("index: %s\n", IndexName(reader.Index()));
  std::printf("streams: %zu\n", reader.Streams().size());
  for (size_t i = 0; i < reader.Streams().size(); ++i) {
    const avi::StreamInfo& s = reader.Streams()[i];
    std::printf("  stream %zu: %s scale %u rate %u length %u\n", i, StreamName(s).c_str(), s.scale, s.rate, s.length);
  }
  if (reader.VideoStream() >= 0) {
    const avi::VideoFormat& video = reader.Video();
    std::printf("video: %s (%.4s)\n", avi::VideoCodecName(video.codec), avi::FourCcText(video.fourCc).data());
  }
  const std::vector<avi::CameraInfo>& cameras = reader.Cameras();
  std::printf("cameras: %zu\n", cameras.size());
  for (size_t i = 0; i < cameras.size(); ++i)
    std::printf("  camera %zu: %dx%d, %lld frames\n", i + 1, cameras[i].width, cameras[i].height,
                static_cast<long long>(cameras[i].frameCount));
  std::printf("frame rate: %.2f\n", reader.FrameRate());
  std::printf("duration: %.3f s\n", static_cast<double>(reader.Duration()) / avi::kTimeUnitsPerSecond);
  const avi::AudioFormat& audio = reader.Audio();
  if (reader.AudioStream() < 0) {
    std::printf("sound: none\n");
  } else {
    std::printf("sound: %s, %u Hz, %u channel%s, %zu chunks\n", avi::AudioKindName(audio.kind), audio.sampleRate,
                audio.channels, audio.channels == 1 ? "" : "s", reader.CountChunks(avi::ChunkKind::Audio));
  }
  avi::AviTelemetrySource telemetry(reader);
  size_t gps = 0, gsensor = 0, other = 0;
  char buffer[kRecordBuffer];
  for (;;) {
    int32_t size = static_cast<int32_t>(sizeof buffer), time = 0;
    if (telemetry.ReadTelemetryRecord(buffer, &size, &time) != TelemetryRecordSource::kRecordDelivered) break;
    if (size > 0 && buffer[0] == 'G')
      ++gps;
    else if (size > 0 && buffer[0] == 'M')
      ++gsensor;
    else
      ++other;
  }
  std::printf("telemetry: %zu records, %zu GPS, %zu G-sensor, %zu other\n", gps + gsensor + other, gps, gsensor, other);
  return 0;
}

}  // namespace cli
