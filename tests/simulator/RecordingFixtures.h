#pragma once
// Shared by the recording suites: simulator recordings, a walk over a file's chunks
// and a real GStreamer decode.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/simulator/Simulator.h"

namespace fixtures {

// The camera's clock on the suites' recording day, 2024-05-12, at the given time.
std::tm CameraClock(int hour, int minute, int second);

// Small, fast recordings: 160x90 pictures, low bit rate.
simulator::RecordOptions SmallOptions(int cameras, double seconds, avi::AudioKind audio);
// Records or fails the current test.
std::filesystem::path Record(const simulator::RecordOptions& options, const std::filesystem::path& out);

struct WalkedChunk {
  uint32_t id;
  int64_t offset;  // of the chunk header, from the file start
  uint32_t size;
};
// Chunks of the movi list found by walking it from its header (sizes as declared).
std::vector<WalkedChunk> WalkMovi(const std::vector<uint8_t>& file);

struct IndexEntry {
  uint32_t id, flags, offset, size;
};
std::vector<IndexEntry> ReadIndex(const std::vector<uint8_t>& file);

// Frames decoded by GStreamer (avidemux, h264parse, avdec_h264) from the first video
// stream; -1 when the pipeline reports an error.
int DecodeFrames(const std::filesystem::path& path);

// Frames GStreamer decodes from one camera's chunks, fed through the reader
// (appsrc, h264parse, avdec_h264); -1 when the pipeline reports an error.
int DecodeCameraFrames(const std::filesystem::path& path, int cameraId);

std::string FourCcString(uint32_t id);

}  // namespace fixtures
