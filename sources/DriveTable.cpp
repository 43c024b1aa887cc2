#include "sources/DriveTable.h"

#include <cstdlib>
#include <fstream>

#include "sources/DiskService.h"
#include "sources/DriveProbe.h"

namespace drives {

namespace {

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  const size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

}  // namespace

bool ReadDriveTable(const std::string& path, std::vector<Drive>& drives) {
  std::ifstream in(path);
  if (!in) return false;
  std::vector<Drive> parsed;
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    const size_t a = line.find('|');
    const size_t b = a == std::string::npos ? a : line.find('|', a + 1);
    if (b == std::string::npos) continue;
    Drive d;
    // The root stands for a mounted volume.
    d.mounted = true;
    d.root = Trim(line.substr(0, a));
    d.device = Trim(line.substr(a + 1, b - a - 1));
    const std::string flags = line.substr(b + 1);
    size_t from = 0;
    while (from <= flags.size()) {
      const size_t comma = flags.find(',', from);
      const std::string flag = Trim(flags.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
      if (flag == "removable") d.removable = true;
      if (flag == "system") d.systemDisk = true;
      if (comma == std::string::npos) break;
      from = comma + 1;
    }
    // A drive without a root or without a device behind it is no drive.
    if (d.root.empty() || d.device.empty()) continue;
    parsed.push_back(std::move(d));
  }
  drives = std::move(parsed);
  return true;
}

std::vector<Drive> ListDrives() {
  std::vector<Drive> drives;
  if (const char* table = std::getenv(kDriveTableVariable); table && *table) {
    ReadDriveTable(table, drives);
    return drives;
  }
  if (UseDiskService()) {
    ServiceState state;
    AccessError error;
    if (ReadServiceState(state, error)) return DrivesFromService(state, SystemDisks());
  }
  return ListMachineDrives();
}

bool MayOffer(const Drive& drive) {
  return drive.removable && !drive.systemDisk && !drive.foreignMount && !drive.device.empty() && !drive.root.empty();
}

}  // namespace drives
