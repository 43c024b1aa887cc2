#include "sources/avi/AviReader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <set>

#include "sources/avi/H264Bits.h"

namespace avi {

namespace {

// Small enough that walking past large video chunks reads little more than their
// heads, large enough to take in runs of small sound and text chunks at once.
constexpr int64_t kCacheSize = 8 * 1024;
// Headers of our recordings are a few hundred bytes; anything far larger is damage.
constexpr uint32_t kMaxHeaderList = 1 << 20;
constexpr size_t kIndexPiece = 1 << 20;
// Enough of a video chunk for its first parameter set or slice header.
constexpr int64_t kVideoPrefix = 64;
// Enough of a key frame for its SPS.
constexpr int64_t kSpsPrefix = 1024;
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatAac = 0x00FF;
constexpr size_t kWaveFormatSize = 16;
constexpr size_t kWaveFormatExSize = 18;

// A time worked out from a damaged header's scale and rate may not fit: it is held
// at the largest one rather than overflowing.
int64_t ClampedTime(long double time) {
  constexpr auto kLongest = static_cast<long double>(std::numeric_limits<int64_t>::max());
  if (!(time > 0)) return 0;
  return time >= kLongest ? std::numeric_limits<int64_t>::max() : static_cast<int64_t>(time);
}

bool IsVideoKeyNal(const uint8_t* data, int64_t n) {
  if (n < 5) return false;
  const int type = data[4] & 0x1f;
  return type == h264::kNalIdr || type == h264::kNalSps;
}

}  // namespace

AviReader::AviReader(ByteSource& byteSource) : source(byteSource) {}

int64_t AviReader::ReadCached(int64_t offset, void* buffer, int64_t count) {
  if (offset < 0 || count < 0) return -1;
  if (count > kCacheSize) return source.ReadAt(offset, buffer, count);
  if (offset < cacheOffset || offset + count > cacheOffset + cacheLength) {
    if (offset >= sourceSize) return 0;
    cache.resize(kCacheSize);
    const int64_t n = source.ReadAt(offset, cache.data(), kCacheSize);
    if (n < 0) {
      cacheLength = 0;
      return -1;
    }
    cacheOffset = offset;
    cacheLength = n;
  }
  const int64_t available = std::min(count, cacheOffset + cacheLength - offset);
  if (available <= 0) return 0;
  std::memcpy(buffer, cache.data() + (offset - cacheOffset), static_cast<size_t>(available));
  return available;
}

bool AviReader::Open() {
  opened = resolved = indexUsed = false;
  riffSize = moviSize = totalFrames = streamCount = 0;
  moviOffset = 0;
  streams.clear();
  videoStream = audioStream = telemetryStream = -1;
  audio = AudioFormat();
  cameras.clear();
  chunks.clear();
  cacheOffset = cacheLength = 0;
  sourceSize = source.Size();
  if (sourceSize < 12) return false;
  uint8_t head[12];
  if (ReadCached(0, head, 12) != 12) return false;
  if (ReadLe32(head) != kRiff || ReadLe32(head + 8) != kAvi) return false;
  riffSize = ReadLe32(head + 4);

  // Top level: hdrl, movi and idx1, possibly with JUNK between them.
  int64_t pos = 12;
  bool haveHeader = false;
  int64_t moviEnd = 0;
  int64_t idxOffset = -1;
  uint32_t idxSize = 0;
  while (pos + 8 <= sourceSize) {
    uint8_t h[12];
    const int64_t n = ReadCached(pos, h, 12);
    if (n < 8) break;
    const uint32_t id = ReadLe32(h);
    const uint32_t size = ReadLe32(h + 4);
    if (id == kList && n == 12 && ReadLe32(h + 8) == kHdrl && !haveHeader) {
      if (!ReadHeaderList(pos + 12, size < 4 ? 0 : size - 4)) return false;
      haveHeader = true;
    } else if (id == kList && n == 12 && ReadLe32(h + 8) == kMovi) {
      moviOffset = pos + 8;
      moviSize = size;
      // A movi size left at 0, or one running past the end, means the recording was
      // cut off: its chunks run to the end of what was written.
      if (size < 4 || moviOffset + size > sourceSize) {
        moviEnd = sourceSize;
        break;
      }
      moviEnd = moviOffset + size;
    } else if (id == kIdx1) {
      if (pos + 8 + int64_t{size} <= sourceSize) {
        idxOffset = pos + 8;
        idxSize = size;
      }
    } else if (id != kJunk && id != kList) {
      break;
    }
    if (moviOffset > 0 && id == kList && pos + 8 == moviOffset) {
      pos = moviEnd + (moviEnd & 1);
      continue;
    }
    pos += 8 + int64_t{size} + (size & 1);
  }
  if (!haveHeader) return false;
  if (moviOffset > 0) {
    if (idxOffset < 0 || !ReadIndex(idxOffset, idxSize, moviEnd)) ScanMovi(moviOffset + 4, moviEnd);
  }
  opened = true;
  return true;
}

bool AviReader::ReadHeaderList(int64_t offset, uint32_t size) {
  if (size > kMaxHeaderList || offset + int64_t{size} > sourceSize) return false;
  std::vector<uint8_t> hdrl(size);
  if (size > 0 && source.ReadAt(offset, hdrl.data(), size) != int64_t{size}) return false;
  size_t pos = 0;
  while (pos + 8 <= hdrl.size()) {
    const uint32_t id = ReadLe32(&hdrl[pos]);
    const uint32_t len = ReadLe32(&hdrl[pos + 4]);
    if (len > hdrl.size() - pos - 8) break;
    const uint8_t* body = &hdrl[pos + 8];
    if (id == kAvih && len >= kMainHeaderSize) {
      totalFrames = ReadLe32(body + 16);
      streamCount = ReadLe32(body + 24);
    } else if (id == kList && len >= 4 && ReadLe32(body) == kStrl) {
      ParseStreamList(body + 4, len - 4);
    }
    pos += 8 + size_t{len} + (len & 1);
  }
  return true;
}

void AviReader::ParseStreamList(const uint8_t* data, size_t size) {
  StreamInfo s;
  size_t pos = 0;
  while (pos + 8 <= size) {
    const uint32_t id = ReadLe32(data + pos);
    const uint32_t len = ReadLe32(data + pos + 4);
    if (len > size - pos - 8) break;
    const uint8_t* body = data + pos + 8;
    if (id == kStrh && len >= kStrhSize) {
      s.type = ReadLe32(body + kStrhType);
      s.handler = ReadLe32(body + kStrhHandler);
      s.scale = ReadLe32(body + kStrhScale);
      s.rate = ReadLe32(body + kStrhRate);
      s.start = ReadLe32(body + 28);
      s.length = ReadLe32(body + kStrhLength);
      s.suggestedBufferSize = ReadLe32(body + kStrhSuggestedBuffer);
      s.sampleSize = ReadLe32(body + kStrhSampleSize);
    } else if (id == kStrf) {
      s.format.assign(body, body + len);
    }
    pos += 8 + size_t{len} + (len & 1);
  }
  const int number = static_cast<int>(streams.size());
  if (s.type == kVids && videoStream < 0) videoStream = number;
  if (s.type == kTxts && telemetryStream < 0) telemetryStream = number;
  if (s.type == kAuds && audioStream < 0 && s.format.size() >= kWaveFormatSize) {
    audioStream = number;
    const uint8_t* f = s.format.data();
    audio.formatTag = ReadLe16(f);
    audio.channels = ReadLe16(f + 2);
    audio.sampleRate = ReadLe32(f + 4);
    audio.bytesPerSecond = ReadLe32(f + 8);
    audio.blockAlign = ReadLe16(f + 12);
    audio.bitsPerSample = ReadLe16(f + 14);
    audio.kind = audio.formatTag == kFormatPcm   ? AudioKind::Pcm
                 : audio.formatTag == kFormatAac ? AudioKind::Aac
                                                 : AudioKind::None;
    if (s.format.size() >= kWaveFormatExSize) {
      const size_t extra = std::min<size_t>(ReadLe16(f + 16), s.format.size() - kWaveFormatExSize);
      audio.config.assign(f + kWaveFormatExSize, f + kWaveFormatExSize + extra);
    }
  }
  streams.push_back(std::move(s));
}

bool AviReader::ReadIndex(int64_t offset, uint32_t size, int64_t moviEnd) {
  if (size < kIndexEntrySize) return false;
  const size_t count = size / kIndexEntrySize;
  std::vector<ChunkEntry> list;
  list.reserve(count);
  std::vector<uint8_t> piece;
  // Offsets count from the "movi" code; some writers use file offsets instead.
  int64_t base = moviOffset;
  for (size_t first = 0; first < count;) {
    const size_t n = std::min(count - first, kIndexPiece / kIndexEntrySize);
    piece.resize(n * kIndexEntrySize);
    const int64_t want = static_cast<int64_t>(piece.size());
    if (source.ReadAt(offset + static_cast<int64_t>(first * kIndexEntrySize), piece.data(), want) != want) return false;
    for (size_t i = 0; i < n; ++i) {
      const uint8_t* e = &piece[i * kIndexEntrySize];
      ChunkEntry c;
      c.id = ReadLe32(e);
      const uint32_t flags = ReadLe32(e + 4);
      const int64_t rel = ReadLe32(e + 8);
      c.size = ReadLe32(e + 12);
      if (first == 0 && i == 0 && rel >= moviOffset) base = 0;
      c.offset = base + rel + 8;
      if (c.offset - 8 < moviOffset + 4 || c.offset + int64_t{c.size} > moviEnd) continue;
      c.kind = KindOfChunkId(c.id);
      c.stream = StreamOfChunkId(c.id);
      c.keyFrame = (flags & kIndexKeyFrame) != 0;
      list.push_back(c);
    }
    first += n;
  }
  if (list.empty()) return false;
  chunks = std::move(list);
  indexUsed = true;
  return true;
}

void AviReader::ScanMovi(int64_t begin, int64_t end) {
  int64_t pos = begin;
  uint8_t h[8 + 5];
  while (pos + 8 <= end) {
    const int64_t n = ReadCached(pos, h, sizeof h);
    if (n < 8) break;
    ChunkEntry c;
    c.id = ReadLe32(h);
    c.size = ReadLe32(h + 4);
    c.offset = pos + 8;
    if (c.size > end - c.offset) break;  // cut off inside this chunk
    c.kind = KindOfChunkId(c.id);
    if (c.kind == ChunkKind::Other) {
      if (c.id != kJunk) break;  // not a chunk: damage, stop with what was read
    } else {
      c.stream = StreamOfChunkId(c.id);
      c.keyFrame = c.kind != ChunkKind::Video || IsVideoKeyNal(h + 8, n - 8);
      chunks.push_back(c);
    }
    pos = c.offset + int64_t{c.size} + (c.size & 1);
  }
}

void AviReader::ResolveChunks() {
  if (resolved) return;
  resolved = true;
  // Cameras: parameter-set ids of the video chunks; the channel count comes from the
  // first key-frame group (the ids up to the first repeated one).
  std::set<int> firstGroup;
  bool groupDone = false;
  uint8_t prefix[kVideoPrefix];
  for (ChunkEntry& c : chunks) {
    if (c.kind != ChunkKind::Video || (videoStream >= 0 && c.stream != videoStream)) continue;
    const int64_t n = ReadCached(c.offset, prefix, std::min<int64_t>(c.size, kVideoPrefix));
    const int id = n > 0 ? h264::ParameterSetIdOf(prefix, static_cast<size_t>(n)) : -1;
    c.camera = id < 0 ? 0 : id;
    if (!groupDone) {
      if (!c.keyFrame || firstGroup.count(c.camera))
        groupDone = true;
      else
        firstGroup.insert(c.camera);
    }
  }
  for (const int id : firstGroup) {
    CameraInfo info;
    info.id = id;
    cameras.push_back(info);
  }
  const int64_t frame = FrameDuration();
  std::map<int, int64_t> frames;  // per camera id, chunks seen so far
  std::map<int, int64_t> audioUnits;
  const StreamInfo* audioInfo = audioStream >= 0 ? &streams[audioStream] : nullptr;
  for (ChunkEntry& c : chunks) {
    if (c.kind == ChunkKind::Video && c.camera >= 0) {
      int64_t& k = frames[c.camera];
      c.time = ClampedTime(static_cast<long double>(k) * frame);
      ++k;
    } else if (c.kind == ChunkKind::Audio && audioInfo && c.stream == audioStream && audioInfo->rate > 0) {
      int64_t& units = audioUnits[c.stream];
      c.time = ClampedTime(static_cast<long double>(units) * audioInfo->scale * kTimeUnitsPerSecond / audioInfo->rate);
      units += audioInfo->sampleSize ? c.size / audioInfo->sampleSize : 1;
    } else if (c.kind == ChunkKind::Text && c.size >= 4) {
      uint8_t t[4];
      if (ReadCached(c.offset, t, 4) == 4)
        c.time = int64_t{static_cast<int32_t>(ReadLe32(t))} * (kTimeUnitsPerSecond / 1000);
    }
  }
  for (CameraInfo& cam : cameras) {
    cam.frameCount = frames[cam.id];
    // Picture size from the SPS of the camera's first key frame.
    for (const ChunkEntry& c : chunks) {
      if (c.kind != ChunkKind::Video || c.camera != cam.id || !c.keyFrame) continue;
      std::vector<uint8_t> head(static_cast<size_t>(std::min<int64_t>(c.size, kSpsPrefix)));
      const int64_t n = ReadCached(c.offset, head.data(), static_cast<int64_t>(head.size()));
      if (n <= 0) break;
      for (const h264::NalSpan& nal : h264::SplitAnnexB(head.data(), static_cast<size_t>(n)))
        if (nal.type == h264::kNalSps &&
            h264::ParseSpsPictureSize(&head[nal.begin], nal.end - nal.begin, cam.width, cam.height))
          break;
      break;
    }
    if (cam.width == 0 && videoStream >= 0 && streams[videoStream].format.size() >= 12) {
      const uint8_t* f = streams[videoStream].format.data();
      cam.width = static_cast<int>(ReadLe32(f + 4));
      cam.height = static_cast<int>(ReadLe32(f + 8));
    }
  }
}

const std::vector<CameraInfo>& AviReader::Cameras() {
  ResolveChunks();
  return cameras;
}

double AviReader::FrameRate() {
  if (videoStream < 0) return 0;
  const StreamInfo& v = streams[videoStream];
  const size_t count = std::max<size_t>(1, Cameras().size());
  if (v.scale == 0 || v.rate == 0) return 0;
  return static_cast<double>(v.rate) / v.scale / static_cast<double>(count);
}

int64_t AviReader::FrameDuration() {
  if (videoStream < 0) return 0;
  const StreamInfo& v = streams[videoStream];
  if (v.scale == 0 || v.rate == 0) return 0;
  const int64_t count = std::max<int64_t>(1, static_cast<int64_t>(cameras.size()));
  return static_cast<int64_t>(static_cast<long double>(v.scale) * count * kTimeUnitsPerSecond / v.rate);
}

int64_t AviReader::Duration() {
  int64_t longest = 0;
  for (const CameraInfo& c : Cameras()) longest = std::max(longest, c.frameCount);
  return ClampedTime(static_cast<long double>(longest) * FrameDuration());
}

const ChunkEntry& AviReader::Chunk(size_t index) {
  ResolveChunks();
  return chunks.at(index);
}

const std::vector<ChunkEntry>& AviReader::Chunks() {
  ResolveChunks();
  return chunks;
}

size_t AviReader::CountChunks(ChunkKind kind) const {
  return static_cast<size_t>(
      std::count_if(chunks.begin(), chunks.end(), [kind](const ChunkEntry& c) { return c.kind == kind; }));
}

int64_t AviReader::ReadChunkData(const ChunkEntry& chunk, void* buffer, int64_t capacity) {
  const int64_t want = std::min<int64_t>(capacity, chunk.size);
  if (want < 0 || chunk.offset + want > sourceSize) return -1;
  return ReadCached(chunk.offset, buffer, want);
}

bool AviReader::ReadChunk(const ChunkEntry& chunk, std::vector<uint8_t>& data) {
  data.resize(chunk.size);
  if (chunk.size == 0) return true;
  if (ReadChunkData(chunk, data.data(), chunk.size) == int64_t{chunk.size}) return true;
  data.clear();
  return false;
}

size_t AviReader::SeekCamera(int cameraId, int64_t time) {
  ResolveChunks();
  size_t found = chunks.size();
  for (size_t i = 0; i < chunks.size(); ++i) {
    const ChunkEntry& c = chunks[i];
    if (c.kind != ChunkKind::Video || c.camera != cameraId || !c.keyFrame) continue;
    if (c.time > time) {
      if (found == chunks.size()) found = i;
      break;
    }
    found = i;
  }
  return found;
}

size_t AviReader::Seek(int64_t time) {
  ResolveChunks();
  size_t start = chunks.size();
  for (const CameraInfo& cam : cameras) start = std::min(start, SeekCamera(cam.id, time));
  if (cameras.empty() && !chunks.empty()) {
    // No pictures: start with the first chunk at or after the time.
    for (size_t i = 0; i < chunks.size(); ++i)
      if (chunks[i].time >= time) return i;
  }
  return start;
}

}  // namespace avi
