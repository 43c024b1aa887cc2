#include "kovr/Mbr.h"

#include "kovr/Bytes.h"

namespace kovr {

namespace {

constexpr size_t kTableOffset = 446;
constexpr size_t kEntrySize = 16;

}  // namespace

bool ReadPartitionTable(const CardDevice& device, PartitionTable& table) {
  unsigned char sector[kSectorSize];
  if (!device.ReadAt(0, sector, sizeof sector)) return false;
  if (sector[510] != 0x55 || sector[511] != 0xAA) return false;
  PartitionTable parsed;
  const uint64_t sectors = device.SectorCount();
  for (size_t i = 0; i < 4; ++i) {
    const unsigned char* e = sector + kTableOffset + i * kEntrySize;
    PartitionEntry entry;
    entry.type = e[4];
    entry.start = Get32(e + 8);
    entry.count = Get32(e + 12);
    if (entry.start == 0 || static_cast<uint64_t>(entry.start) + entry.count > sectors) entry = PartitionEntry{};
    parsed.entries[i] = entry;
  }
  table = parsed;
  return true;
}

bool WritePartitionTable(CardDevice& device, const PartitionTable& table) {
  unsigned char sector[kSectorSize] = {};
  if (!device.ReadAt(0, sector, sizeof sector)) return false;
  for (size_t i = 0; i < 4; ++i) {
    unsigned char* e = sector + kTableOffset + i * kEntrySize;
    const PartitionEntry& entry = table.entries[i];
    for (size_t k = 0; k < kEntrySize; ++k) e[k] = 0;
    if (!entry.Used()) continue;
    // CHS fields say "use the LBA values", as on any card larger than 8 GB.
    e[1] = 0xFE;
    e[2] = 0xFF;
    e[3] = 0xFF;
    e[4] = entry.type;
    e[5] = 0xFE;
    e[6] = 0xFF;
    e[7] = 0xFF;
    Put32(e + 8, entry.start);
    Put32(e + 12, entry.count);
  }
  sector[510] = 0x55;
  sector[511] = 0xAA;
  return device.WriteAt(0, sector, sizeof sector);
}

}  // namespace kovr
