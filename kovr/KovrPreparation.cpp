// The calls that inspect and prepare a card: recognition, device information,
// partitions and the file system format.

#include <algorithm>
#include <cstring>

#include "kovr/Bytes.h"
#include "kovr/Kovr.h"
#include "kovr/Mbr.h"
#include "kovr/VolumeLayout.h"

using kovr::CardDevice;
using kovr::PartitionEntry;
using kovr::PartitionTable;

namespace {

// A device with no MBR yet gets an empty table, so a blank card can be partitioned.
bool ReadOrEmptyTable(const CardDevice& device, PartitionTable& table) {
  if (kovr::ReadPartitionTable(device, table)) return true;
  table = PartitionTable{};
  return device.SectorCount() > 0;
}

}  // namespace

extern "C" {

int VK_Kovr_Check_Kovr_partition(const char* physicalPath) {
  if (!physicalPath) return 0;
  CardDevice device;
  if (!device.Open(physicalPath, false)) return 0;
  PartitionEntry partition;
  kovr::Superblock sb;
  return kovr::ReadVolumeHeader(device, partition, sb) == KOVR_OK ? 1 : 0;
}

int VK_Kovr_Get_Master_Device_Info(const char* physicalPath, void* info) {
  if (!physicalPath || !info) return KOVR_E_ARGUMENT;
  auto* out = static_cast<unsigned char*>(info);
  std::memset(out, 0, KOVR_DEVICE_INFO_SIZE);
  CardDevice device;
  if (!device.Open(physicalPath, false)) return KOVR_E_IO;
  const uint64_t sectors = device.SectorCount();
  kovr::Put32(out, KOVR_DEVICE_INFO_SIZE);
  kovr::Put32(out + 4, static_cast<uint32_t>(kovr::kSectorSize));
  kovr::Put32(out + 8, VK_Kovr_Check_Kovr_partition(physicalPath) ? 1u : 0u);
  kovr::Put32(out + KOVR_DEVICE_INFO_SECTORS32, sectors > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(sectors));
  kovr::Put64(out + KOVR_DEVICE_INFO_SECTORS64, sectors);
  return KOVR_OK;
}

int VK_Kovr_Delete_Partition(const char* physicalPath, int mask) {
  if (!physicalPath || mask <= 0) return KOVR_E_ARGUMENT;
  CardDevice device;
  if (!device.Open(physicalPath, true, true)) return KOVR_E_IO;
  if (!device.Writable()) return KOVR_E_READ_ONLY;
  PartitionTable table;
  if (!ReadOrEmptyTable(device, table)) return KOVR_E_IO;
  for (size_t i = 0; i < 4; ++i) {
    if (!(mask & (1 << i))) continue;
    PartitionEntry& e = table.entries[i];
    // A deleted card file system must not come back when a partition is later made
    // at the same place: its superblock goes with it.
    if (e.Used() && e.type == kovr::kKovrType && uint64_t{e.count} * kovr::kSectorSize >= kovr::kSuperblockSize &&
        !device.ZeroRange(uint64_t{e.start} * kovr::kSectorSize, kovr::kSuperblockSize))
      return KOVR_E_IO;
    e = PartitionEntry{};
  }
  if (!kovr::WritePartitionTable(device, table) || !device.Flush()) return KOVR_E_IO;
  device.RereadPartitions();
  return KOVR_OK;
}

int VK_Kovr_Create_Partition(const char* physicalPath, int partitionNumber, uint32_t sizeMiBLow, uint32_t sizeMiBHigh,
                             uint32_t* startSector, uint32_t* sectorCount) {
  if (!physicalPath || partitionNumber < 1 || partitionNumber > 4) return KOVR_E_ARGUMENT;
  const uint64_t sizeMiB = uint64_t{sizeMiBHigh} << 32 | sizeMiBLow;
  if (sizeMiB == 0) return KOVR_E_ARGUMENT;
  CardDevice device;
  if (!device.Open(physicalPath, true, true)) return KOVR_E_IO;
  if (!device.Writable()) return KOVR_E_READ_ONLY;
  PartitionTable table;
  if (!ReadOrEmptyTable(device, table)) return KOVR_E_IO;
  const auto index = static_cast<size_t>(partitionNumber - 1);
  if (table.entries[index].Used()) return KOVR_E_PARTITION;
  // Behind the last partition in use before this one, on a whole MiB.
  uint64_t start = kovr::kFirstPartitionStart;
  for (size_t i = 0; i < index; ++i) {
    const PartitionEntry& e = table.entries[i];
    if (!e.Used()) continue;
    const uint64_t end = uint64_t{e.start} + e.count;
    start = std::max<uint64_t>(start, (end + kovr::kMiBSectors - 1) / kovr::kMiBSectors * kovr::kMiBSectors);
  }
  const uint64_t total = std::min<uint64_t>(device.SectorCount(), 0xFFFFFFFFu);
  if (start >= total) return KOVR_E_NO_SPACE;
  // The size asked for is the capacity less partition 1, which leaves no room for the
  // MBR's first MiB: cut it to the whole MiB that fit.
  const uint64_t fitMiB = (total - start) / kovr::kMiBSectors;
  const uint64_t useMiB = std::min(sizeMiB, fitMiB);
  if (useMiB == 0) return KOVR_E_NO_SPACE;
  PartitionEntry entry;
  entry.type = partitionNumber == 2 ? kovr::kKovrType : kovr::kFat32Type;
  entry.start = static_cast<uint32_t>(start);
  entry.count = static_cast<uint32_t>(useMiB * kovr::kMiBSectors);
  for (size_t i = 0; i < 4; ++i) {
    const PartitionEntry& e = table.entries[i];
    if (i == index || !e.Used()) continue;
    if (entry.start < uint64_t{e.start} + e.count && e.start < uint64_t{entry.start} + entry.count)
      return KOVR_E_PARTITION;
  }
  table.entries[index] = entry;
  if (!kovr::WritePartitionTable(device, table) || !device.Flush()) return KOVR_E_IO;
  device.RereadPartitions();
  if (startSector) *startSector = entry.start;
  if (sectorCount) *sectorCount = entry.count;
  return KOVR_OK;
}

int VK_Kovr_Format(const char* physicalPath, const char* volumePath, int arg1, int arg2, const void* areaTable,
                   void* reserved) {
  (void)reserved;
  if (!physicalPath || !areaTable) return KOVR_E_ARGUMENT;
  if (volumePath && std::strcmp(volumePath, physicalPath) != 0) return KOVR_E_ARGUMENT;
  std::vector<kovr::Area> areas;
  if (!kovr::ParseAreaTable(static_cast<const unsigned char*>(areaTable), areas)) return KOVR_E_ARGUMENT;
  CardDevice device;
  if (!device.Open(physicalPath, true, true)) return KOVR_E_IO;
  return kovr::FormatVolume(device, areas, arg1, arg2);
}

}  // extern "C"
