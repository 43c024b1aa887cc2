#include "sources/avi/AviReader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <set>

#include "sources/avi/ChunkWalker.h"
#include "sources/avi/H264Bits.h"
#include "sources/avi/OdmlIndex.h"

namespace avi {

namespace {

// Small enough that walking past large video chunks reads little more than their
// heads, large enough to take in runs of small sound and text chunks at once.
constexpr int64_t kCacheSize = 8 * 1024;
// Header lists are a few hundred bytes (a few KB with OpenDML's reserved room);
// anything far larger is damage.
constexpr uint32_t kMaxHeaderList = 1 << 20;
constexpr size_t kIndexPiece = 1 << 20;
// Enough of a video chunk for its first parameter set or slice header.
constexpr int64_t kVideoPrefix = 64;
// Enough of a key frame for its SPS.
constexpr int64_t kSpsPrefix = 1024;
constexpr size_t kWaveFormatSize = 16;
constexpr size_t kWaveFormatExSize = 18;
constexpr size_t kExtensibleSubFormat = 24;  // the sub-format GUID's first two bytes
constexpr size_t kBitmapInfoSize = 40;
constexpr size_t kCompressionOffset = 16;

// A time worked out from a damaged header's scale and rate may not fit: it is held
// at the largest one rather than overflowing.
int64_t ClampedTime(long double time) {
  constexpr auto kLongest = static_cast<long double>(std::numeric_limits<int64_t>::max());
  if (!(time > 0)) return 0;
  return time >= kLongest ? std::numeric_limits<int64_t>::max() : static_cast<int64_t>(time);
}

}  // namespace

AviReader::AviReader(ByteSource& byteSource) : source(byteSource), window(byteSource, kCacheSize) {}

bool AviReader::OpenHeaders() {
  if (!Open(false)) return false;
  // Not opened: chunk and camera lookups need the full Open.
  opened = false;
  return true;
}

int64_t AviReader::HeaderDuration() const {
  if (videoStream < 0) return 0;
  const StreamInfo& v = streams[videoStream];
  if (v.rate == 0) return 0;
  return ClampedTime(static_cast<long double>(v.length) * v.scale * kTimeUnitsPerSecond / v.rate);
}

bool AviReader::Open() { return Open(true); }

bool AviReader::Open(bool withChunks) {
  opened = resolved = cutOff = false;
  layout = RiffLayout();
  totalFrames = streamCount = 0;
  moviOffset = 0;
  indexKind = IndexKind::None;
  streams.clear();
  videoStream = audioStream = telemetryStream = -1;
  audio = AudioFormat();
  video = VideoFormat();
  cameras.clear();
  chunks.clear();
  window.Reset();
  sourceSize = source.Size();
  if (!WalkRiff(source, layout) || layout.headerList < 0) return false;
  if (!ReadHeaderList(layout.headerList, layout.headerListSize)) return false;
  bool superIndex = false;
  for (const StreamInfo& s : streams) superIndex = superIndex || !s.superIndex.empty();
  cutOff = avi::IsCutOff(layout, superIndex);
  if (withChunks && !layout.movi.empty()) {
    moviOffset = layout.movi.front().code;
    // OpenDML's indexes cover every form; idx1 only the first.
    if (superIndex && ReadOdmlIndexes())
      indexKind = IndexKind::OpenDml;
    else if (layout.idx1 >= 0 && ReadIdx1(layout.idx1, layout.idx1Size, layout.movi.front()))
      indexKind = IndexKind::Idx1;
    ScanUncovered();
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
    } else if (id == kIndx) {
      s.superIndex.assign(body, body + len);
    }
    pos += 8 + size_t{len} + (len & 1);
  }
  const int number = static_cast<int>(streams.size());
  if (s.type == kVids && s.format.size() >= kCompressionOffset + 4)
    s.compression = ReadLe32(&s.format[kCompressionOffset]);
  if (s.type == kVids && videoStream < 0) {
    videoStream = number;
    video.codec = VideoCodecOf(s.handler, s.compression);
    video.fourCc = s.compression != 0 ? s.compression : s.handler;
    if (s.format.size() > kBitmapInfoSize) video.config.assign(s.format.begin() + kBitmapInfoSize, s.format.end());
  }
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
    const uint16_t subFormat = s.format.size() >= kExtensibleSubFormat + 2 ? ReadLe16(f + kExtensibleSubFormat) : 0;
    audio.kind = AudioKindOf(audio.formatTag, subFormat);
    if (s.format.size() >= kWaveFormatExSize) {
      const size_t extra = std::min<size_t>(ReadLe16(f + 16), s.format.size() - kWaveFormatExSize);
      audio.config.assign(f + kWaveFormatExSize, f + kWaveFormatExSize + extra);
    }
  }
  streams.push_back(std::move(s));
}

void AviReader::AddChunk(uint32_t id, int64_t offset, uint32_t size, bool keyFrame) {
  ChunkEntry c;
  c.id = id;
  c.offset = offset;
  c.size = size;
  c.kind = KindOfChunkId(id);
  c.stream = StreamOfChunkId(id);
  c.keyFrame = keyFrame;
  chunks.push_back(c);
}

bool AviReader::ReadIdx1(int64_t offset, uint32_t size, const MoviRegion& movi) {
  if (size < kIndexEntrySize) return false;
  const size_t count = size / kIndexEntrySize;
  std::vector<uint8_t> piece;
  // Offsets count from the "movi" code; some writers use file offsets instead.
  int64_t base = moviOffset;
  for (size_t first = 0; first < count;) {
    const size_t n = std::min(count - first, kIndexPiece / kIndexEntrySize);
    piece.resize(n * kIndexEntrySize);
    const int64_t want = static_cast<int64_t>(piece.size());
    if (source.ReadAt(offset + static_cast<int64_t>(first * kIndexEntrySize), piece.data(), want) != want) break;
    for (size_t i = 0; i < n; ++i) {
      const uint8_t* e = &piece[i * kIndexEntrySize];
      const uint32_t id = ReadLe32(e);
      const int64_t rel = ReadLe32(e + 8);
      const uint32_t length = ReadLe32(e + 12);
      if (first == 0 && i == 0 && rel >= moviOffset) base = 0;
      const int64_t data = base + rel + 8;
      // Lists ('rec ') and anything else that is no stream chunk are not played.
      if (!IsStreamChunkId(id) || data - 8 < movi.code + 4 || data + int64_t{length} > movi.end) continue;
      AddChunk(id, data, length, (ReadLe32(e + 4) & kIndexKeyFrame) != 0);
    }
    first += n;
  }
  return !chunks.empty();
}

bool AviReader::ReadOdmlIndexes() {
  std::vector<OdmlEntry> entries;
  for (const StreamInfo& s : streams)
    if (!s.superIndex.empty()) ReadOdmlIndex(source, s.superIndex.data(), s.superIndex.size(), sourceSize, entries);
  for (const OdmlEntry& e : entries)
    if (IsStreamChunkId(e.id)) AddChunk(e.id, e.offset, e.size, e.keyFrame);
  if (chunks.empty()) return false;
  // Each stream's index is in file order; together they are interleaved again.
  std::stable_sort(chunks.begin(), chunks.end(),
                   [](const ChunkEntry& a, const ChunkEntry& b) { return a.offset < b.offset; });
  return true;
}

// Chunks no index covers: all of a cut-off recording's, and those of the movi lists
// (or their ends) written after the index.
void AviReader::ScanUncovered() {
  const VideoCodec codec = video.codec;
  const size_t indexed = chunks.size();
  for (const MoviRegion& region : layout.movi) {
    int64_t from = region.code + 4;
    // Indexed chunks are in file order: those of this region end at the last one's end.
    for (size_t i = 0; i < indexed; ++i) {
      const ChunkEntry& c = chunks[i];
      if (c.offset - 8 >= region.code && c.offset <= region.end)
        from = std::max(from, c.offset + int64_t{c.size} + (c.size & 1));
    }
    ChunkWalker walk(window, from, region.end);
    FoundChunk found;
    while (walk.Next(found)) {
      const ChunkKind kind = KindOfChunkId(found.id);
      const int stream = StreamOfChunkId(found.id);
      const bool picture = kind == ChunkKind::Video && (videoStream < 0 || stream == videoStream);
      AddChunk(found.id, found.offset, found.size, !picture || IsKeyFrame(codec, window, found.offset, found.size));
    }
    // A region whose list size was not to be trusted ran to the end of the file, and
    // with it through any forms that follow.
    if (region.end >= sourceSize) break;
  }
  if (chunks.size() > indexed && indexed > 0)
    std::stable_sort(chunks.begin(), chunks.end(),
                     [](const ChunkEntry& a, const ChunkEntry& b) { return a.offset < b.offset; });
}

void AviReader::ResolveChunks() {
  if (resolved) return;
  resolved = true;
  // Cameras: in the camera's own layout (which carries telemetry) the parameter-set
  // ids of the H.264 video chunks; any other file's pictures are one camera. The
  // channel count comes from the first key-frame group (the ids up to the first
  // repeated one; pictures before the first key frame cannot be shown).
  const bool isH264 = video.codec == VideoCodec::H264 || video.codec == VideoCodec::None;
  const bool cameraIds = isH264 && telemetryStream >= 0;
  std::set<int> firstGroup;
  bool groupDone = false;
  uint8_t prefix[kVideoPrefix];
  for (ChunkEntry& c : chunks) {
    if (c.kind != ChunkKind::Video || (videoStream >= 0 && c.stream != videoStream)) continue;
    int id = -1;
    if (cameraIds) {
      const int64_t n = window.Read(c.offset, prefix, std::min<int64_t>(c.size, kVideoPrefix));
      id = n > 0 ? h264::ParameterSetIdOf(prefix, static_cast<size_t>(n)) : -1;
    }
    c.camera = id < 0 ? 0 : id;
    if (!groupDone && c.keyFrame) {
      if (firstGroup.count(c.camera))
        groupDone = true;
      else
        firstGroup.insert(c.camera);
    } else if (!groupDone && !firstGroup.empty()) {
      groupDone = true;
    }
  }
  for (const int id : firstGroup) {
    CameraInfo info;
    info.id = id;
    cameras.push_back(info);
  }
  std::map<int, int64_t> frames;  // per camera id, chunks seen so far
  std::map<int, int64_t> audioUnits;
  const StreamInfo* audioInfo = audioStream >= 0 ? &streams[audioStream] : nullptr;
  for (ChunkEntry& c : chunks) {
    if (c.kind == ChunkKind::Video && c.camera >= 0) {
      int64_t& k = frames[c.camera];
      c.time = FramesLength(k);
      ++k;
    } else if (c.kind == ChunkKind::Audio && audioInfo && c.stream == audioStream && audioInfo->rate > 0) {
      int64_t& units = audioUnits[c.stream];
      c.time = ClampedTime(static_cast<long double>(units) * audioInfo->scale * kTimeUnitsPerSecond / audioInfo->rate);
      units += audioInfo->sampleSize ? c.size / audioInfo->sampleSize : 1;
    } else if (c.kind == ChunkKind::Text && c.size >= 4) {
      uint8_t t[4];
      if (window.Read(c.offset, t, 4) == 4)
        c.time = int64_t{static_cast<int32_t>(ReadLe32(t))} * (kTimeUnitsPerSecond / 1000);
    }
  }
  for (CameraInfo& cam : cameras) {
    cam.frameCount = frames[cam.id];
    // Picture size from the SPS of the camera's first key frame.
    for (const ChunkEntry& c : chunks) {
      if (!isH264) break;
      if (c.kind != ChunkKind::Video || c.camera != cam.id || !c.keyFrame) continue;
      std::vector<uint8_t> head(static_cast<size_t>(std::min<int64_t>(c.size, kSpsPrefix)));
      const int64_t n = window.Read(c.offset, head.data(), static_cast<int64_t>(head.size()));
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
      // A negative height is a picture stored top-down.
      cam.height = std::abs(static_cast<int>(static_cast<int32_t>(ReadLe32(f + 8))));
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

int64_t AviReader::FrameDuration() { return FramesLength(1); }

int64_t AviReader::FramesLength(int64_t frames) {
  if (videoStream < 0) return 0;
  const StreamInfo& v = streams[videoStream];
  if (v.scale == 0 || v.rate == 0) return 0;
  const int64_t count = std::max<int64_t>(1, static_cast<int64_t>(cameras.size()));
  // In one step: a frame length rounded down first and then multiplied loses up to a
  // unit per frame (60 s of 30 fps from two cameras came to 59.99994 s).
  return ClampedTime(static_cast<long double>(frames) * v.scale * count * kTimeUnitsPerSecond / v.rate);
}

int64_t AviReader::Duration() {
  int64_t longest = 0;
  for (const CameraInfo& c : Cameras()) longest = std::max(longest, c.frameCount);
  return FramesLength(longest);
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
  return window.Read(chunk.offset, buffer, want);
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
