#include "kovr/VolumeLayout.h"

#include <algorithm>
#include <cstring>

#include "kovr/Bytes.h"
#include "kovr/Kovr.h"

namespace kovr {

namespace {

constexpr char kMagic[8] = {'K', 'O', 'V', 'R', 'F', 'S', '0', '1'};
constexpr size_t kAreaTableOffset = 128;
constexpr size_t kAreaEntrySize = 128;
constexpr size_t kChecksumOffset = kSuperblockSize - 4;
constexpr size_t kRecordChecksum = 124;

uint64_t AlignUp(uint64_t v, uint64_t a) { return (v + a - 1) / a * a; }

}  // namespace

bool ParseSuperblock(const unsigned char* b, uint64_t partitionBytes, Superblock& out) {
  if (std::memcmp(b, kMagic, sizeof kMagic) != 0) return false;
  if (Crc32(b, kChecksumOffset) != Get32(b + kChecksumOffset)) return false;
  if (Get32(b + 8) != kVersion || Get32(b + 12) != kSectorSize) return false;
  if (Get32(b + 52) != kFileAlignment) return false;
  Superblock sb;
  sb.partitionBytes = Get64(b + 16);
  const uint32_t areaCount = Get32(b + 24);
  sb.recordCount = Get32(b + 28);
  sb.directoryOffset = Get64(b + 32);
  sb.nextFileNumber = Get32(b + 40);
  sb.formatArg1 = static_cast<int32_t>(Get32(b + 44));
  sb.formatArg2 = static_cast<int32_t>(Get32(b + 48));
  if (sb.partitionBytes == 0 || sb.partitionBytes > partitionBytes) return false;
  if (areaCount == 0 || areaCount > kMaxAreas) return false;
  if (sb.recordCount == 0 || sb.recordCount > kMaxRecords) return false;
  if (sb.directoryOffset < kSuperblockSize || sb.directoryOffset % kSectorSize != 0 ||
      sb.directoryOffset > sb.partitionBytes)
    return false;
  const uint64_t directoryEnd = sb.directoryOffset + uint64_t{sb.recordCount} * kRecordSize;
  if (directoryEnd > sb.partitionBytes) return false;
  for (uint32_t i = 0; i < areaCount; ++i) {
    const unsigned char* e = b + kAreaTableOffset + i * kAreaEntrySize;
    Area a;
    if (!GetName(e, 64, a.name) || a.name.empty()) return false;
    a.percent = static_cast<int32_t>(Get32(e + 64));
    a.value1 = static_cast<int32_t>(Get32(e + 68));
    a.value2 = static_cast<int32_t>(Get32(e + 72));
    a.value3 = e[76];
    a.offset = Get64(e + 80);
    a.length = Get64(e + 88);
    if (a.length == 0 || a.length % kFileAlignment != 0 || a.offset % kFileAlignment != 0) return false;
    if (a.offset < directoryEnd || a.offset > sb.partitionBytes || a.length > sb.partitionBytes - a.offset)
      return false;
    for (const Area& other : sb.areas) {
      if (other.name == a.name) return false;
      if (a.offset < other.offset + other.length && other.offset < a.offset + a.length) return false;
    }
    sb.areas.push_back(a);
  }
  out = std::move(sb);
  return true;
}

void EncodeSuperblock(const Superblock& sb, unsigned char* b) {
  std::memset(b, 0, kSuperblockSize);
  std::memcpy(b, kMagic, sizeof kMagic);
  Put32(b + 8, kVersion);
  Put32(b + 12, kSectorSize);
  Put64(b + 16, sb.partitionBytes);
  Put32(b + 24, static_cast<uint32_t>(sb.areas.size()));
  Put32(b + 28, sb.recordCount);
  Put64(b + 32, sb.directoryOffset);
  Put32(b + 40, sb.nextFileNumber);
  Put32(b + 44, static_cast<uint32_t>(sb.formatArg1));
  Put32(b + 48, static_cast<uint32_t>(sb.formatArg2));
  Put32(b + 52, kFileAlignment);
  for (size_t i = 0; i < sb.areas.size() && i < kMaxAreas; ++i) {
    unsigned char* e = b + kAreaTableOffset + i * kAreaEntrySize;
    const Area& a = sb.areas[i];
    std::memcpy(e, a.name.data(), std::min<size_t>(a.name.size(), 63));
    Put32(e + 64, static_cast<uint32_t>(a.percent));
    Put32(e + 68, static_cast<uint32_t>(a.value1));
    Put32(e + 72, static_cast<uint32_t>(a.value2));
    e[76] = a.value3;
    Put64(e + 80, a.offset);
    Put64(e + 88, a.length);
  }
  Put32(b + kChecksumOffset, Crc32(b, kChecksumOffset));
}

bool ParseRecord(const unsigned char* b, const Superblock& sb, DirRecord& out) {
  const unsigned char state = b[106];
  if (state != kWriting && state != kClosed) return false;
  if (Crc32(b, kRecordChecksum) != Get32(b + kRecordChecksum)) return false;
  DirRecord r;
  if (!GetName(b, kRecordNameField, r.name) || r.name.empty()) return false;
  if (r.name.find('/') != std::string::npos) return false;
  r.number = Get32(b + 98);
  r.size = Get32(b + 102);
  r.state = state;
  r.area = b[107];
  r.start = Get64(b + 108);
  // The listing cursor is the number after the last one listed: it must fit an int32.
  if (r.number == 0 || r.number >= kNumberLimit) return false;
  if (r.area >= sb.areas.size()) return false;
  const Area& a = sb.areas[r.area];
  if (r.start >= a.length || r.start % kFileAlignment != 0 || r.size > a.length) return false;
  out = std::move(r);
  return true;
}

void EncodeRecord(const DirRecord& r, unsigned char* b) {
  std::memset(b, 0, kRecordSize);
  if (r.state == kFree) return;
  std::memcpy(b, r.name.data(), std::min<size_t>(r.name.size(), kRecordNameField - 1));
  Put32(b + 98, r.number);
  Put32(b + 102, r.size);
  b[106] = r.state;
  b[107] = r.area;
  Put64(b + 108, r.start);
  Put32(b + kRecordChecksum, Crc32(b, kRecordChecksum));
}

int ReadVolumeHeader(const CardDevice& device, PartitionEntry& partition, Superblock& sb) {
  PartitionTable table;
  if (!ReadPartitionTable(device, table)) return KOVR_E_NOT_KOVR;
  const PartitionEntry& p2 = table.entries[1];
  if (!p2.Used() || p2.type != kKovrType) return KOVR_E_NOT_KOVR;
  const uint64_t bytes = uint64_t{p2.count} * kSectorSize;
  if (bytes < kSuperblockSize) return KOVR_E_NOT_KOVR;
  unsigned char block[kSuperblockSize];
  if (!device.ReadAt(uint64_t{p2.start} * kSectorSize, block, sizeof block)) return KOVR_E_IO;
  if (!ParseSuperblock(block, bytes, sb)) return KOVR_E_NOT_KOVR;
  partition = p2;
  return KOVR_OK;
}

bool ParseAreaTable(const unsigned char* table, std::vector<Area>& areas) {
  const unsigned count = table[0];
  if (count == 0 || count > kMaxAreas) return false;
  std::vector<Area> parsed;
  int64_t total = 0;
  for (unsigned i = 0; i < count; ++i) {
    const unsigned char* e = table + 1 + i * KOVR_AREA_ENTRY_SIZE;
    Area a;
    if (!GetName(e, 64, a.name) || a.name.empty() || a.name.find('/') != std::string::npos) return false;
    a.percent = static_cast<int32_t>(Get32(e + 64));
    a.value1 = static_cast<int32_t>(Get32(e + 68));
    a.value2 = static_cast<int32_t>(Get32(e + 72));
    a.value3 = e[76];
    if (a.percent <= 0 || a.percent > 100) return false;
    total += a.percent;
    for (const Area& other : parsed)
      if (other.name == a.name) return false;
    parsed.push_back(a);
  }
  if (total > 100) return false;
  areas = std::move(parsed);
  return true;
}

int FormatVolume(CardDevice& device, const std::vector<Area>& requested, int32_t arg1, int32_t arg2) {
  if (!device.Writable()) return KOVR_E_READ_ONLY;
  PartitionTable table;
  if (!ReadPartitionTable(device, table)) return KOVR_E_PARTITION;
  PartitionEntry& p2 = table.entries[1];
  if (!p2.Used()) return KOVR_E_PARTITION;
  const uint64_t partStart = uint64_t{p2.start} * kSectorSize;
  const uint64_t partBytes = uint64_t{p2.count} * kSectorSize;

  Superblock sb;
  sb.partitionBytes = partBytes;
  sb.recordCount = static_cast<uint32_t>(std::clamp<uint64_t>(partBytes / kMiB * 2, kMinRecords, kMaxRecords));
  sb.directoryOffset = kDirectoryOffset;
  sb.nextFileNumber = 1;
  sb.formatArg1 = arg1;
  sb.formatArg2 = arg2;
  const uint64_t areasStart = AlignUp(sb.directoryOffset + uint64_t{sb.recordCount} * kRecordSize, kMiB);
  if (partBytes < areasStart + requested.size() * kMiB) return KOVR_E_NO_SPACE;
  const uint64_t usable = partBytes - areasStart;
  uint64_t offset = areasStart;
  for (const Area& want : requested) {
    Area a = want;
    a.offset = offset;
    a.length = usable * static_cast<uint64_t>(want.percent) / 100 / kMiB * kMiB;
    if (a.length == 0) return KOVR_E_NO_SPACE;
    offset += a.length;
    sb.areas.push_back(a);
  }

  // The old superblock goes first, so a format cut short leaves no file system
  // behind rather than a stale one over a fresh directory.
  if (p2.type != kKovrType) {
    p2.type = kKovrType;
    if (!WritePartitionTable(device, table)) return KOVR_E_IO;
  }
  if (!device.ZeroRange(partStart, kSuperblockSize)) return KOVR_E_IO;
  if (!device.ZeroRange(partStart + sb.directoryOffset, uint64_t{sb.recordCount} * kRecordSize)) return KOVR_E_IO;
  unsigned char block[kSuperblockSize];
  EncodeSuperblock(sb, block);
  if (!device.WriteAt(partStart, block, sizeof block)) return KOVR_E_IO;
  return device.Flush() ? KOVR_OK : KOVR_E_IO;
}

}  // namespace kovr
