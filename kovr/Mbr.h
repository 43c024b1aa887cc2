#pragma once
// The card's MBR partition table: partition 1 FAT32 for the settings files,
// partition 2 the card file system.

#include <array>
#include <cstdint>

#include "kovr/CardDevice.h"

namespace kovr {

constexpr unsigned char kFat32Type = 0x0C;  // FAT32 with LBA addressing
constexpr unsigned char kKovrType = 0x4B;   // the card file system's own type
constexpr uint32_t kMiBSectors = 2048;
constexpr uint32_t kFirstPartitionStart = kMiBSectors;  // partitions begin at 1 MiB

struct PartitionEntry {
  unsigned char type = 0;
  uint32_t start = 0;  // first sector
  uint32_t count = 0;  // sectors
  bool Used() const { return type != 0 && count != 0; }
};

struct PartitionTable {
  std::array<PartitionEntry, 4> entries{};
};

// Reads sector 0; false when it cannot be read or carries no MBR signature. Entries
// that reach past the end of the device come back unused.
bool ReadPartitionTable(const CardDevice& device, PartitionTable& table);
// Writes the four entries (and the signature) into sector 0, keeping its boot code.
bool WritePartitionTable(CardDevice& device, const PartitionTable& table);

}  // namespace kovr
