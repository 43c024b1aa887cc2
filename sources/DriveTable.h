#pragma once
// The drives of the machine as the sources see them, and the drive table that can
// stand in for them: a file named by TARVO_DRIVE_TABLE listing drives (card images
// included), so every card path runs without root rights or hardware.
//
// Table lines: ROOT|DEVICE|FLAGS, FLAGS a comma list of "removable" and "system"
// (a disk holding the running system). Empty lines and lines starting with #
// are skipped.

#include <cstdint>
#include <string>
#include <vector>

namespace drives {

inline constexpr const char* kDriveTableVariable = "TARVO_DRIVE_TABLE";

struct Drive {
  // The mount point of a volume of the disk (or any folder standing for one); the
  // device itself when nothing of the disk is mounted.
  std::string root;
  std::string device;  // the whole disk behind it: /dev/sdX, /dev/mmcblkN or an image
  bool removable = false;
  // Never a source, never formatted: the disk holds the running system (/, /boot,
  // /boot/efi, /home, /usr, /var, active swap, through LVM, LUKS, md, btrfs or a loop
  // device), or is in use below another device (an LVM physical volume, a
  // device-mapper, LUKS or md member), or the disk service calls it a system disk.
  bool systemDisk = false;
  // A volume of the disk is mounted that a dashcam card does not carry (another
  // partition than the first, or a file system other than FAT): never a card.
  bool foreignMount = false;
  bool mounted = false;  // root is a mount point
  uint64_t sizeBytes = 0;
  std::string label;            // the service's label of its first volume; "" when unknown
  bool kovrPartition = false;   // the service lists a partition of the card file system's type
  bool throughService = false;  // opened through the desktop's disk service
};

// Parses a drive table; malformed lines are skipped. False when the file cannot be
// read.
bool ReadDriveTable(const std::string& path, std::vector<Drive>& drives);

// The drive table when the variable is set (no drives when it cannot be read: a test
// never falls back to the machine's own disks); else the disk service's drives where
// the process uses it; else the machine's own from /proc and /sys.
std::vector<Drive> ListDrives();

// Whether the drive may be offered as a card or a source at all: removable, no
// system disk, nothing foreign mounted.
bool MayOffer(const Drive& drive);

}  // namespace drives
