#include "tools/repair/AviRebuild.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "sources/avi/AviFormat.h"
#include "sources/avi/ByteSourceView.h"
#include "sources/avi/ChunkWalker.h"
#include "sources/avi/Codecs.h"
#include "sources/avi/FileByteSource.h"
#include "sources/avi/WindowReader.h"
#include "tools/repair/RebuildOutput.h"
#include "tools/repair/SilentTrack.h"

namespace repair {

using namespace avi;

namespace {

constexpr uint32_t kMoviListHeader = 12;
constexpr int64_t kMaxRiff = std::numeric_limits<uint32_t>::max();
// Small enough that a scan over large video chunks reads little more than their
// headers, large enough to take in runs of small sound and text chunks at once.
constexpr int64_t kHeaderCacheSize = 4 * 1024;
constexpr uint32_t kStreamsWithSilentTrack = 3;
constexpr int64_t kCopyPiece = 1 << 20;
constexpr size_t kAvihFlags = 44;  // file offset of the main header's flags
constexpr uint32_t kHasIndex = 0x10;
constexpr int kMostStreams = 100;          // two digits in a chunk id
constexpr size_t kCompressionOffset = 16;  // in a BITMAPINFOHEADER

// The parts of the header the rebuild needs and rewrites.
struct HeaderLayout {
  std::vector<uint8_t> bytes;
  uint32_t mainHeaderSize = 0;                         // A
  std::vector<std::pair<size_t, size_t>> streamLists;  // [begin, end) in bytes, in order
  int videoList = -1;                                  // the first picture stream's list

  size_t FieldOffset(size_t fromMainHeader) const { return mainHeaderSize + fromMainHeader; }
  uint32_t VideoScale() const { return ReadLe32(&bytes[FieldOffset(72)]); }
  uint32_t VideoRate() const { return ReadLe32(&bytes[FieldOffset(76)]); }
  uint32_t VideoLength() const { return ReadLe32(&bytes[FieldOffset(84)]); }

  // The file offset of a sub-chunk of stream list `list` (its header), or 0.
  size_t Find(size_t list, uint32_t id) const {
    const auto [begin, end] = streamLists[list];
    for (size_t pos = begin + 12; pos + 8 <= end;) {
      const uint32_t len = ReadLe32(&bytes[pos + 4]);
      if (len > end - pos - 8) break;
      if (ReadLe32(&bytes[pos]) == id) return pos;
      pos += 8 + size_t{len} + (len & 1);
    }
    return 0;
  }
  uint32_t StrhField(size_t list, size_t field) const {
    const size_t strh = Find(list, kStrh);
    return strh ? ReadLe32(&bytes[strh + 8 + field]) : 0;
  }
};

bool ReadHeader(ByteSource& file, HeaderLayout& layout) {
  const int64_t size = file.Size();
  if (size < 20 || size > (64 << 20)) return false;
  layout.bytes.resize(static_cast<size_t>(size));
  return file.ReadAt(0, layout.bytes.data(), size) == size;
}

bool ParseHeader(HeaderLayout& h) {
  const std::vector<uint8_t>& b = h.bytes;
  // The form and list types too: a rebuilt file keeps them, and one whose are not
  // "AVI " and "hdrl" would be rebuilt into a file no reader takes.
  if (b.size() < 32 + kMainHeaderSize || ReadLe32(&b[0]) != kRiff || ReadLe32(&b[8]) != kAvi ||
      ReadLe32(&b[12]) != kList || ReadLe32(&b[20]) != kHdrl || ReadLe32(&b[24]) != kAvih)
    return false;
  h.mainHeaderSize = ReadLe32(&b[28]);
  if (h.mainHeaderSize < kMainHeaderSize || h.mainHeaderSize > b.size()) return false;
  size_t pos = 32 + size_t{h.mainHeaderSize};
  // Every stream list, in order; anything else of the header list is left out.
  while (pos + 12 <= b.size()) {
    const uint32_t id = ReadLe32(&b[pos]);
    const uint32_t len = ReadLe32(&b[pos + 4]);
    if (len > b.size() - pos - 8) break;
    const size_t end = std::min(b.size(), pos + 8 + len + (len & 1));
    if (id == kList && len >= 4 && ReadLe32(&b[pos + 8]) == kStrl) h.streamLists.push_back({pos, end});
    pos = end;
  }
  for (size_t i = 0; i < h.streamLists.size() && h.videoList < 0; ++i) {
    const size_t strh = h.Find(i, kStrh);
    if (strh && ReadLe32(&b[strh + 4]) >= kStrhSize && ReadLe32(&b[strh + 8]) == kVids)
      h.videoList = static_cast<int>(i);
  }
  return h.videoList >= 0;
}

bool IsStream(uint32_t id, char digit) { return static_cast<char>(id) == '0' && static_cast<char>(id >> 8) == digit; }

// One chunk of the output: where it lies in the body, and what it becomes.
struct PlannedChunk {
  int64_t offset;      // of its header in the body
  uint32_t size;       // data bytes, as its header says
  uint32_t id;         // as written
  bool renamed;        // its stream number moved behind the silent track
  bool padMissing;     // an odd size written without its pad byte: the output gets one
  bool video;          // advances the audio clock
  bool picture;        // counted as a frame
  uint32_t flags;      // of its index entry
  uint32_t indexSize;  // its index entry's size
  int stream;          // its stream list in the input, -1 when not counted
  uint32_t Rounded() const { return size + (size & 1); }
};

class Rebuilder {
 public:
  Rebuilder(HeaderLayout& layout, ByteSourceView& bodyBytes, RebuildOutput& output, bool withoutSound)
      : header(layout),
        body(bodyBytes),
        bodyFile(dynamic_cast<FileByteSource*>(&bodyBytes.Base())),
        reader(bodyBytes, kHeaderCacheSize),
        out(output),
        noAudio(withoutSound) {}

  // The camera's own layout, cut off: complete chunks with a dc, tx or wb id only,
  // from the first on.
  void ScanCameraRepair(int64_t from) {
    for (int64_t pos = from;;) {
      uint8_t h[8];
      if (reader.Read(pos, h, sizeof h) < 8) break;
      const uint32_t id = ReadLe32(h), size = ReadLe32(h + 4);
      if (!IsCameraChunk(id) || pos + 8 + int64_t{size} + (size & 1) > reader.Size()) break;
      AddCameraChunk(pos, id, size);
      pos += 8 + int64_t{size} + (size & 1);
    }
  }

  // The camera's own layout, intact: the chunks of its movi list until its M - 4
  // bytes are consumed.
  void ScanCameraIntact(int64_t from, int64_t moviPayload) {
    for (int64_t consumed = 0; consumed < moviPayload;) {
      const int64_t pos = from + consumed;
      uint8_t h[8];
      if (reader.Read(pos, h, sizeof h) < 8) break;
      const uint32_t id = ReadLe32(h), size = ReadLe32(h + 4);
      const int64_t whole = 8 + int64_t{size} + (size & 1);
      if (consumed + whole > moviPayload || pos + whole > reader.Size()) break;
      AddCameraChunk(pos, id, size);
      consumed += whole;
    }
  }

  // Any other layout: every complete stream chunk of every movi list, wherever the
  // lists stand, with the silent track's stream numbers where it goes in.
  void ScanForeign() {
    const int lists = static_cast<int>(header.streamLists.size());
    const size_t videoList = static_cast<size_t>(header.videoList);
    const size_t strf = header.Find(videoList, kStrf);
    const uint32_t compression = strf && ReadLe32(&header.bytes[strf + 4]) >= kCompressionOffset + 4
                                     ? ReadLe32(&header.bytes[strf + 8 + kCompressionOffset])
                                     : 0;
    const VideoCodec codec = VideoCodecOf(header.StrhField(videoList, kStrhHandler), compression);
    ChunkWalker walk(reader, 0, reader.Size());
    FoundChunk c;
    while (walk.Next(c)) {
      const int stream = StreamOfChunkId(c.id);
      // A stream without a header would be no stream to a player.
      if (stream >= lists || (noAudio && stream + 1 >= kMostStreams)) continue;
      const bool video = stream == header.videoList && KindOfChunkId(c.id) == ChunkKind::Video;
      const bool key = !video || IsKeyFrame(codec, reader, c.offset, c.size);
      uint32_t id = c.id;
      const bool renamed = noAudio && stream >= 1;
      if (renamed) id = (id & 0xFFFF0000u) | (ChunkIdFor(stream + 1, "xx") & 0xFFFFu);
      Add({c.offset - 8, c.size, id, renamed, c.padMissing, video, video, key ? kIndexKeyFrame : 0, c.size, stream});
    }
  }

  uint32_t VideoChunks() const { return videoChunks; }
  int64_t ChunkBytes() const { return chunkBytes; }
  size_t ChunkCount() const { return chunks.size(); }

  // The camera's header: avih, the video stream list, the silent list when there is
  // no sound, then every other stream list in order, so that the list size counts
  // what is written.
  bool WriteCameraHeader(uint32_t frames, const SilentTrackValues& silent) {
    std::vector<uint8_t>& b = header.bytes;
    WriteLe32(&b[kTotalFramesOffset], frames);
    WriteLe32(&b[header.FieldOffset(84)], frames);
    if (noAudio) WriteLe32(&b[kStreamCountOffset], kStreamsWithSilentTrack);
    std::vector<uint8_t> h(b.begin(), b.begin() + 32 + header.mainHeaderSize);
    const auto& lists = header.streamLists;
    AppendList(h, 0);
    if (noAudio) AppendSilentList(h, silent);
    for (size_t i = 1; i < lists.size(); ++i) AppendList(h, i);
    return WriteHeaderBytes(h);
  }

  // Another layout's header: avih and every stream list with the lengths counted
  // from the chunks kept, the silent list as stream 1 when there is no sound. Their
  // OpenDML super indexes go: they point at the input's index chunks.
  bool WriteForeignHeader(const SilentTrackValues& silent) {
    std::vector<uint8_t>& b = header.bytes;
    const auto& lists = header.streamLists;
    WriteLe32(&b[kTotalFramesOffset], videoChunks);
    WriteLe32(&b[kAvihFlags], ReadLe32(&b[kAvihFlags]) | kHasIndex);
    WriteLe32(&b[kStreamCountOffset], static_cast<uint32_t>(lists.size()) + (noAudio ? 1 : 0));
    std::vector<uint8_t> h(b.begin(), b.begin() + 32 + header.mainHeaderSize);
    for (size_t i = 0; i < lists.size(); ++i) {
      const size_t strh = AppendList(h, i, kIndx);
      if (strh && ReadLe32(&h[strh + 4]) >= kStrhSize) WriteLe32(&h[strh + 8 + kStrhLength], StreamLength(i));
      if (i == 0 && noAudio) AppendSilentList(h, silent);
    }
    return WriteHeaderBytes(h);
  }

  bool WriteMoviHeader(uint32_t size) {
    uint8_t m[kMoviListHeader];
    WriteLe32(m, kList);
    WriteLe32(m + 4, size);
    WriteLe32(m + 8, kMovi);
    moviSizeAt = out.Position() + 4;
    return out.Write(m, sizeof m);
  }

  // The chunks in order, with their index entries, and the silent blocks placed by
  // the audio clock. Unchanged runs of the body are copied in one piece.
  bool CopyChunks(const SilentTrackValues& silent) {
    AudioClock clock(silent);
    int64_t runBegin = 0, runEnd = 0;  // unchanged body bytes not yet copied
    auto flushRun = [&] {
      const bool ok = CopyBody(runBegin, runEnd - runBegin);
      runBegin = runEnd;
      return ok;
    };
    for (const PlannedChunk& c : chunks) {
      if (c.video) clock.AddVideoFrame();
      AddIndexEntry(c.id, c.flags, c.indexSize, c.Rounded());
      if (runEnd != c.offset && !flushRun()) return false;
      if (c.renamed) {
        if (!flushRun()) return false;
        uint8_t h[8];
        WriteLe32(h, c.id);
        WriteLe32(h + 4, c.size);
        if (!out.Write(h, 8)) return false;
        runBegin = runEnd = c.offset + 8;
      } else if (runBegin == runEnd) {
        runBegin = runEnd = c.offset;
      }
      if (c.padMissing) {
        runEnd = c.offset + 8 + c.size;
        if (!flushRun() || !out.WriteZeros(1)) return false;
        runBegin = runEnd = -1;  // the next chunk starts a run of its own
      } else {
        runEnd = c.offset + 8 + c.Rounded();
      }
      if (noAudio && clock.TakeDueBlock()) {
        if (!flushRun() || !WriteSilentBlock()) return false;
      }
    }
    if (!flushRun()) return false;
    if (noAudio) {
      const int64_t missing = clock.Missing();
      for (int64_t i = 0; i < missing; ++i)
        if (!WriteSilentBlock()) return false;
      clock.CountAppended(missing);
    }
    return true;
  }

  bool WriteIndex() {
    uint8_t h[8];
    WriteLe32(h, kIdx1);
    WriteLe32(h + 4, static_cast<uint32_t>(index.size()));
    moviEnd = out.Position();
    return out.Write(h, 8) && out.Write(index.data(), index.size());
  }

  // The sizes as written; they equal the counted ones for every well-formed input.
  bool PatchSizes() {
    uint8_t v[4];
    WriteLe32(v, static_cast<uint32_t>(out.Position() - 8));
    if (!out.Patch(kRiffSizeOffset, v, 4)) return false;
    WriteLe32(v, static_cast<uint32_t>(moviEnd - moviSizeAt - 4));
    return out.Patch(moviSizeAt, v, 4);
  }

 private:
  static bool IsCameraChunk(uint32_t id) {
    const char c2 = static_cast<char>(id >> 16), c3 = static_cast<char>(id >> 24);
    return (c2 == 'd' && c3 == 'c') || (c2 == 't' && c3 == 'x') || (c2 == 'w' && c3 == 'b');
  }

  // The camera's rules: stream 01 renamed 02 where a silent track goes in (then a key
  // frame), stream 00 a key frame when its access unit holds an IDR slice (or opens
  // with parameter sets), stream 02 always one, the rest not; sizes even in the index.
  void AddCameraChunk(int64_t pos, uint32_t id, uint32_t size) {
    bool key = false, renamed = false, video = false;
    if (noAudio && IsStream(id, '1')) {
      id = (id & ~0xFF00u) | static_cast<uint32_t>('2') << 8;
      key = renamed = true;
    } else if (IsStream(id, '0')) {
      video = true;
      key = size > 0 && IsKeyFrame(VideoCodec::H264, reader, pos + 8, size);
    } else if (IsStream(id, '2')) {
      key = true;
    }
    const bool picture = KindOfChunkId(id) == ChunkKind::Video;
    const uint32_t rounded = size + (size & 1);
    Add({pos, size, id, renamed, false, video, picture, key ? kIndexKeyFrame : 0, rounded, -1});
  }

  void Add(const PlannedChunk& c) {
    chunks.push_back(c);
    if (c.picture) ++videoChunks;
    if (c.stream >= 0) {
      if (streamCounts.size() <= static_cast<size_t>(c.stream)) streamCounts.resize(static_cast<size_t>(c.stream) + 1);
      streamCounts[static_cast<size_t>(c.stream)].chunks += 1;
      streamCounts[static_cast<size_t>(c.stream)].bytes += c.size;
    }
    chunkBytes += 8 + int64_t{c.Rounded()};
  }

  // A stream's length in its own units: pictures and blocks of sound with a sample
  // size are counted by their samples, the rest by their chunks.
  uint32_t StreamLength(size_t list) const {
    if (static_cast<int>(list) == header.videoList) return videoChunks;
    if (list >= streamCounts.size()) return 0;
    const uint32_t sampleSize = header.StrhField(list, kStrhSampleSize);
    const int64_t units = sampleSize ? streamCounts[list].bytes / sampleSize : streamCounts[list].chunks;
    return static_cast<uint32_t>(std::min<int64_t>(units, std::numeric_limits<uint32_t>::max()));
  }

  // Stream list `list` of the input as it is, or without its sub-chunks named `drop`;
  // the offset of its strh in h, 0 when it has none.
  size_t AppendList(std::vector<uint8_t>& h, size_t list, uint32_t drop = 0) {
    const auto [begin, end] = header.streamLists[list];
    const std::vector<uint8_t>& b = header.bytes;
    auto copy = [&](size_t from, size_t to) {
      h.insert(h.end(), b.begin() + static_cast<std::ptrdiff_t>(from), b.begin() + static_cast<std::ptrdiff_t>(to));
    };
    const size_t start = h.size();
    size_t strh = 0;
    uint32_t removed = 0;
    copy(begin, begin + 12);
    size_t pos = begin + 12;
    while (pos + 8 <= end) {
      const uint32_t id = ReadLe32(&b[pos]);
      const uint32_t len = ReadLe32(&b[pos + 4]);
      if (len > end - pos - 8) break;
      const size_t next = std::min(end, pos + 8 + len + (len & 1));
      if (drop != 0 && id == drop) {
        removed += static_cast<uint32_t>(next - pos);
      } else {
        if (id == kStrh && strh == 0) strh = h.size();
        copy(pos, next);
      }
      pos = next;
    }
    // Whatever trails the last whole sub-chunk is kept as it was.
    copy(pos, end);
    WriteLe32(&h[start + 4], ReadLe32(&b[begin + 4]) - removed);
    return strh;
  }

  static void AppendSilentList(std::vector<uint8_t>& h, const SilentTrackValues& silent) {
    const std::vector<uint8_t> list = SilentStreamList(static_cast<uint32_t>(silent.length));
    h.insert(h.end(), list.begin(), list.end());
  }

  bool WriteHeaderBytes(std::vector<uint8_t>& h) {
    WriteLe32(&h[kHeaderListSizeOffset], static_cast<uint32_t>(h.size() - 20));
    return out.Write(h.data(), h.size());
  }

  // Unchanged body bytes into the output: in the kernel from a local file, else
  // through large pieces.
  bool CopyBody(int64_t from, int64_t count) {
    if (count <= 0) return true;
    if (bodyFile) return out.CopyFrom(bodyFile->Descriptor(), body.Offset() + from, count);
    piece.resize(kCopyPiece);
    while (count > 0) {
      const int64_t n = body.ReadAt(from, piece.data(), std::min<int64_t>(count, kCopyPiece));
      if (n <= 0 || !out.Write(piece.data(), static_cast<size_t>(n))) return false;
      from += n;
      count -= n;
    }
    return true;
  }

  void AddIndexEntry(uint32_t id, uint32_t flags, uint32_t size, uint32_t written) {
    uint8_t e[kIndexEntrySize];
    WriteLe32(e, id);
    WriteLe32(e + 4, flags);
    WriteLe32(e + 8, static_cast<uint32_t>(indexOffset));
    WriteLe32(e + 12, size);
    index.insert(index.end(), e, e + kIndexEntrySize);
    indexOffset += 8 + int64_t{written};
  }

  bool WriteSilentBlock() {
    static const uint32_t kSilentId = ChunkIdFor(1, "wb");
    AddIndexEntry(kSilentId, 0, kSilentBlockData, kSilentBlockData);
    uint8_t h[8];
    WriteLe32(h, kSilentId);
    WriteLe32(h + 4, kSilentBlockData);
    return out.Write(h, 8) && out.WriteZeros(kSilentBlockData);
  }

  struct StreamCount {
    int64_t chunks = 0;
    int64_t bytes = 0;
  };

  HeaderLayout& header;
  ByteSourceView& body;
  FileByteSource* bodyFile;  // the file behind body when it is one
  WindowReader reader;
  std::vector<uint8_t> piece;
  RebuildOutput& out;
  bool noAudio;
  std::vector<PlannedChunk> chunks;
  std::vector<StreamCount> streamCounts;
  uint32_t videoChunks = 0;
  int64_t chunkBytes = 0;  // B
  std::vector<uint8_t> index;
  int64_t indexOffset = 4;  // from the "movi" code: the first chunk is at 4
  int64_t moviSizeAt = 0;
  int64_t moviEnd = 0;
};

}  // namespace

bool IsCameraLayout(const std::vector<uint8_t>& header, const uint8_t (&behindHeader)[12]) {
  if (ReadLe32(behindHeader) != kList || ReadLe32(behindHeader + 8) != kMovi) return false;
  HeaderLayout h;
  h.bytes = header;
  return ParseHeader(h) && h.videoList == 0 && h.streamLists[0].first == 32 + size_t{h.mainHeaderSize} &&
         h.streamLists.size() >= 2 && h.StrhField(h.streamLists.size() - 1, kStrhType) == kTxts;
}

const char* RebuildResultText(RebuildResult result) {
  switch (result) {
    case RebuildResult::Rebuilt:
      return "rebuilt";
    case RebuildResult::NoChunks:
      return "no complete video chunk to rebuild from";
    case RebuildResult::BadHeader:
      return "not a recording header";
    case RebuildResult::CannotRead:
      return "cannot read the temporary files";
    case RebuildResult::CannotWrite:
      return "cannot write the rebuilt file";
    case RebuildResult::TooLarge:
      return "the rebuilt file would be larger than 4 GiB";
  }
  return "unknown";
}

namespace {

RebuildResult Rebuild(RebuildOutput& out, ByteSource& headerBytes, ByteSourceView& body, bool noAudio,
                      uint32_t riffSize) {
  HeaderLayout header;
  if (!ReadHeader(headerBytes, header)) return RebuildResult::CannotRead;
  if (!ParseHeader(header)) return RebuildResult::BadHeader;
  uint8_t behind[kMoviListHeader] = {};
  body.ReadAt(0, behind, sizeof behind);
  const bool camera = IsCameraLayout(header.bytes, behind);
  Rebuilder rebuilder(header, body, out, noAudio);

  uint32_t frames = 0;
  int64_t moviPayload = 0;
  if (!camera) {
    rebuilder.ScanForeign();
    frames = rebuilder.VideoChunks();
    moviPayload = rebuilder.ChunkBytes();
  } else if (riffSize == 0) {
    rebuilder.ScanCameraRepair(kMoviListHeader);
    frames = rebuilder.VideoChunks();
    moviPayload = rebuilder.ChunkBytes();
  } else {
    const uint32_t declared = ReadLe32(behind + 4);
    rebuilder.ScanCameraIntact(kMoviListHeader, declared < 4 ? 0 : int64_t{declared} - 4);
    frames = header.VideoLength();
    moviPayload = declared < 4 ? 0 : int64_t{declared} - 4;
  }
  // A file without one whole picture would be "rebuilt" into nothing to play.
  if (rebuilder.VideoChunks() == 0) return RebuildResult::NoChunks;
  const size_t videoList = static_cast<size_t>(header.videoList);
  const SilentTrackValues silent = noAudio ? ComputeSilentTrack(frames, header.StrhField(videoList, kStrhScale),
                                                                header.StrhField(videoList, kStrhRate))
                                           : SilentTrackValues();
  // The file must stay within what 32-bit RIFF sizes can describe.
  const int64_t expected = static_cast<int64_t>(header.bytes.size()) + kSilentListSize + 12 + moviPayload +
                           silent.blocks * kSilentBlockWithIndex + static_cast<int64_t>(rebuilder.ChunkCount()) * 16 +
                           8;
  if (expected > kMaxRiff) return RebuildResult::TooLarge;

  const uint32_t moviSize = static_cast<uint32_t>(moviPayload + 4 + silent.blocks * kSilentBlockSize);
  const bool headerWritten =
      camera ? rebuilder.WriteCameraHeader(frames, silent) : rebuilder.WriteForeignHeader(silent);
  const bool ok = headerWritten && rebuilder.WriteMoviHeader(moviSize) && rebuilder.CopyChunks(silent) &&
                  rebuilder.WriteIndex() && rebuilder.PatchSizes() && out.Close();
  return ok ? RebuildResult::Rebuilt : RebuildResult::CannotWrite;
}

// The rebuild writes into a file of its own beside the output and gives it the
// output's name only once it is whole, so a rebuild that fails half-way (a full
// disk, a card pulled out) leaves no half-written file that a later load would take
// for a finished one. No complete chunk still leaves the output empty.
template <typename Run>
RebuildResult RebuildInto(const std::filesystem::path& output, Run run) {
  std::filesystem::path partial = output;
  partial += kPartialSuffix;
  RebuildResult result = RebuildResult::CannotWrite;
  {
    RebuildOutput out;
    if (out.Create(partial)) result = run(out);
    if (!out.Close() && result == RebuildResult::Rebuilt) result = RebuildResult::CannotWrite;
  }
  std::error_code ec;
  if (result == RebuildResult::Rebuilt || result == RebuildResult::NoChunks) {
    std::filesystem::rename(partial, output, ec);
    if (!ec) return result;
    result = RebuildResult::CannotWrite;
  }
  std::filesystem::remove(partial, ec);
  return result;
}

}  // namespace

RebuildResult RebuildRecording(const std::filesystem::path& output, const std::filesystem::path& headerFile,
                               const std::filesystem::path& bodyFile, bool noAudio, uint32_t riffSize) {
  FileByteSource headerSource, bodySource;
  if (!headerSource.Open(headerFile) || !bodySource.Open(bodyFile)) return RebuildResult::CannotRead;
  ByteSourceView body(bodySource, 0);
  return RebuildInto(output, [&](RebuildOutput& out) { return Rebuild(out, headerSource, body, noAudio, riffSize); });
}

RebuildResult RebuildRecording(const std::filesystem::path& output, ByteSource& header, ByteSourceView& body,
                               bool noAudio, uint32_t riffSize) {
  return RebuildInto(output, [&](RebuildOutput& out) { return Rebuild(out, header, body, noAudio, riffSize); });
}

}  // namespace repair
