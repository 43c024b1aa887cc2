#include "sources/avi/ChunkWalker.h"

#include "sources/avi/AviFormat.h"

namespace avi {

namespace {

constexpr uint32_t kIdx1Id = FourCc("idx1");

bool IsPaletteChange(uint32_t id) {
  return StreamOfChunkId(id) >= 0 && static_cast<char>(id >> 16) == 'p' && static_cast<char>(id >> 24) == 'c';
}

// Stepped over by their size.
bool IsSkipped(uint32_t id) { return id == kJunk || id == kIdx1Id || IsIndexChunkId(id) || IsPaletteChange(id); }

}  // namespace

bool IsKnownChunkId(uint32_t id) { return IsStreamChunkId(id) || id == kList || id == kRiff || IsSkipped(id); }

ChunkWalker::ChunkWalker(WindowReader& windowReader, int64_t begin, int64_t last)
    : reader(windowReader), pos(begin), end(last) {}

bool ChunkWalker::KnownAt(int64_t at) {
  uint8_t id[4];
  return reader.Read(at, id, 4) == 4 && IsKnownChunkId(ReadLe32(id));
}

// Where the chunk after this one starts: behind the pad byte of an odd size, or,
// when the writer left the pad out, right behind the data.
int64_t ChunkWalker::After(int64_t dataOffset, uint32_t size) {
  const int64_t padded = dataOffset + int64_t{size} + (size & 1);
  if ((size & 1) == 0 || padded + 4 > end || KnownAt(padded)) return padded;
  return KnownAt(padded - 1) ? padded - 1 : padded;
}

bool ChunkWalker::Next(FoundChunk& chunk) {
  while (!stopped && pos + 8 <= end) {
    uint8_t h[12];
    const int64_t n = reader.Read(pos, h, sizeof h);
    if (n < 8) break;
    const uint32_t id = ReadLe32(h);
    const uint32_t size = ReadLe32(h + 4);
    const int64_t data = pos + 8;
    const bool fits = int64_t{size} <= end - data;
    if (id == kList || id == kRiff) {
      if (n < 12) break;
      const uint32_t type = ReadLe32(h + 8);
      // Their sizes are not needed to walk into them (and are 0 after a power cut).
      if ((id == kList && (type == kMovi || type == kRec)) || (id == kRiff && type == kAvix)) {
        pos += 12;
        continue;
      }
      if (id == kRiff || !fits) break;
      pos = data + int64_t{size} + (size & 1);
      continue;
    }
    if (IsStreamChunkId(id)) {
      if (!fits) break;
      pos = After(data, size);
      chunk = {id, data, size, (size & 1) != 0 && (pos == data + int64_t{size} || pos > end)};
      return true;
    }
    if (!IsSkipped(id) || !fits) break;
    pos = After(data, size);
  }
  if (pos + 8 <= end) stopped = true;
  return false;
}

}  // namespace avi
