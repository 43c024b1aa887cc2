#include "tools/repair/SilentTrack.h"

#include <algorithm>

#include "sources/avi/AviFormat.h"

namespace repair {

namespace {
constexpr uint32_t kSilentScale = 2;
constexpr uint32_t kSilentRate = 44100;
constexpr uint32_t kSilentSampleRate = 22050;
constexpr uint32_t kSilentBytesPerSecond = 44100;
constexpr uint32_t kSilentBufferSize = 4410;
constexpr int64_t kMostSilentBlocks = int64_t{1} << 40;
}  // namespace

SilentTrackValues ComputeSilentTrack(uint32_t frames, uint32_t scale, uint32_t rate) {
  SilentTrackValues v;
  if (frames == 0 || rate == 0) return v;
  v.seconds = static_cast<double>(frames) * scale / rate;
  v.frameTime = static_cast<int64_t>(v.seconds * 10000 / frames);
  // A damaged header (scale 0xFFFFFFFF over rate 1) asks for more blocks than an
  // int64 holds; far fewer already make the file too large for RIFF, which the
  // rebuild then reports.
  v.blocks = static_cast<int64_t>(std::min(v.seconds * 10, static_cast<double>(kMostSilentBlocks)));
  v.length = v.blocks * kSilentSamplesPerBlock;
  return v;
}

std::vector<uint8_t> SilentStreamList(uint32_t samples) {
  std::vector<uint8_t> b(kSilentListSize, 0);
  uint8_t* p = b.data();
  using avi::WriteLe16;
  using avi::WriteLe32;
  WriteLe32(p + 0, avi::kList);
  WriteLe32(p + 4, kSilentListSize - 8);
  WriteLe32(p + 8, avi::kStrl);
  WriteLe32(p + 12, avi::kStrh);
  WriteLe32(p + 16, 56);
  uint8_t* h = p + 20;
  WriteLe32(h + 0, avi::kAuds);  // handler, flags, priority, language, initial frames: 0
  WriteLe32(h + 20, kSilentScale);
  WriteLe32(h + 24, kSilentRate);
  WriteLe32(h + 32, samples);
  WriteLe32(h + 36, kSilentBufferSize);
  WriteLe32(h + 44, 2);  // sample size; quality and frame rectangle stay 0
  WriteLe32(p + 76, avi::kStrf);
  WriteLe32(p + 80, 16);
  uint8_t* f = p + 84;
  WriteLe16(f + 0, 1);  // PCM
  WriteLe16(f + 2, 1);  // mono
  WriteLe32(f + 4, kSilentSampleRate);
  WriteLe32(f + 8, kSilentBytesPerSecond);
  WriteLe16(f + 12, 2);
  WriteLe16(f + 14, 16);
  return b;
}

}  // namespace repair
