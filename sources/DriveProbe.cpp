#include "sources/DriveProbe.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

namespace drives {

namespace fs = std::filesystem;

namespace {

// File systems a dashcam card carries on its first partition (or on the whole card).
const std::set<std::string> kCardFileSystems = {"vfat", "msdos", "exfat", "fat"};
// Mount points that make a disk part of the running system.
const std::set<std::string> kSystemMountPoints = {"/", "/boot", "/boot/efi", "/home", "/usr", "/var"};
// Folders under which live systems mount the medium they run from.
const char* const kLiveMediumFolders[] = {"/run/live/", "/lib/live/mount/", "/run/initramfs/", "/cdrom"};
// Disk service types that put a device under another one.
const std::set<std::string> kStackedTypes = {"LVM2_member", "crypto_LUKS", "linux_raid_member", "swap"};
// MBR type of the card file system's partition, as the service writes it.
constexpr const char* kKovrPartitionType = "0x4b";

struct Mount {
  std::string majorMinor;
  std::string root;  // the folder of the file system that is mounted ("/" for all of it)
  std::string mountPoint;
  std::string type;
  std::string source;
};

std::string ReadFirstLine(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

std::vector<Mount> ReadMounts(const std::string& path) {
  std::ifstream in(path);
  std::vector<Mount> mounts;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string id, parent, majorMinor, root, mountPoint;
    if (!(fields >> id >> parent >> majorMinor >> root >> mountPoint)) continue;
    Mount m{majorMinor, DecodeMountField(root), DecodeMountField(mountPoint), {}, {}};
    // Optional fields end at "-"; the type and the source follow.
    std::string field;
    while (fields >> field && field != "-") {
    }
    fields >> m.type >> m.source;
    m.source = DecodeMountField(m.source);
    mounts.push_back(std::move(m));
  }
  return mounts;
}

// The /sys folder of a block device number, or empty.
fs::path SysDevice(const std::string& majorMinor, const std::string& sysRoot) {
  std::error_code ec;
  const fs::path real = fs::canonical(fs::path(sysRoot) / "dev/block" / majorMinor, ec);
  return ec ? fs::path() : real;
}

bool IsPartition(const fs::path& dev) {
  std::error_code ec;
  return fs::exists(dev / "partition", ec);
}

// The disk behind a block device folder: itself, or the parent of a partition.
fs::path DiskFolder(const fs::path& dev) { return IsPartition(dev) ? dev.parent_path() : dev; }

std::string DeviceNumber(dev_t rdev) { return std::to_string(major(rdev)) + ":" + std::to_string(minor(rdev)); }

// The device number of a block device node, or of the file system a file lives on.
std::string NumberOfPath(const std::string& path, bool wantBlockNode) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  if (S_ISBLK(st.st_mode)) return DeviceNumber(st.st_rdev);
  return wantBlockNode ? std::string() : DeviceNumber(st.st_dev);
}

bool HasEntries(const fs::path& dir) {
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  return !ec && it != fs::directory_iterator();
}

// Adds the whole disks under one block device: through its slaves (device-mapper,
// LUKS, md), the backing file of a loop device, and from a partition to its disk.
void AddDisksUnder(const fs::path& dev, const MachineFiles& files, std::set<std::string>& disks, int depth = 0) {
  if (dev.empty() || depth > 16) return;
  std::error_code ec;
  const fs::path slaves = dev / "slaves";
  if (HasEntries(slaves)) {
    for (const auto& entry : fs::directory_iterator(slaves, ec))
      AddDisksUnder(fs::canonical(entry.path(), ec), files, disks, depth + 1);
    return;
  }
  const std::string backing = ReadFirstLine(dev / "loop/backing_file");
  if (!backing.empty()) {
    // A loop device holds the disk its backing file lives on.
    AddDisksUnder(SysDevice(NumberOfPath(backing, false), files.sysRoot), files, disks, depth + 1);
    return;
  }
  if (IsPartition(dev)) {
    AddDisksUnder(dev.parent_path(), files, disks, depth + 1);
    return;
  }
  disks.insert(dev.filename().string());
}

// The number of a device named /dev/NAME, as /sys knows it (no device node needed).
std::string NumberOfDeviceName(const std::string& path, const std::string& sysRoot) {
  if (path.rfind("/dev/", 0) != 0) return {};
  std::error_code ec;
  const fs::path link = fs::path(sysRoot) / "class/block" / fs::path(path).filename();
  std::string number = ReadFirstLine(link / "dev");
  if (number.empty()) number = NumberOfPath(path, true);
  return number;
}

// The block device a mount stands on: its number, or (btrfs and others report an
// anonymous number) the device named as its source.
std::string MountDevice(const Mount& m, const std::string& sysRoot) {
  if (m.majorMinor.rfind("0:", 0) != 0) return m.majorMinor;
  return NumberOfDeviceName(m.source, sysRoot);
}

bool IsSystemMount(const Mount& m) {
  if (kSystemMountPoints.count(m.mountPoint)) return true;
  for (const char* folder : kLiveMediumFolders)
    if (m.mountPoint.rfind(folder, 0) == 0) return true;
  return false;
}

// Every device of the btrfs file system that a device belongs to.
void AddBtrfsDevices(const std::string& majorMinor, const MachineFiles& files, std::set<std::string>& disks) {
  const fs::path dev = SysDevice(majorMinor, files.sysRoot);
  std::error_code ec;
  const fs::path btrfs = fs::path(files.sysRoot) / "fs/btrfs";
  for (const auto& volume : fs::directory_iterator(btrfs, ec)) {
    const fs::path devices = volume.path() / "devices";
    bool member = false;
    std::vector<fs::path> all;
    for (const auto& d : fs::directory_iterator(devices, ec)) {
      const fs::path real = fs::canonical(d.path(), ec);
      all.push_back(real);
      if (!ec && real == dev) member = true;
    }
    if (member)
      for (const fs::path& d : all) AddDisksUnder(d, files, disks);
  }
}

// Removable media, or a card in a built-in MMC slot (such slots report fixed).
bool IsRemovable(const fs::path& diskFolder) {
  if (ReadFirstLine(diskFolder / "removable") == "1") return true;
  return diskFolder.filename().string().rfind("mmcblk", 0) == 0;
}

uint64_t SizeBytes(const fs::path& diskFolder) {
  std::ifstream in(diskFolder / "size");
  uint64_t sectors = 0;
  in >> sectors;
  return in ? sectors * 512 : 0;
}

int PartitionNumber(const fs::path& dev) {
  std::ifstream in(dev / "partition");
  int number = 0;
  in >> number;
  return in ? number : 0;
}

// Whether a mount of the disk is one a dashcam card carries.
bool CardLikeMount(int partitionNumber, const std::string& type) {
  return (partitionNumber <= 1) && kCardFileSystems.count(type) != 0;
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
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

std::set<std::string> SystemDisks(const MachineFiles& files) {
  std::set<std::string> disks;
  const std::vector<Mount> mounts = ReadMounts(files.mountInfo);
  for (const Mount& m : mounts) {
    if (!IsSystemMount(m)) continue;
    const std::string number = MountDevice(m, files.sysRoot);
    if (number.empty()) continue;
    AddDisksUnder(SysDevice(number, files.sysRoot), files, disks);
    if (m.type == "btrfs") AddBtrfsDevices(number, files, disks);
  }
  std::ifstream swaps(files.swaps);
  std::string line;
  std::getline(swaps, line);  // the heading
  while (std::getline(swaps, line)) {
    std::istringstream fields(line);
    std::string name;
    if (!(fields >> name)) continue;
    name = DecodeMountField(name);
    std::string number = NumberOfDeviceName(name, files.sysRoot);
    if (number.empty()) number = NumberOfPath(name, false);  // a swap file: the disk it lives on
    AddDisksUnder(SysDevice(number, files.sysRoot), files, disks);
  }
  // Disks in use below another device: a holder on the disk or on a partition.
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(fs::path(files.sysRoot) / "block", ec)) {
    const fs::path disk = fs::canonical(entry.path(), ec);
    if (ec) continue;
    bool held = HasEntries(disk / "holders");
    for (const auto& sub : fs::directory_iterator(disk, ec))
      if (IsPartition(sub.path()) && HasEntries(sub.path() / "holders")) held = true;
    if (held) disks.insert(entry.path().filename().string());
  }
  return disks;
}

std::vector<Drive> ListMountedDrives(const std::string& mountInfoPath, const std::string& sysRoot) {
  MachineFiles files;
  files.mountInfo = mountInfoPath;
  files.sysRoot = sysRoot;
  files.swaps = "/nonexistent";
  const std::set<std::string> system = SystemDisks(files);
  const std::vector<Mount> mounts = ReadMounts(mountInfoPath);
  // Disks with a mount a card does not carry.
  std::set<std::string> foreign;
  for (const Mount& m : mounts) {
    const fs::path dev = SysDevice(MountDevice(m, sysRoot), sysRoot);
    if (dev.empty()) continue;
    if (!CardLikeMount(IsPartition(dev) ? PartitionNumber(dev) : 0, m.type))
      foreign.insert(DiskFolder(dev).filename().string());
  }
  std::vector<Drive> drives;
  std::vector<std::string> seen;
  for (const Mount& m : mounts) {
    // One drive per volume: bind mounts of a part of it add nothing.
    const std::string number = MountDevice(m, sysRoot);
    if (m.root != "/" || number.empty() || std::find(seen.begin(), seen.end(), number) != seen.end()) continue;
    const fs::path dev = SysDevice(number, sysRoot);
    if (dev.empty()) continue;
    seen.push_back(number);
    const fs::path disk = DiskFolder(dev);
    const std::string name = disk.filename().string();
    Drive d;
    d.root = m.mountPoint;
    d.device = "/dev/" + name;
    d.removable = IsRemovable(disk);
    d.systemDisk = system.count(name) != 0;
    d.foreignMount = foreign.count(name) != 0;
    d.mounted = true;
    d.sizeBytes = SizeBytes(disk);
    drives.push_back(std::move(d));
  }
  std::sort(drives.begin(), drives.end(), [](const Drive& a, const Drive& b) { return a.root < b.root; });
  return drives;
}

std::vector<Drive> ListMachineDrives(const MachineFiles& files) {
  std::vector<Drive> drives = ListMountedDrives(files.mountInfo, files.sysRoot);
  const std::set<std::string> system = SystemDisks(files);
  for (Drive& d : drives)
    if (system.count(d.device.substr(5))) d.systemDisk = true;
  // Removable disks with nothing mounted: blank, damaged or not mounted by the desktop.
  std::error_code ec;
  std::vector<Drive> unmounted;
  for (const auto& entry : fs::directory_iterator(fs::path(files.sysRoot) / "block", ec)) {
    const std::string name = entry.path().filename().string();
    const std::string device = "/dev/" + name;
    // Real disks have a device behind them; loop, device-mapper and md devices do not.
    if (!fs::exists(entry.path() / "device", ec)) continue;
    if (std::any_of(drives.begin(), drives.end(), [&](const Drive& d) { return d.device == device; })) continue;
    const fs::path disk = fs::canonical(entry.path(), ec);
    if (ec || !IsRemovable(disk)) continue;
    Drive d;
    d.root = device;
    d.device = device;
    d.removable = true;
    d.systemDisk = system.count(name) != 0;
    d.sizeBytes = SizeBytes(disk);
    // No medium in the slot.
    if (d.sizeBytes == 0) continue;
    unmounted.push_back(std::move(d));
  }
  drives.insert(drives.end(), unmounted.begin(), unmounted.end());
  std::sort(drives.begin(), drives.end(), [](const Drive& a, const Drive& b) { return a.root < b.root; });
  return drives;
}

std::vector<Drive> DrivesFromService(const ServiceState& state, const std::set<std::string>& systemDisks) {
  std::map<std::string, const ServiceBlock*> byObject;
  for (const ServiceBlock& b : state.blocks) byObject[b.object] = &b;
  // Objects with something stacked on them (an open LUKS device names its backing one).
  std::set<std::string> stackedUnder;
  for (const ServiceBlock& b : state.blocks)
    if (!b.cryptoBacking.empty() && b.cryptoBacking != "/") stackedUnder.insert(b.cryptoBacking);

  std::vector<Drive> drives;
  for (const ServiceBlock& disk : state.blocks) {
    // Whole disks only: no partitions, nothing stacked, no arrays.
    if (!disk.partitionTable.empty() || (!disk.cryptoBacking.empty() && disk.cryptoBacking != "/")) continue;
    if (disk.device.rfind("/dev/dm-", 0) == 0 || disk.device.rfind("/dev/md", 0) == 0 ||
        disk.device.rfind("/dev/zram", 0) == 0 || disk.device.rfind("/dev/sr", 0) == 0 || disk.size == 0)
      continue;
    std::vector<const ServiceBlock*> members = {&disk};
    for (const ServiceBlock& b : state.blocks)
      if (b.partitionTable == disk.object) members.push_back(&b);

    Drive base;
    base.device = disk.device;
    base.sizeBytes = disk.size;
    base.throughService = true;
    const auto drive = state.drives.find(disk.drive);
    if (drive != state.drives.end())
      base.removable = !disk.hintSystem && (drive->second.mediaRemovable || drive->second.connectionBus == "sdio");
    else
      base.removable = !disk.hintSystem;  // a loop device the system does not claim
    std::error_code ec;
    const std::string kernelName = fs::path(fs::weakly_canonical(disk.device, ec)).filename().string();
    base.systemDisk = systemDisks.count(kernelName) != 0 || systemDisks.count(fs::path(disk.device).filename()) != 0;
    struct Volume {
      std::string mountPoint;
      uint32_t number;
    };
    std::vector<Volume> volumes;
    for (const ServiceBlock* b : members) {
      if (b->hintSystem || kStackedTypes.count(b->idType) || b->swapActive || stackedUnder.count(b->object) ||
          (!b->mdRaidMember.empty() && b->mdRaidMember != "/"))
        base.systemDisk = true;
      if (b->partitionType == kKovrPartitionType) base.kovrPartition = true;
      if ((b == &disk && !disk.hasPartitionTable) || b->partitionNumber == 1)
        base.label = b->idLabel.empty() ? base.label : b->idLabel;
      for (const std::string& point : b->mountPoints) {
        if (kSystemMountPoints.count(WithoutTrailingSlash(point))) base.systemDisk = true;
        if (!CardLikeMount(b->partitionNumber, b->idType)) base.foreignMount = true;
        volumes.push_back({point, b->partitionNumber});
      }
    }
    // The first partition's volume first: it is the card's root.
    std::stable_sort(volumes.begin(), volumes.end(),
                     [](const Volume& a, const Volume& b) { return (a.number == 1) > (b.number == 1); });
    if (volumes.empty()) {
      Drive d = base;
      d.root = disk.device;
      drives.push_back(std::move(d));
    }
    for (const Volume& v : volumes) {
      Drive d = base;
      d.root = v.mountPoint;
      d.mounted = true;
      drives.push_back(std::move(d));
    }
  }
  std::stable_sort(drives.begin(), drives.end(), [](const Drive& a, const Drive& b) { return a.root < b.root; });
  return drives;
}

}  // namespace drives
