#pragma once
// The drives of the machine as the sources see them, and the drive table that can
// stand in for them: a file named by TARVO_DRIVE_TABLE listing drives (card images
// included), so every card path runs without root rights or hardware.
//
// Table lines: ROOT|DEVICE|FLAGS, FLAGS a comma list of "removable" and "system"
// (the disk holding the root file system). Empty lines and lines starting with #
// are skipped.

#include <string>
#include <vector>

namespace drives {

inline constexpr const char* kDriveTableVariable = "TARVO_DRIVE_TABLE";

struct Drive {
  std::string root;    // mount point (or any folder standing for one)
  std::string device;  // the whole disk behind it: /dev/sdX, /dev/mmcblkN or an image
  bool removable = false;
  bool systemDisk = false;
};

// Parses a drive table; malformed lines are skipped. False when the file cannot be
// read.
bool ReadDriveTable(const std::string& path, std::vector<Drive>& drives);

// The drive table when the variable is set (no drives when it cannot be read: a test
// never falls back to the machine's own disks), else the mounted volumes.
std::vector<Drive> ListDrives();

}  // namespace drives
