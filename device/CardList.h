#pragma once
// The memory cards the settings dialog offers: removable volumes under 100 GiB that
// carry the card file system or answer a file-system query with a block size.

#include <cstdint>
#include <string>
#include <vector>

#include "sources/DriveTable.h"

namespace device {

// Cards of 100 GiB and more are never dashcam cards (a disk, most likely).
constexpr uint64_t kMaxCardGiB = 100;

struct CardEntry {
  std::string root;                   // the mounted first partition (or its stand-in folder), ending in "/"
  int driveIndex = -1;                // position in the drive list it was found in
  std::string physicalPath;           // the whole disk: /dev/sdX, /dev/mmcblkN or an image file
  unsigned long fileSystemFlags = 0;  // statvfs flags of the volume (ST_RDONLY, ...)
  std::string label;                  // the FAT volume label, "" when there is none
};

// "%s(%s)": label and root, as the card list shows an entry.
std::string CardEntryText(const CardEntry& entry);

// Size in bytes of a block device or image file; 0 when it cannot be opened.
uint64_t DeviceSizeBytes(const std::string& physicalPath);

// The volume label of the FAT file system on partition 1 (or of a whole-device FAT
// without a partition table), without its trailing blanks; "" for none or "NO NAME".
std::string ReadVolumeLabel(const std::string& physicalPath);

// The cards among `drives`, in their order.
std::vector<CardEntry> ListCardEntries(const std::vector<drives::Drive>& drives);

// ListCardEntries over the machine's drives (or the drive table that stands in for them).
std::vector<CardEntry> ListCards();

// Same card: same root and same device.
bool SameCard(const CardEntry& a, const CardEntry& b);

// A root with exactly one trailing "/", so roots compare alike however they were written.
std::string NormalisedRoot(const std::string& root);

}  // namespace device
