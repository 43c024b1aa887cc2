#pragma once
// The volume of a real card as the system mounted it: which partition of the card's
// disk sits at the card's root, and taking it off and putting it back around a format.
// Card images named by the drive table are never mounted; their root is a plain folder.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace device {

// Runs a program and waits for it; its exit code, or -1 when it could not be started
// or did not exit normally.
using ProgramRunner = std::function<int(const std::vector<std::string>& argv)>;

// RunProgram with posix_spawn (PATH searched, output discarded).
int RunProgram(const std::vector<std::string>& argv);

struct MountedVolume {
  bool mounted = false;
  std::string node;  // the partition's device node, /dev/sdb1
  std::string mountPoint;
  uint64_t startSector = 0;  // on the whole disk
  uint64_t sectorCount = 0;
};

// The partition of the disk `physicalPath` mounted at `root`; not mounted when `root`
// is no mount point or holds another disk's volume. mountInfoPath and sysRoot let
// tests point at copies.
MountedVolume FindMountedVolume(const std::string& root, const std::string& physicalPath,
                                const std::string& mountInfoPath = "/proc/self/mountinfo",
                                const std::string& sysRoot = "/sys");

// Every mounted volume of the disk `physicalPath`: from the disk service for a card
// reached through it, else from the mount table.
std::vector<MountedVolume> FindCardVolumes(const std::string& physicalPath, bool throughService,
                                           const std::string& mountInfoPath = "/proc/self/mountinfo",
                                           const std::string& sysRoot = "/sys");

// The node of partition `number` of a disk: sdb -> /dev/sdb1, mmcblk0 -> /dev/mmcblk0p1.
std::string PartitionNode(const std::string& physicalPath, int number);

// Takes the volume off its mount point (through the disk service for a card reached
// through it, else umount as root, else udisksctl); true when it is not mounted any more.
bool UnmountVolume(const MountedVolume& volume, bool throughService, const ProgramRunner& run);

// Mounts the FAT partition `node` at `root` again (or where the disk service puts
// it); true on success.
bool MountVolume(const std::string& node, const std::string& root, bool throughService, const ProgramRunner& run);

}  // namespace device
