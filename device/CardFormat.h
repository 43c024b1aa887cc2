#pragma once
// Preparing a card for the dashcam: the partition-and-format sequence through the
// card library, and FAT32 on the first partition for the settings files.

#include <cstdint>
#include <string>
#include <vector>

namespace device {

// Result codes of the partition-and-format sequence.
constexpr int kFormatSuccess = 1000;
constexpr int kFormatNoCapacity = 1001;
constexpr int kFormatDeleteFailed = 1002;
constexpr int kFormatPartition1Failed = 1003;
constexpr int kFormatPartition2Failed = 1004;
constexpr int kFormatCardFileSystemFailed = 1005;

constexpr uint32_t kFirstPartitionMiB = 100;
constexpr const char* kTarvoModelName = "Tarvo";

struct CardArea {
  const char* name;
  int32_t percent;
};
// The recording areas of a card, in their order on the card.
constexpr CardArea kCardAreas[] = {{"NORMAL", 40}, {"EVENT", 20}, {"PARKING", 40}};

// The area table handed to the card library: count byte, then 77-byte entries.
std::vector<unsigned char> BuildAreaTable();

// Repartitions the whole card at physicalPath (partition 1 of 100 MiB, partition 2
// the rest) and formats the card file system on partition 2; returns 1000 or the
// code of the step that failed.
int RunPartitionAndFormat(const std::string& physicalPath);

// A short English text for a result code, for tools and logs.
const char* FormatResultText(int code);

struct CardPartition {
  unsigned char type = 0;
  uint32_t startSector = 0;
  uint32_t sectorCount = 0;
};
// The four entries of the card's partition table; false without a readable MBR.
bool ReadCardPartitions(const std::string& physicalPath, CardPartition (&out)[4]);
// The same through an open descriptor of the card.
bool ReadCardPartitions(int fd, CardPartition (&out)[4]);
// Size in bytes of the card behind an open descriptor (block device or image); 0
// when unknown.
uint64_t DescriptorSizeBytes(int fd);

// Writes FAT32 with the volume label into partition 1 with mkfs.fat; false when the
// card has no partition 1, mkfs.fat is missing, or it fails.
bool FormatFirstPartitionFat32(const std::string& physicalPath, const std::string& label);

}  // namespace device
