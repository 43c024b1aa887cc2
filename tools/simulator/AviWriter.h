#pragma once
// Writes a recording the way the dashcam does: the header first with its counts at
// zero, then the chunks as they come, and at a clean close the index and the final
// counts. A recording left without that close is what a power cut leaves behind.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "sources/avi/AviReader.h"

namespace simulator {

struct AviLayout {
  int cameraCount = 1;
  int framesPerSecond = 30;
  int width = 0;  // camera 1's picture
  int height = 0;
  avi::AudioKind audio = avi::AudioKind::None;
  uint32_t audioSampleRate = 0;
  uint16_t audioChannels = 1;
  uint32_t audioBytesPerSecond = 0;
  std::vector<uint8_t> audioConfig;  // AAC AudioSpecificConfig

  int AudioStream() const { return audio == avi::AudioKind::None ? -1 : 1; }
  int TelemetryStream() const { return audio == avi::AudioKind::None ? 1 : 2; }
  uint32_t VideoChunkId() const;
  uint32_t AudioChunkId() const;
  uint32_t TelemetryChunkId() const;
};

struct AviCounts {
  uint32_t videoChunks = 0;
  uint32_t audioUnits = 0;  // AAC frames, or PCM samples
  uint32_t telemetryChunks = 0;
  uint32_t riffSize = 0;
  uint32_t moviSize = 0;
  uint32_t largestChunk = 0;
};

// The hdrl list and everything before it, for the given counts.
std::vector<uint8_t> BuildAviHeader(const AviLayout& layout, const AviCounts& counts);

class AviWriter {
 public:
  AviWriter() = default;
  ~AviWriter();
  AviWriter(const AviWriter&) = delete;
  AviWriter& operator=(const AviWriter&) = delete;

  bool Create(const std::filesystem::path& path, const AviLayout& layout);
  bool AddChunk(uint32_t id, const void* data, uint32_t size, bool keyFrame);
  // A clean close: the index, then the header with its final counts.
  bool Finish();
  // The power cut: no index, counts and sizes left at 0; the file is cut at cutAt
  // bytes when that is shorter than what was written.
  bool FinishCutOff(int64_t cutAt);
  int64_t BytesWritten() const { return position; }

 private:
  bool Write(const void* data, size_t size);

  std::FILE* file = nullptr;
  std::filesystem::path path;
  AviLayout layout;
  AviCounts counts;
  int64_t position = 0;
  int64_t moviOffset = 0;  // file offset of the "movi" four-character code
  std::vector<uint8_t> index;
  std::vector<char> ioBuffer;
};

}  // namespace simulator
