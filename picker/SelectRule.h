#pragma once
// Which folders the picker refuses: the root of a fixed file system, whose scan would
// walk a whole disk. On this system that is "/" and the mount point of every volume
// whose disk is not removable; the root of a memory card (a removable disk's mount
// point) is a normal choice.

#include <string>
#include <vector>

#include "sources/DriveTable.h"

namespace picker {

// True when `path` is "/" or the root of one of `drives` that is not removable, unless
// a removable drive has that very root. Trailing separators, "." parts and symbolic
// links do not hide a root.
bool IsFixedDriveRoot(const std::string& path, const std::vector<drives::Drive>& drives);

// The first path of `selection` that IsFixedDriveRoot refuses; -1 when none is.
int FirstRefusedPath(const std::vector<std::string>& selection, const std::vector<drives::Drive>& drives);

}  // namespace picker
