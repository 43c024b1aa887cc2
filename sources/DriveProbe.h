#pragma once
// The machine's own drives: mounted volumes from /proc/self/mountinfo, each with the
// whole disk behind it and whether that disk is removable, from /sys/block.

#include <string>
#include <vector>

#include "sources/DriveTable.h"

namespace drives {

// Mounted volumes on block devices, one per volume, in mount point order. sysRoot
// and mountInfo let tests point at a copy of /sys and a mountinfo text.
std::vector<Drive> ListMountedDrives(const std::string& mountInfoPath = "/proc/self/mountinfo",
                                     const std::string& sysRoot = "/sys");

// A mount point as mountinfo writes it, with \040-style escapes decoded.
std::string DecodeMountField(const std::string& field);

}  // namespace drives
