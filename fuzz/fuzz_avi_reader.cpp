// The recording reader over any bytes: headers, index or movi scan, cameras, times,
// chunk reads and seeks, then every telemetry record through the record call into
// the samples, as the load worker reads them.

#include <cstdint>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "telemetry/LoadTelemetry.h"
#include "telemetry/TelemetrySamples.h"

namespace {
// Enough chunk reads to reach the end of a seed, few enough to keep runs fast.
constexpr size_t kMaxChunkReads = 256;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::MemoryByteSource source(data, size);
  avi::AviReader reader(source);
  if (!reader.Open()) return 0;
  reader.CameraCount();
  reader.FrameRate();
  const int64_t duration = reader.Duration();
  std::vector<uint8_t> bytes;
  const std::vector<avi::ChunkEntry>& chunks = reader.Chunks();
  for (size_t i = 0; i < chunks.size() && i < kMaxChunkReads; ++i) {
    reader.ReadChunk(chunks[i], bytes);
    uint8_t head[16];
    reader.ReadChunkData(chunks[i], head, sizeof head);
  }
  for (const int64_t time : {int64_t{-1}, int64_t{0}, duration / 2, duration, INT64_MAX}) {
    reader.Seek(time);
    for (const avi::CameraInfo& camera : reader.Cameras()) reader.SeekCamera(camera.id, time);
  }
  reader.CountChunks(avi::ChunkKind::Video);

  avi::AviTelemetrySource records(reader);
  TelemetrySamples samples;
  LoadTelemetry(&records, samples);
  double x = 0, y = 0, z = 0, speed = 0;
  float latitude = 0, longitude = 0;
  for (const int32_t position : {INT32_MIN, 0, 1000, INT32_MAX}) {
    samples.FindSpeed(position, speed, false);
    samples.FindPosition(position, latitude, longitude);
    samples.FindGValues(position, x, y, z);
  }
  return 0;
}
