#include "sources/DriveProbe.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace drives {

namespace fs = std::filesystem;

namespace {

struct Mount {
  std::string majorMinor;
  std::string root;  // the folder of the file system that is mounted ("/" for all of it)
  std::string mountPoint;
};

std::string ReadFirstLine(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

// The disk behind a block device number: the device itself, or the parent of a
// partition. Empty when /sys does not know the number.
std::string DiskOf(const std::string& majorMinor, const std::string& sysRoot) {
  std::error_code ec;
  const fs::path link = fs::path(sysRoot) / "dev/block" / majorMinor;
  const fs::path real = fs::canonical(link, ec);
  if (ec) return {};
  if (fs::exists(real / "partition", ec)) return real.parent_path().filename().string();
  return real.filename().string();
}

// Removable media, or a disk behind a USB or MMC card reader (readers often report
// their slot as fixed).
bool IsRemovable(const std::string& disk, const std::string& sysRoot) {
  const fs::path dir = fs::path(sysRoot) / "block" / disk;
  if (ReadFirstLine(dir / "removable") == "1") return true;
  std::error_code ec;
  const std::string real = fs::canonical(dir, ec).string();
  if (ec) return false;
  return real.find("/usb") != std::string::npos || real.find("/mmc") != std::string::npos ||
         disk.rfind("mmcblk", 0) == 0;
}

}  // namespace

std::string DecodeMountField(const std::string& field) {
  auto octal = [](char c) { return c >= '0' && c <= '7'; };
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && octal(field[i + 1]) && octal(field[i + 2]) && octal(field[i + 3])) {
      out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

std::vector<Drive> ListMountedDrives(const std::string& mountInfoPath, const std::string& sysRoot) {
  std::ifstream in(mountInfoPath);
  std::vector<Mount> mounts;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string id, parent, majorMinor, root, mountPoint;
    if (!(fields >> id >> parent >> majorMinor >> root >> mountPoint)) continue;
    mounts.push_back({majorMinor, DecodeMountField(root), DecodeMountField(mountPoint)});
  }
  std::string systemDisk;
  for (const Mount& m : mounts)
    if (m.mountPoint == "/") systemDisk = DiskOf(m.majorMinor, sysRoot);

  std::vector<Drive> drives;
  std::vector<std::string> seen;
  for (const Mount& m : mounts) {
    // One drive per volume: bind mounts of a part of it add nothing.
    if (m.root != "/" || std::find(seen.begin(), seen.end(), m.majorMinor) != seen.end()) continue;
    const std::string disk = DiskOf(m.majorMinor, sysRoot);
    if (disk.empty()) continue;
    seen.push_back(m.majorMinor);
    Drive d;
    d.root = m.mountPoint;
    d.device = "/dev/" + disk;
    d.removable = IsRemovable(disk, sysRoot);
    d.systemDisk = !systemDisk.empty() && disk == systemDisk;
    drives.push_back(std::move(d));
  }
  std::sort(drives.begin(), drives.end(), [](const Drive& a, const Drive& b) { return a.root < b.root; });
  return drives;
}

}  // namespace drives
