// The two lists of drives the card list and the sources read: a drive table (the file
// TARVO_DRIVE_TABLE names) and the kernel's mountinfo, given any bytes. Every drive
// read has a root and a device, and mount points are decoded without running off
// their text.

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "sources/DriveProbe.h"
#include "sources/DriveTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzzsupport::MemoryFile file(data, size);
  std::vector<drives::Drive> table;
  if (drives::ReadDriveTable(file.Path(), table)) {
    for (const drives::Drive& drive : table) {
      if (drive.root.empty() || drive.device.empty()) __builtin_trap();
    }
  }
  // No /sys behind the mounts: every device is looked up and not found.
  drives::ListMountedDrives(file.Path(), (fuzzsupport::ScratchFolder() / "sys").string());
  drives::DecodeMountField(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
