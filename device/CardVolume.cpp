#include "device/CardVolume.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

#include "sources/DiskService.h"
#include "sources/DriveProbe.h"

extern char** environ;

namespace device {

namespace fs = std::filesystem;

namespace {

constexpr int kNodeWaitSteps = 50;
constexpr int kNodeWaitStepMs = 100;

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

uint64_t ReadNumber(const fs::path& path) {
  std::ifstream in(path);
  uint64_t value = 0;
  in >> value;
  return in ? value : 0;
}

}  // namespace

int RunProgram(const std::vector<std::string>& argv) {
  if (argv.empty()) return -1;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {

// The mounts of the mount table in its order, each with the volume of `disk` it is
// (not mounted when it is another disk's, or /sys does not know it).
std::vector<MountedVolume> ReadMounts(const std::string& disk, const std::string& mountInfoPath,
                                      const std::string& sysRoot) {
  std::vector<MountedVolume> mounts;
  std::ifstream in(mountInfoPath);
  std::string line;
  std::error_code ec;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string id, parent, majorMinor, fsRoot, mountPoint;
    if (!(fields >> id >> parent >> majorMinor >> fsRoot >> mountPoint)) continue;
    MountedVolume v;
    v.mountPoint = drives::DecodeMountField(mountPoint);
    const fs::path real = fs::canonical(fs::path(sysRoot) / "dev/block" / majorMinor, ec);
    if (!ec && real.filename() == disk) {
      // A card without a partition table, mounted whole.
      v.mounted = true;
      v.node = "/dev/" + disk;
      v.sectorCount = ReadNumber(real / "size");
    } else if (!ec && fs::exists(real / "partition", ec) && real.parent_path().filename() == disk) {
      v.mounted = true;
      v.node = "/dev/" + real.filename().string();
      v.startSector = ReadNumber(real / "start");
      v.sectorCount = ReadNumber(real / "size");
    }
    mounts.push_back(std::move(v));
  }
  return mounts;
}

std::string DiskName(const std::string& physicalPath) {
  std::error_code ec;
  const std::string disk = fs::canonical(physicalPath, ec).filename().string();
  return ec ? std::string() : disk;
}

}  // namespace

MountedVolume FindMountedVolume(const std::string& root, const std::string& physicalPath,
                                const std::string& mountInfoPath, const std::string& sysRoot) {
  const std::string disk = DiskName(physicalPath);
  if (disk.empty()) return {};
  const std::string wanted = WithoutTrailingSlash(root);
  MountedVolume volume;
  // The last mount over a folder is the one that shows.
  for (const MountedVolume& m : ReadMounts(disk, mountInfoPath, sysRoot))
    if (m.mountPoint == wanted) volume = m;
  return volume.mounted ? volume : MountedVolume{};
}

std::vector<MountedVolume> FindCardVolumes(const std::string& physicalPath, bool throughService,
                                           const std::string& mountInfoPath, const std::string& sysRoot) {
  std::vector<MountedVolume> volumes;
  if (throughService) {
    drives::ServiceState state;
    drives::AccessError error;
    if (!drives::ReadServiceState(state, error)) return volumes;
    std::string disk;
    for (const drives::ServiceBlock& b : state.blocks)
      if (b.device == physicalPath) disk = b.object;
    for (const drives::ServiceBlock& b : state.blocks) {
      if (disk.empty() || (b.object != disk && b.partitionTable != disk)) continue;
      for (const std::string& point : b.mountPoints) volumes.push_back({true, b.device, point, 0, 0});
    }
    return volumes;
  }
  const std::string disk = DiskName(physicalPath);
  if (disk.empty()) return volumes;
  for (const MountedVolume& m : ReadMounts(disk, mountInfoPath, sysRoot))
    if (m.mounted) volumes.push_back(m);
  // Mounts over mounts come off last one first.
  std::reverse(volumes.begin(), volumes.end());
  return volumes;
}

std::string PartitionNode(const std::string& physicalPath, int number) {
  std::error_code ec;
  fs::path real = fs::canonical(physicalPath, ec);
  if (ec) real = physicalPath;
  const std::string name = real.filename().string();
  const bool endsInDigit = !name.empty() && std::isdigit(static_cast<unsigned char>(name.back()));
  return "/dev/" + name + (endsInDigit ? "p" : "") + std::to_string(number);
}

bool UnmountVolume(const MountedVolume& volume, bool throughService, const ProgramRunner& run) {
  if (!volume.mounted) return true;
  if (throughService) {
    drives::AccessError error;
    return drives::ServiceUnmount(volume.node, error);
  }
  if (::umount2(WithoutTrailingSlash(volume.mountPoint).c_str(), 0) == 0) return true;
  return run({"udisksctl", "unmount", "--no-user-interaction", "-b", volume.node}) == 0;
}

bool MountVolume(const std::string& node, const std::string& root, bool throughService, const ProgramRunner& run) {
  if (throughService) {
    // The service names the mount point itself; it may take a moment to see the new
    // partition.
    drives::AccessError error;
    std::string where;
    for (int wait = 0; wait < kNodeWaitSteps; ++wait) {
      if (drives::ServiceMount(node, where, error)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(kNodeWaitStepMs));
    }
    return false;
  }
  // After new partitions the kernel's node for partition 1 appears a moment later.
  std::error_code ec;
  for (int wait = 0; wait < kNodeWaitSteps && !fs::exists(node, ec); ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(kNodeWaitStepMs));
  if (::mount(node.c_str(), WithoutTrailingSlash(root).c_str(), "vfat", 0, nullptr) == 0) return true;
  return run({"udisksctl", "mount", "--no-user-interaction", "-b", node}) == 0;
}

}  // namespace device
