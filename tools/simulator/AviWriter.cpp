#include "tools/simulator/AviWriter.h"

#include <unistd.h>

namespace simulator {

using namespace avi;

namespace {

constexpr uint32_t kAvifHasIndex = 0x10;
constexpr uint32_t kAvifIsInterleaved = 0x100;
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatAac = 0x00FF;
constexpr uint32_t kAacFrameSamples = 1024;
constexpr uint32_t kTelemetryRate = 1000;  // text positions are in milliseconds

class Bytes {
 public:
  void U32(uint32_t v) {
    uint8_t b[4];
    WriteLe32(b, v);
    data.insert(data.end(), b, b + 4);
  }
  void U16(uint16_t v) {
    uint8_t b[2];
    WriteLe16(b, v);
    data.insert(data.end(), b, b + 2);
  }
  void Raw(const std::vector<uint8_t>& v) { data.insert(data.end(), v.begin(), v.end()); }
  // Opens a chunk or list and returns where its size goes.
  size_t Open(uint32_t id) {
    U32(id);
    U32(0);
    return data.size() - 4;
  }
  void Close(size_t sizeAt) {
    WriteLe32(&data[sizeAt], static_cast<uint32_t>(data.size() - sizeAt - 4));
    if (data.size() % 2) data.push_back(0);
  }
  std::vector<uint8_t> data;
};

void StreamHeader(Bytes& b, uint32_t type, uint32_t handler, uint32_t scale, uint32_t rate, uint32_t length,
                  uint32_t bufferSize, uint32_t sampleSize, int width, int height) {
  const size_t at = b.Open(kStrh);
  b.U32(type);
  b.U32(handler);
  b.U32(0);  // flags
  b.U16(0);  // priority
  b.U16(0);  // language
  b.U32(0);  // initial frames
  b.U32(scale);
  b.U32(rate);
  b.U32(0);  // start
  b.U32(length);
  b.U32(bufferSize);
  b.U32(0xFFFFFFFF);  // quality: default
  b.U32(sampleSize);
  b.U16(0);
  b.U16(0);
  b.U16(static_cast<uint16_t>(width));
  b.U16(static_cast<uint16_t>(height));
  b.Close(at);
}

}  // namespace

uint32_t AviLayout::VideoChunkId() const { return ChunkIdFor(0, "dc"); }
uint32_t AviLayout::AudioChunkId() const { return ChunkIdFor(1, "wb"); }
uint32_t AviLayout::TelemetryChunkId() const { return ChunkIdFor(TelemetryStream(), "tx"); }

std::vector<uint8_t> BuildAviHeader(const AviLayout& layout, const AviCounts& counts) {
  const uint32_t chunkRate = static_cast<uint32_t>(layout.cameraCount * layout.framesPerSecond);
  const uint32_t streams = layout.audio == AudioKind::None ? 2 : 3;
  Bytes b;
  b.U32(kRiff);
  b.U32(counts.riffSize);
  b.U32(kAvi);
  const size_t hdrl = b.Open(kList);
  b.U32(kHdrl);
  const size_t avih = b.Open(kAvih);
  b.U32(chunkRate ? 1000000 / chunkRate : 0);  // microseconds per chunk
  b.U32(0);                                    // max bytes per second
  b.U32(0);                                    // padding granularity
  b.U32(kAvifHasIndex | kAvifIsInterleaved);
  b.U32(counts.videoChunks);  // total frames, file offset 48
  b.U32(0);                   // initial frames
  b.U32(streams);             // file offset 56
  b.U32(counts.largestChunk);
  b.U32(static_cast<uint32_t>(layout.width));
  b.U32(static_cast<uint32_t>(layout.height));
  for (int i = 0; i < 4; ++i) b.U32(0);
  b.Close(avih);

  // Video: exactly 124 bytes, so that the next stream's type sits at offset 232.
  size_t strl = b.Open(kList);
  b.U32(kStrl);
  StreamHeader(b, kVids, kH264, 1, chunkRate, counts.videoChunks, counts.largestChunk, 0, layout.width, layout.height);
  size_t strf = b.Open(kStrf);
  b.U32(40);
  b.U32(static_cast<uint32_t>(layout.width));
  b.U32(static_cast<uint32_t>(layout.height));
  b.U16(1);   // planes
  b.U16(24);  // bits per pixel
  b.U32(kH264);
  b.U32(static_cast<uint32_t>(layout.width * layout.height * 3));
  for (int i = 0; i < 4; ++i) b.U32(0);
  b.Close(strf);
  b.Close(strl);

  if (layout.audio != AudioKind::None) {
    const bool aac = layout.audio == AudioKind::Aac;
    const uint16_t blockAlign = aac ? 1 : static_cast<uint16_t>(2 * layout.audioChannels);
    strl = b.Open(kList);
    b.U32(kStrl);
    if (aac)
      StreamHeader(b, kAuds, 0, kAacFrameSamples, layout.audioSampleRate, counts.audioUnits, 0, 0, 0, 0);
    else
      StreamHeader(b, kAuds, 0, blockAlign, layout.audioSampleRate * blockAlign, counts.audioUnits,
                   layout.audioBytesPerSecond / 10, blockAlign, 0, 0);
    strf = b.Open(kStrf);
    b.U16(aac ? kFormatAac : kFormatPcm);
    b.U16(layout.audioChannels);
    b.U32(layout.audioSampleRate);
    b.U32(layout.audioBytesPerSecond);
    b.U16(blockAlign);
    b.U16(aac ? 0 : 16);
    if (aac) {
      b.U16(static_cast<uint16_t>(layout.audioConfig.size()));
      b.Raw(layout.audioConfig);
    }
    b.Close(strf);
    b.Close(strl);
  }

  strl = b.Open(kList);
  b.U32(kStrl);
  StreamHeader(b, kTxts, 0, 1, kTelemetryRate, counts.telemetryChunks, 0, 0, 0, 0);
  b.Close(strl);
  b.Close(hdrl);
  return b.data;
}

AviWriter::~AviWriter() {
  if (file) std::fclose(file);
}

bool AviWriter::Write(const void* data, size_t size) {
  if (!file || std::fwrite(data, 1, size, file) != size) return false;
  position += static_cast<int64_t>(size);
  return true;
}

bool AviWriter::Create(const std::filesystem::path& target, const AviLayout& setup) {
  path = target;
  layout = setup;
  counts = AviCounts();
  index.clear();
  position = 0;
  file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  ioBuffer.resize(1 << 20);
  std::setvbuf(file, ioBuffer.data(), _IOFBF, ioBuffer.size());
  const std::vector<uint8_t> header = BuildAviHeader(layout, counts);
  uint8_t movi[12];
  WriteLe32(movi, kList);
  WriteLe32(movi + 4, 0);
  WriteLe32(movi + 8, kMovi);
  moviOffset = static_cast<int64_t>(header.size()) + 8;
  return Write(header.data(), header.size()) && Write(movi, sizeof movi);
}

bool AviWriter::AddChunk(uint32_t id, const void* data, uint32_t size, bool keyFrame) {
  uint8_t h[8];
  WriteLe32(h, id);
  WriteLe32(h + 4, size);
  uint8_t entry[kIndexEntrySize];
  WriteLe32(entry, id);
  WriteLe32(entry + 4, keyFrame ? kIndexKeyFrame : 0);
  WriteLe32(entry + 8, static_cast<uint32_t>(position - moviOffset));
  WriteLe32(entry + 12, size);
  index.insert(index.end(), entry, entry + kIndexEntrySize);
  const uint8_t pad = 0;
  if (!Write(h, 8) || !Write(data, size) || (size % 2 && !Write(&pad, 1))) return false;
  switch (KindOfChunkId(id)) {
    case ChunkKind::Video:
      ++counts.videoChunks;
      break;
    case ChunkKind::Audio:
      counts.audioUnits += layout.audio == AudioKind::Aac ? 1 : size / (2 * layout.audioChannels);
      break;
    case ChunkKind::Text:
      ++counts.telemetryChunks;
      break;
    case ChunkKind::Other:
      break;
  }
  if (size > counts.largestChunk) counts.largestChunk = size;
  return true;
}

bool AviWriter::Finish() {
  if (!file) return false;
  counts.moviSize = static_cast<uint32_t>(position - moviOffset);
  uint8_t h[8];
  WriteLe32(h, kIdx1);
  WriteLe32(h + 4, static_cast<uint32_t>(index.size()));
  bool ok = Write(h, 8) && Write(index.data(), index.size());
  counts.riffSize = static_cast<uint32_t>(position - 8);
  const std::vector<uint8_t> header = BuildAviHeader(layout, counts);
  uint8_t movi[8];
  WriteLe32(movi, kList);
  WriteLe32(movi + 4, counts.moviSize);
  ok = ok && std::fseek(file, 0, SEEK_SET) == 0 &&
       std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
       std::fwrite(movi, 1, sizeof movi, file) == sizeof movi;
  ok = std::fclose(file) == 0 && ok;
  file = nullptr;
  return ok;
}

bool AviWriter::FinishCutOff(int64_t cutAt) {
  if (!file) return false;
  bool ok = std::fclose(file) == 0;
  file = nullptr;
  if (ok && cutAt >= 0 && cutAt < position) ok = ::truncate(path.c_str(), cutAt) == 0;
  return ok;
}

}  // namespace simulator
