// Benchmarks of the recording tools; bench/run-recording.sh runs them beside their
// peer commands and prints the ratios.
//
//   recording_bench make-big OUT MEGABYTES   a cut-off recording of real chunks, repeated
//   recording_bench rebuild IN TEMP          seconds of the decision and rebuild of a local file
//   recording_bench split IN TEMP            seconds to copy IN into the temporary files, as
//                                            a card recording is before its rebuild
//   recording_bench rebuild-only TEMP NAME   seconds of the rebuild from the temporary files
//   recording_bench telemetry-hour DIR       milliseconds to read every record of an hour
//   recording_bench read IN                  seconds to open IN and work out its chunks,
//                                            cameras and times, as the player does

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"
#include "telemetry/LoadTelemetry.h"
#include "telemetry/TelemetrySamples.h"
#include "tools/repair/AviRebuild.h"
#include "tools/repair/RecordingRebuild.h"
#include "tools/simulator/AviWriter.h"
#include "tools/simulator/Drive.h"
#include "tools/simulator/Simulator.h"
#include "tools/simulator/TelemetryTrack.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

std::tm Start() {
  std::tm t{};
  t.tm_year = 124;
  t.tm_mon = 4;
  t.tm_mday = 12;
  t.tm_hour = 8;
  t.tm_min = 30;
  return t;
}

// Two seconds of a real 1280x720 + 640x360 recording with sound, its chunks repeated
// until the file is large enough; left as a power cut leaves it.
int MakeBig(const fs::path& out, int64_t megabytes) {
  const fs::path seed = out.string() + ".seed.avi";
  simulator::RecordOptions o;
  o.cameras = 2;
  o.seconds = 2;
  o.bitrateKbps = 8000;
  o.start = Start();
  fs::path written;
  std::string error;
  if (!simulator::RecordRecording(o, seed, written, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  FileByteSource source(seed);
  avi::AviReader reader(source);
  if (!reader.Open()) return 1;
  simulator::AviLayout layout;
  layout.cameraCount = 2;
  layout.framesPerSecond = 30;
  layout.width = 1280;
  layout.height = 720;
  layout.audio = avi::AudioKind::Aac;
  layout.audioSampleRate = reader.Audio().sampleRate;
  layout.audioChannels = reader.Audio().channels;
  layout.audioBytesPerSecond = reader.Audio().bytesPerSecond;
  layout.audioConfig = reader.Audio().config;
  std::vector<std::vector<uint8_t>> data;
  for (const avi::ChunkEntry& c : reader.Chunks()) {
    data.emplace_back();
    reader.ReadChunk(c, data.back());
  }
  simulator::AviWriter writer;
  if (!writer.Create(out, layout)) return 1;
  const int64_t target = megabytes * 1024 * 1024;
  while (writer.BytesWritten() < target) {
    for (size_t i = 0; i < data.size(); ++i) {
      const avi::ChunkEntry& c = reader.RawChunk(i);
      writer.AddChunk(c.id, data[i].data(), static_cast<uint32_t>(data[i].size()), c.keyFrame);
    }
  }
  // Cut inside the last chunk, as a power loss would.
  const bool ok = writer.FinishCutOff(writer.BytesWritten() - 5);
  fs::remove(seed);
  return ok ? 0 : 1;
}

int Rebuild(const fs::path& in, const fs::path& temp) {
  FileByteSource source(in);
  const auto start = Clock::now();
  const repair::PrepareOutcome r = repair::PrepareRecording(source, in.filename().string(), temp);
  const double s = Seconds(start);
  if (r.result != repair::PrepareResult::Rebuilt) return 1;
  std::printf("%.4f\n", s);
  return 0;
}

int Split(const fs::path& in, const fs::path& temp) {
  FileByteSource source(in);
  repair::RecordingHead head;
  if (!repair::ReadRecordingHead(source, head)) return 1;
  fs::create_directories(temp);
  const std::string name = in.filename().string();
  const auto start = Clock::now();
  if (!repair::WriteTemporaryFiles(source, head, repair::TemporaryPath(temp, name, repair::kHeaderSuffix),
                                   repair::TemporaryPath(temp, name, repair::kBodySuffix)))
    return 1;
  std::printf("%.4f\n", Seconds(start));
  return 0;
}

int RebuildOnly(const fs::path& temp, const std::string& name) {
  // cp writes a new file too: freeing the old output's blocks is not part of either.
  fs::remove(repair::TemporaryPath(temp, name, repair::kRepairSuffix));
  const auto start = Clock::now();
  const repair::RebuildResult r =
      repair::RebuildRecording(repair::TemporaryPath(temp, name, repair::kRepairSuffix),
                               repair::TemporaryPath(temp, name, repair::kHeaderSuffix),
                               repair::TemporaryPath(temp, name, repair::kBodySuffix), false, 0);
  const double s = Seconds(start);
  if (r != repair::RebuildResult::Rebuilt) return 1;
  std::printf("%.4f\n", s);
  return 0;
}

// One hour, two cameras at 30 fps, sound, GPS at 1 Hz and G-sensor at 10 Hz; the
// pictures are a few bytes each, since only the chunk count matters here.
int TelemetryHour(const fs::path& dir) {
  const fs::path file = dir / "REC_hour_2.avi";
  simulator::AviLayout layout;
  layout.cameraCount = 2;
  layout.width = 1280;
  layout.height = 720;
  layout.audio = avi::AudioKind::Aac;
  layout.audioSampleRate = 22050;
  layout.audioChannels = 1;
  layout.audioConfig = {0x13, 0x88};
  simulator::AviWriter writer;
  if (!writer.Create(file, layout)) return 1;
  const simulator::Drive drive;
  const auto records = simulator::MakeTelemetry(drive, Start(), 3600);
  const uint8_t picture[8] = {0, 0, 0, 1, 0x41, 0x9a, 0x20, 0x10};
  const uint8_t sound[16] = {};
  size_t next = 0;
  std::vector<uint8_t> chunk;
  int audio = 0;
  for (int frame = 0; frame < 3600 * 30; ++frame) {
    const int32_t ms = frame * 1000 / 30;
    writer.AddChunk(layout.VideoChunkId(), picture, sizeof picture, frame % 30 == 0);
    writer.AddChunk(layout.VideoChunkId(), picture, sizeof picture, frame % 30 == 0);
    for (; audio * 1024LL * 1000 / 22050 <= ms; ++audio)
      writer.AddChunk(layout.AudioChunkId(), sound, sizeof sound, true);
    for (; next < records.size() && records[next].time <= ms; ++next) {
      chunk.resize(4 + records[next].bytes.size());
      avi::WriteLe32(chunk.data(), static_cast<uint32_t>(records[next].time));
      std::copy(records[next].bytes.begin(), records[next].bytes.end(), chunk.begin() + 4);
      writer.AddChunk(layout.TelemetryChunkId(), chunk.data(), static_cast<uint32_t>(chunk.size()), true);
    }
  }
  if (!writer.Finish()) return 1;
  double best = 1e9;
  size_t count = 0;
  for (int run = 0; run < 5; ++run) {
    const auto start = Clock::now();
    FileByteSource source(file);
    avi::AviReader reader(source);
    if (!reader.Open()) return 1;
    avi::AviTelemetrySource records2(reader);
    TelemetrySamples samples;
    LoadTelemetry(&records2, samples);
    best = std::min(best, Seconds(start));
    count = samples.gpsSamples.size() + samples.gsensorSamples.size();
  }
  std::printf("%.2f %zu %lld\n", best * 1000, count, static_cast<long long>(fs::file_size(file)));
  fs::remove(file);
  return 0;
}

// What the player does before its first picture: open, chunk list, cameras, times.
int Read(const fs::path& in) {
  const auto start = Clock::now();
  FileByteSource source(in);
  avi::AviReader reader(source);
  if (!reader.Open() || reader.Chunks().empty() || reader.CameraCount() == 0) return 1;
  std::printf("%.4f\n", Seconds(start));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "make-big" && argc == 4) return MakeBig(argv[2], std::atoll(argv[3]));
  if (mode == "rebuild" && argc == 4) return Rebuild(argv[2], argv[3]);
  if (mode == "split" && argc == 4) return Split(argv[2], argv[3]);
  if (mode == "rebuild-only" && argc == 4) return RebuildOnly(argv[2], argv[3]);
  if (mode == "telemetry-hour" && argc == 3) return TelemetryHour(argv[2]);
  if (mode == "read" && argc == 3) return Read(argv[2]);
  std::fputs(
      "usage: recording_bench make-big OUT MB | rebuild IN TEMP | split IN TEMP | rebuild-only TEMP NAME | "
      "telemetry-hour DIR | read IN\n",
      stderr);
  return 2;
}
