#include "sources/avi/OdmlIndex.h"

#include <algorithm>

#include "sources/avi/AviFormat.h"

namespace avi {

namespace {

constexpr size_t kIndexHeader = 24;  // wLongsPerEntry .. the reserved words
constexpr uint8_t kIndexOfIndexes = 0;
constexpr uint8_t kIndexOfChunks = 1;
constexpr uint16_t kSuperEntryLongs = 4;
constexpr uint16_t kStandardEntryLongs = 2;  // 3 for field indexes: the third is skipped
constexpr uint32_t kDeltaFlag = 0x80000000u;
// A standard index chunk with more entries than this is damage, not an index.
constexpr uint32_t kMaxStandardEntries = 1u << 24;
constexpr uint32_t kMaxSuperEntries = 1u << 16;
constexpr uint32_t kMaxIndexChunk = 64u << 20;

uint64_t ReadLe64(const uint8_t* p) { return uint64_t{ReadLe32(p)} | uint64_t{ReadLe32(p + 4)} << 32; }

// A standard index payload (after its chunk header): its entries, into out.
bool ParseStandard(const uint8_t* p, size_t size, int64_t fileSize, std::vector<OdmlEntry>& out) {
  if (size < kIndexHeader) return false;
  const uint16_t longs = ReadLe16(p);
  const uint8_t type = p[3];
  const uint32_t count = ReadLe32(p + 4);
  const uint32_t id = ReadLe32(p + 8);
  const uint64_t base = ReadLe64(p + 12);
  if (type != kIndexOfChunks || longs < kStandardEntryLongs || count > kMaxStandardEntries) return false;
  const size_t entrySize = size_t{longs} * 4;
  const size_t fit = (size - kIndexHeader) / entrySize;
  for (size_t i = 0; i < std::min<size_t>(count, fit); ++i) {
    const uint8_t* e = p + kIndexHeader + i * entrySize;
    const uint32_t sizeField = ReadLe32(e + 4);
    OdmlEntry entry;
    entry.id = id;
    entry.size = sizeField & ~kDeltaFlag;
    entry.keyFrame = (sizeField & kDeltaFlag) == 0;
    const uint64_t offset = base + ReadLe32(e);
    if (offset < 8 || offset > static_cast<uint64_t>(fileSize) || entry.size > static_cast<uint64_t>(fileSize) - offset)
      continue;
    entry.offset = static_cast<int64_t>(offset);
    out.push_back(entry);
  }
  return true;
}

}  // namespace

bool ReadOdmlIndex(ByteSource& source, const uint8_t* indx, size_t size, int64_t fileSize,
                   std::vector<OdmlEntry>& out) {
  if (size < kIndexHeader) return false;
  const uint8_t type = indx[3];
  if (type == kIndexOfChunks) return ParseStandard(indx, size, fileSize, out);
  if (type != kIndexOfIndexes || ReadLe16(indx) != kSuperEntryLongs) return false;
  const uint32_t count = std::min(ReadLe32(indx + 4), kMaxSuperEntries);
  const size_t fit = (size - kIndexHeader) / 16;
  bool any = false;
  std::vector<uint8_t> chunk;
  for (size_t i = 0; i < std::min<size_t>(count, fit); ++i) {
    const uint8_t* e = indx + kIndexHeader + i * 16;
    const uint64_t offset = ReadLe64(e);
    const uint32_t bytes = ReadLe32(e + 8);
    // The entry's size counts the chunk's 8-byte header.
    if (bytes < 8 + kIndexHeader || bytes > kMaxIndexChunk || offset > static_cast<uint64_t>(fileSize) ||
        bytes > static_cast<uint64_t>(fileSize) - offset)
      continue;
    chunk.resize(bytes);
    if (source.ReadAt(static_cast<int64_t>(offset), chunk.data(), bytes) != int64_t{bytes}) continue;
    if (!IsIndexChunkId(ReadLe32(chunk.data()))) continue;
    const uint32_t payload = std::min(ReadLe32(chunk.data() + 4), bytes - 8);
    any = ParseStandard(chunk.data() + 8, payload, fileSize, out) || any;
  }
  return any;
}

}  // namespace avi
