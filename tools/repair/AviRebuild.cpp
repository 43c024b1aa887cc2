#include "tools/repair/AviRebuild.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "sources/avi/AviFormat.h"
#include "sources/avi/ByteSourceView.h"
#include "sources/avi/FileByteSource.h"
#include "tools/repair/RebuildOutput.h"
#include "tools/repair/SilentTrack.h"

namespace repair {

using namespace avi;

namespace {

constexpr uint32_t kMoviListHeader = 12;
constexpr int64_t kMaxRiff = std::numeric_limits<uint32_t>::max();
// Small enough that a scan over large video chunks reads little more than their
// headers, large enough to take in runs of small sound and text chunks at once.
constexpr size_t kHeaderCacheSize = 4 * 1024;
constexpr int kNalTypeOffset = 4;  // after a 4-byte start code
constexpr int kNalIdr = 5;
constexpr int kNalSps = 7;
constexpr uint32_t kStreamsWithSilentTrack = 3;
constexpr int64_t kCopyPiece = 1 << 20;

// Reads the small pieces a scan needs (chunk heads) from the body through one small
// window of reads. No mapping: the body may be the user's own file on a drive that
// can be pulled out, and a mapping would turn that into a crash, not a short read.
class HeadReader {
 public:
  explicit HeadReader(ByteSource& source) : body(source), size(std::max<int64_t>(0, source.Size())) {}
  int64_t Size() const { return size; }
  int64_t Read(int64_t offset, void* out, int64_t count) {
    if (offset < 0 || count < 0 || offset >= size) return 0;
    if (count > static_cast<int64_t>(kHeaderCacheSize)) return body.ReadAt(offset, out, count);
    if (offset < windowOffset || offset + count > windowOffset + windowLength) {
      window.resize(kHeaderCacheSize);
      windowLength = std::max<int64_t>(0, body.ReadAt(offset, window.data(), kHeaderCacheSize));
      windowOffset = offset;
    }
    const int64_t n = std::min(count, windowOffset + windowLength - offset);
    if (n <= 0) return 0;
    std::copy_n(window.data() + (offset - windowOffset), n, static_cast<uint8_t*>(out));
    return n;
  }

 private:
  ByteSource& body;
  int64_t size;
  std::vector<uint8_t> window;
  int64_t windowOffset = 0;
  int64_t windowLength = 0;
};

struct BodyChunk {
  int64_t offset;  // of its header in the body file
  uint32_t id;
  uint32_t size;  // as its header says
  int nalType;    // of a video chunk's first NAL after its start code; -1 unknown
  uint32_t Rounded() const { return size + (size & 1); }
};

// The parts of the header file the rebuild needs and rewrites.
struct HeaderLayout {
  std::vector<uint8_t> bytes;
  uint32_t mainHeaderSize = 0;                         // A
  std::vector<std::pair<size_t, size_t>> streamLists;  // [begin, end) in bytes, in order

  size_t FieldOffset(size_t fromMainHeader) const { return mainHeaderSize + fromMainHeader; }
  uint32_t VideoScale() const { return ReadLe32(&bytes[FieldOffset(72)]); }
  uint32_t VideoRate() const { return ReadLe32(&bytes[FieldOffset(76)]); }
  uint32_t VideoLength() const { return ReadLe32(&bytes[FieldOffset(84)]); }
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
  // The first stream list must be the video one with a whole stream header.
  if (h.streamLists.empty() || h.streamLists[0].first != 32 + size_t{h.mainHeaderSize}) return false;
  const size_t strh = h.streamLists[0].first + 12;
  return h.streamLists[0].second >= strh + 8 + kStrhSize && ReadLe32(&b[strh]) == kStrh;
}

// The NAL type in the fifth data byte, when the chunk has one.
int NalType(const uint8_t* header, int64_t got) {
  const uint32_t size = ReadLe32(header + 4);
  if (size <= kNalTypeOffset || got < 8 + kNalTypeOffset + 1) return -1;
  return header[8 + kNalTypeOffset] & 0x1f;
}

bool IsStream(uint32_t id, char digit) { return static_cast<char>(id) == '0' && static_cast<char>(id >> 8) == digit; }

class Rebuilder {
 public:
  Rebuilder(HeaderLayout& layout, ByteSourceView& bodyBytes, RebuildOutput& output, bool withoutSound)
      : header(layout),
        body(bodyBytes),
        bodyFile(dynamic_cast<FileByteSource*>(&bodyBytes.Base())),
        reader(bodyBytes),
        out(output),
        noAudio(withoutSound) {}

  // Chunks of the body from offset on: complete ones with a dc, tx or wb id only.
  void ScanRepair(int64_t from) {
    for (int64_t pos = from;;) {
      uint8_t h[8 + kNalTypeOffset + 1];
      const int64_t got = reader.Read(pos, h, sizeof h);
      if (got < 8) break;
      const BodyChunk c{pos, ReadLe32(h), ReadLe32(h + 4), NalType(h, got)};
      if (KindOfChunkId(c.id) == ChunkKind::Other) break;
      if (pos + 8 + int64_t{c.Rounded()} > reader.Size()) break;
      AddChunk(c);
      pos += 8 + int64_t{c.Rounded()};
    }
  }

  // Chunks of an intact movi list until its M - 4 bytes are consumed.
  void ScanIntact(int64_t from, int64_t moviPayload) {
    for (int64_t consumed = 0; consumed < moviPayload;) {
      const int64_t pos = from + consumed;
      uint8_t h[8 + kNalTypeOffset + 1];
      const int64_t got = reader.Read(pos, h, sizeof h);
      if (got < 8) break;
      const BodyChunk c{pos, ReadLe32(h), ReadLe32(h + 4), NalType(h, got)};
      const int64_t whole = 8 + int64_t{c.Rounded()};
      if (consumed + whole > moviPayload || pos + whole > reader.Size()) break;
      AddChunk(c);
      consumed += whole;
    }
  }

  uint32_t VideoChunks() const { return videoChunks; }
  int64_t ChunkBytes() const { return chunkBytes; }
  size_t ChunkCount() const { return chunks.size(); }

  // The header: avih, the video stream list, the silent list when there is no sound,
  // then every other stream list in order, so that the list size counts what is written.
  bool WriteHeader(uint32_t frames, const SilentTrackValues& silent) {
    std::vector<uint8_t>& b = header.bytes;
    WriteLe32(&b[kTotalFramesOffset], frames);
    WriteLe32(&b[header.FieldOffset(84)], frames);
    if (noAudio) WriteLe32(&b[kStreamCountOffset], kStreamsWithSilentTrack);
    std::vector<uint8_t> h(b.begin(), b.begin() + 32 + header.mainHeaderSize);
    const auto& lists = header.streamLists;
    h.insert(h.end(), b.begin() + static_cast<std::ptrdiff_t>(lists[0].first),
             b.begin() + static_cast<std::ptrdiff_t>(lists[0].second));
    if (noAudio) {
      const std::vector<uint8_t> silentList = SilentStreamList(static_cast<uint32_t>(silent.length));
      h.insert(h.end(), silentList.begin(), silentList.end());
    }
    for (size_t i = 1; i < lists.size(); ++i)
      h.insert(h.end(), b.begin() + static_cast<std::ptrdiff_t>(lists[i].first),
               b.begin() + static_cast<std::ptrdiff_t>(lists[i].second));
    WriteLe32(&h[kHeaderListSizeOffset], static_cast<uint32_t>(h.size() - 20));
    headerSize = h.size();
    return out.Write(h.data(), h.size());
  }

  bool WriteMoviHeader(uint32_t size) {
    uint8_t m[kMoviListHeader];
    WriteLe32(m, kList);
    WriteLe32(m + 4, size);
    WriteLe32(m + 8, kMovi);
    moviSizeAt = out.Position() + 4;
    return out.Write(m, sizeof m);
  }

  // The chunks in order: stream 01 renamed 02 where a silent track goes in, key-frame
  // flags, the index, and the silent blocks placed by the audio clock.
  bool CopyChunks(const SilentTrackValues& silent) {
    AudioClock clock(silent);
    int64_t runBegin = 0, runEnd = 0;  // unchanged body bytes not yet copied
    auto flushRun = [&] {
      const bool ok = CopyBody(runBegin, runEnd - runBegin);
      runBegin = runEnd;
      return ok;
    };
    for (const BodyChunk& c : chunks) {
      uint32_t id = c.id;
      bool key = false;
      const bool renamed = noAudio && IsStream(id, '1');
      if (renamed) {
        id = (id & ~0xFF00u) | static_cast<uint32_t>('2') << 8;
        key = true;
      } else if (IsStream(id, '0')) {
        key = c.nalType == kNalIdr || c.nalType == kNalSps;
        clock.AddVideoFrame();
      } else if (IsStream(id, '2')) {
        key = true;
      }
      AddIndexEntry(id, key ? kIndexKeyFrame : 0, c.Rounded());
      if (runEnd != c.offset && !flushRun()) return false;
      if (renamed) {
        if (!flushRun()) return false;
        uint8_t h[8];
        WriteLe32(h, id);
        WriteLe32(h + 4, c.size);
        if (!out.Write(h, 8)) return false;
        runBegin = runEnd = c.offset + 8;
      } else if (runBegin == runEnd) {
        runBegin = runEnd = c.offset;
      }
      runEnd = c.offset + 8 + c.Rounded();
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

  size_t HeaderSize() const { return headerSize; }

 private:
  // Unchanged body bytes into the output: in the kernel from a local file, else
  // through large pieces.
  bool CopyBody(int64_t from, int64_t count) {
    if (bodyFile) return out.CopyFrom(bodyFile->Descriptor(), body.Offset() + from, count);
    if (count > 0) piece.resize(kCopyPiece);
    while (count > 0) {
      const int64_t n = body.ReadAt(from, piece.data(), std::min<int64_t>(count, kCopyPiece));
      if (n <= 0 || !out.Write(piece.data(), static_cast<size_t>(n))) return false;
      from += n;
      count -= n;
    }
    return true;
  }

  void AddChunk(const BodyChunk& c) {
    chunks.push_back(c);
    if (KindOfChunkId(c.id) == ChunkKind::Video) ++videoChunks;
    chunkBytes += 8 + int64_t{c.Rounded()};
  }

  void AddIndexEntry(uint32_t id, uint32_t flags, uint32_t size) {
    uint8_t e[kIndexEntrySize];
    WriteLe32(e, id);
    WriteLe32(e + 4, flags);
    WriteLe32(e + 8, static_cast<uint32_t>(indexOffset));
    WriteLe32(e + 12, size);
    index.insert(index.end(), e, e + kIndexEntrySize);
    indexOffset += 8 + int64_t{size};
  }

  bool WriteSilentBlock() {
    static const uint32_t kSilentId = ChunkIdFor(1, "wb");
    AddIndexEntry(kSilentId, 0, kSilentBlockData);
    uint8_t h[8];
    WriteLe32(h, kSilentId);
    WriteLe32(h + 4, kSilentBlockData);
    return out.Write(h, 8) && out.WriteZeros(kSilentBlockData);
  }

  HeaderLayout& header;
  ByteSourceView& body;
  FileByteSource* bodyFile;  // the file behind body when it is one
  HeadReader reader;
  std::vector<uint8_t> piece;
  RebuildOutput& out;
  bool noAudio;
  std::vector<BodyChunk> chunks;
  uint32_t videoChunks = 0;
  int64_t chunkBytes = 0;  // B
  std::vector<uint8_t> index;
  int64_t indexOffset = 4;  // from the "movi" code: the first chunk is at 4
  int64_t moviSizeAt = 0;
  int64_t moviEnd = 0;
  size_t headerSize = 0;
};

}  // namespace

const char* RebuildResultText(RebuildResult result) {
  switch (result) {
    case RebuildResult::Rebuilt:
      return "rebuilt";
    case RebuildResult::NoChunks:
      return "no complete chunk to rebuild from";
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
  Rebuilder rebuilder(header, body, out, noAudio);

  uint32_t frames = 0;
  int64_t moviPayload = 0;
  if (riffSize == 0) {
    rebuilder.ScanRepair(kMoviListHeader);
    if (rebuilder.ChunkBytes() == 0) return RebuildResult::NoChunks;
    frames = rebuilder.VideoChunks();
    moviPayload = rebuilder.ChunkBytes();
  } else {
    uint8_t m[kMoviListHeader];
    if (body.ReadAt(0, m, sizeof m) != int64_t{kMoviListHeader} || ReadLe32(m) != kList || ReadLe32(m + 8) != kMovi)
      return RebuildResult::BadHeader;
    const uint32_t declared = ReadLe32(m + 4);
    rebuilder.ScanIntact(kMoviListHeader, declared < 4 ? 0 : int64_t{declared} - 4);
    frames = header.VideoLength();
    moviPayload = declared < 4 ? 0 : int64_t{declared} - 4;
  }
  const SilentTrackValues silent =
      noAudio ? ComputeSilentTrack(frames, header.VideoScale(), header.VideoRate()) : SilentTrackValues();
  // The file must stay within what 32-bit RIFF sizes can describe.
  const int64_t expected = static_cast<int64_t>(header.bytes.size()) + kSilentListSize + 12 + moviPayload +
                           silent.blocks * kSilentBlockWithIndex + static_cast<int64_t>(rebuilder.ChunkCount()) * 16 +
                           8;
  if (expected > kMaxRiff) return RebuildResult::TooLarge;

  const uint32_t moviSize = static_cast<uint32_t>(moviPayload + 4 + silent.blocks * kSilentBlockSize);
  const bool ok = rebuilder.WriteHeader(frames, silent) && rebuilder.WriteMoviHeader(moviSize) &&
                  rebuilder.CopyChunks(silent) && rebuilder.WriteIndex() && rebuilder.PatchSizes() && out.Close();
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
