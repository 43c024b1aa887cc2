#pragma once
// The machine's own drives: mounted volumes from /proc/self/mountinfo, each with the
// whole disk behind it, removable disks that have nothing mounted, which disks hold
// the running system (from /proc/swaps and /sys, through every stacking layer), and
// the same drives as the desktop's disk service reports them.

#include <set>
#include <string>
#include <vector>

#include "sources/DiskService.h"
#include "sources/DriveTable.h"

namespace drives {

// Where the machine describes itself; tests point at copies.
struct MachineFiles {
  std::string mountInfo = "/proc/self/mountinfo";
  std::string swaps = "/proc/swaps";
  std::string sysRoot = "/sys";
};

// Whole disks ("sda", "nvme0n1") that hold the running system: those under the file
// systems mounted at /, /boot, /boot/efi, /home, /usr and /var and under active swap,
// followed down through partitions, device-mapper, LUKS, md and loop devices (and
// every device of a btrfs file system); and every disk that is in use below another
// device (a holder on the disk or a partition: LVM, LUKS, md).
std::set<std::string> SystemDisks(const MachineFiles& files = {});

// Mounted volumes on block devices, one per volume, then removable disks with nothing
// mounted (their root is the device), in root order.
std::vector<Drive> ListMachineDrives(const MachineFiles& files = {});

// The old name of the mounted-volume half, for tools and tests that give copies.
std::vector<Drive> ListMountedDrives(const std::string& mountInfoPath = "/proc/self/mountinfo",
                                     const std::string& sysRoot = "/sys");

// The service's whole disks as drives: one per mounted volume, or one with the device
// as root when nothing is mounted. `systemDisks` adds what the service may not know
// (the kernel names of disks that hold the system).
std::vector<Drive> DrivesFromService(const ServiceState& state, const std::set<std::string>& systemDisks);

// A mount point as mountinfo writes it, with \040-style escapes decoded.
std::string DecodeMountField(const std::string& field);

}  // namespace drives
