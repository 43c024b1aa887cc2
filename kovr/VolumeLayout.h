#pragma once
// The card file system's fixed structures on partition 2: the superblock with its
// area table, and the directory records. docs/card-format.md describes the bytes.

#include <cstdint>
#include <string>
#include <vector>

#include "kovr/CardDevice.h"
#include "kovr/Mbr.h"

namespace kovr {

constexpr uint32_t kSuperblockSize = 4096;
constexpr uint32_t kVersion = 1;
constexpr uint32_t kRecordSize = 128;
constexpr uint32_t kRecordNameField = 98;
constexpr uint32_t kFileAlignment = 4096;
constexpr uint64_t kMiB = 1024 * 1024;
constexpr uint64_t kDirectoryOffset = kMiB;
constexpr uint32_t kMinRecords = 1024;
constexpr uint32_t kMaxRecords = 262144;
constexpr size_t kMaxAreas = 16;
// File numbers stay below this, so the number after the last one still fits an int32.
constexpr uint32_t kNumberLimit = 0x7FFFFFFFu;

enum RecordState : unsigned char { kFree = 0, kWriting = 1, kClosed = 2 };

struct Area {
  std::string name;
  int32_t percent = 0;
  int32_t value1 = 0;  // the table's three further values, kept as given
  int32_t value2 = 0;
  unsigned char value3 = 0;
  uint64_t offset = 0;  // bytes from the start of the partition
  uint64_t length = 0;
};

struct Superblock {
  uint64_t partitionBytes = 0;
  uint32_t recordCount = 0;
  uint64_t directoryOffset = 0;
  uint32_t nextFileNumber = 1;
  int32_t formatArg1 = 0;
  int32_t formatArg2 = 0;
  std::vector<Area> areas;
};

struct DirRecord {
  std::string name;
  uint32_t number = 0;
  uint32_t size = 0;
  unsigned char state = kFree;
  unsigned char area = 0;
  uint64_t start = 0;  // bytes from the start of the area
};

// Parses and validates a superblock for a partition of partitionBytes; false for a
// foreign or damaged one (bad magic or checksum, anything out of the partition).
bool ParseSuperblock(const unsigned char* bytes, uint64_t partitionBytes, Superblock& out);
void EncodeSuperblock(const Superblock& sb, unsigned char* bytes);

// A record in use that is consistent with the superblock; false for a free or damaged
// one.
bool ParseRecord(const unsigned char* bytes, const Superblock& sb, DirRecord& out);
void EncodeRecord(const DirRecord& rec, unsigned char* bytes);

// Finds partition 2 and reads its superblock: KOVR_OK or a negative code.
int ReadVolumeHeader(const CardDevice& device, PartitionEntry& partition, Superblock& sb);

// Parses the caller's area table (count byte, 77-byte entries); false when invalid.
bool ParseAreaTable(const unsigned char* table, std::vector<Area>& areas);

// Lays out a fresh file system on partition 2: KOVR_OK or a negative code.
int FormatVolume(CardDevice& device, const std::vector<Area>& areas, int32_t arg1, int32_t arg2);

}  // namespace kovr
