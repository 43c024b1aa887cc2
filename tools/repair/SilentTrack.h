#pragma once
// The silent sound track given to recordings made without sound: its stream list,
// its blocks of 0.1 s and the per-file values that place them.

#include <cstdint>
#include <vector>

namespace repair {

constexpr uint32_t kSilentListSize = 100;         // "LIST" + 92
constexpr uint32_t kSilentBlockData = 4410;       // 2205 samples of 16 bits
constexpr uint32_t kSilentBlockSize = 4418;       // with its chunk header
constexpr uint32_t kSilentBlockWithIndex = 4434;  // and its index entry
constexpr uint32_t kSilentSamplesPerBlock = 2205;
constexpr int64_t kAudioClockStep = 1000;  // 0.1 s in units of 0.1 ms

struct SilentTrackValues {
  double seconds = 0;     // t = F x scale / rate
  int64_t frameTime = 0;  // D = trunc(t x 10000 / F), 0.1 ms
  int64_t blocks = 0;     // K = trunc(t x 10)
  int64_t length = 0;     // L = K x 2205 samples
};

// F = the video frame count; scale and rate from the video stream header.
SilentTrackValues ComputeSilentTrack(uint32_t frames, uint32_t scale, uint32_t rate);

// The 100-byte audio stream list with its length set to samples.
std::vector<uint8_t> SilentStreamList(uint32_t samples);

// Keeps the audio clock of the insertion: every video chunk adds D; after a chunk one
// block is due when fewer than K were written and the clock has reached 1000.
class AudioClock {
 public:
  explicit AudioClock(const SilentTrackValues& track) : values(track) {}
  void AddVideoFrame() { clock += values.frameTime; }
  // True (and the block counted) when a block is due after the current chunk.
  bool TakeDueBlock() {
    if (written >= values.blocks || clock < kAudioClockStep) return false;
    clock -= kAudioClockStep;
    ++written;
    return true;
  }
  int64_t Missing() const { return values.blocks - written; }
  void CountAppended(int64_t n) { written += n; }

 private:
  SilentTrackValues values;
  int64_t clock = 0;
  int64_t written = 0;
};

}  // namespace repair
