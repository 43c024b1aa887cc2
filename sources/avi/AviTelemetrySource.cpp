#include "sources/avi/AviTelemetrySource.h"

#include <algorithm>
#include <cstring>

namespace avi {

namespace {
// A telemetry chunk: 4-byte position, then a record of a few dozen bytes.
constexpr uint32_t kMaxTelemetryChunk = 4096;
constexpr uint32_t kTimeBytes = 4;
constexpr int kBadArguments = 1;
}  // namespace

AviTelemetrySource::AviTelemetrySource(AviReader& avi) : reader(avi) {}

void AviTelemetrySource::Load() {
  loaded = true;
  const int stream = reader.TelemetryStream();
  char data[kMaxTelemetryChunk];
  for (size_t i = 0; i < reader.ChunkCount(); ++i) {
    // Chunk() would work out cameras first; the raw list is enough here.
    const ChunkEntry& c = reader.RawChunk(i);
    if (c.kind != ChunkKind::Text || (stream >= 0 && c.stream != stream)) continue;
    if (c.size <= kTimeBytes || c.size > kMaxTelemetryChunk) continue;
    if (reader.ReadChunkData(c, data, c.size) != int64_t{c.size}) continue;
    records.push_back({static_cast<int32_t>(ReadLe32(data)), std::string(data + kTimeBytes, c.size - kTimeBytes)});
  }
  std::stable_sort(records.begin(), records.end(), [](const Record& a, const Record& b) { return a.time < b.time; });
}

int AviTelemetrySource::ReadTelemetryRecord(char* buffer, int32_t* size, int32_t* recordTime) {
  if (!loaded) Load();
  if (next >= records.size()) return kEndOfRecords;
  if (!buffer || !size || !recordTime || *size < 0) return kBadArguments;
  const Record& r = records[next++];
  const size_t n = std::min(r.bytes.size(), static_cast<size_t>(*size));
  std::memcpy(buffer, r.bytes.data(), n);
  *size = static_cast<int32_t>(n);
  *recordTime = r.time;
  return kRecordDelivered;
}

}  // namespace avi
