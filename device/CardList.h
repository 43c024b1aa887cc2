#pragma once
// The memory cards the settings dialog offers: removable disks under 100 GiB with a
// medium, mounted or not, that may be offered (never a disk of the running system, or
// one with a foreign volume mounted) and that this user can reach.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sources/DriveTable.h"

namespace device {

// Cards of 100 GiB and more are never dashcam cards (a disk, most likely).
constexpr uint64_t kMaxCardGiB = 100;

struct CardEntry {
  // The mounted first partition (or its stand-in folder), ending in "/"; the device
  // itself when nothing of the card is mounted.
  std::string root;
  int driveIndex = -1;                // position in the drive list it was found in
  std::string physicalPath;           // the whole disk: /dev/sdX, /dev/mmcblkN or an image file
  unsigned long fileSystemFlags = 0;  // statvfs flags of the volume (ST_RDONLY, ...)
  std::string label;                  // the FAT volume label, "" when there is none
  bool throughService = false;        // reached through the desktop's disk service
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

// The card of `cards` on the same device as `wanted` (its root may have changed).
std::optional<CardEntry> FindCard(const std::vector<CardEntry>& cards, const CardEntry& wanted);

// Whether the recordings listed from `loaded` (the root of the source they came from,
// or the folder chosen) came from `card`: its root, a folder on it, or its device.
bool ListedFrom(const std::string& loaded, const CardEntry& card);

// Same card: same root and same device.
bool SameCard(const CardEntry& a, const CardEntry& b);

// A root with exactly one trailing "/", so roots compare alike however they were written.
std::string NormalisedRoot(const std::string& root);

}  // namespace device
