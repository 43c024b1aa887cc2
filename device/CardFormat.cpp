#include "device/CardFormat.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "kovr/Bytes.h"
#include "kovr/Kovr.h"

extern char** environ;

namespace device {

namespace {

constexpr uint32_t kAreaValue1 = 0;
constexpr uint32_t kAreaValue2 = 10000;
constexpr unsigned char kAreaValue3 = 5;
constexpr int kFormatArg = 2;

std::string FindProgram(const char* name) {
  std::string dirs = getenv("PATH") ? getenv("PATH") : "";
  dirs += ":/usr/sbin:/sbin";
  size_t from = 0;
  while (from <= dirs.size()) {
    const size_t colon = dirs.find(':', from);
    const std::string dir = dirs.substr(from, colon == std::string::npos ? std::string::npos : colon - from);
    if (!dir.empty()) {
      const std::string candidate = dir + "/" + name;
      if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    if (colon == std::string::npos) break;
    from = colon + 1;
  }
  return {};
}

// Runs a program with its output discarded; true when it exits with 0.
bool RunQuietly(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

std::vector<unsigned char> BuildAreaTable() {
  const size_t count = std::size(kCardAreas);
  std::vector<unsigned char> table(1 + count * KOVR_AREA_ENTRY_SIZE, 0);
  table[0] = static_cast<unsigned char>(count);
  for (size_t i = 0; i < count; ++i) {
    unsigned char* e = table.data() + 1 + i * KOVR_AREA_ENTRY_SIZE;
    std::strncpy(reinterpret_cast<char*>(e), kCardAreas[i].name, 63);
    kovr::Put32(e + 64, static_cast<uint32_t>(kCardAreas[i].percent));
    kovr::Put32(e + 68, kAreaValue1);
    kovr::Put32(e + 72, kAreaValue2);
    e[76] = kAreaValue3;
  }
  return table;
}

int RunPartitionAndFormat(const std::string& physicalPath) {
  const uint64_t firstMiB = kFirstPartitionMiB;
  unsigned char info[KOVR_DEVICE_INFO_SIZE] = {};
  VK_Kovr_Get_Master_Device_Info(physicalPath.c_str(), info);
  const uint64_t capacityKiB = uint64_t{kovr::Get32(info + KOVR_DEVICE_INFO_SECTORS32)} * 512 / 1024;
  if (capacityKiB == 0) return kFormatNoCapacity;
  if (VK_Kovr_Delete_Partition(physicalPath.c_str(), KOVR_DELETE_ALL_PARTITIONS) != 0) return kFormatDeleteFailed;
  uint32_t start = 0;
  uint32_t count = 0;
  if (VK_Kovr_Create_Partition(physicalPath.c_str(), 1, static_cast<uint32_t>(firstMiB), 0, &start, &count) != 0)
    return kFormatPartition1Failed;
  // A card smaller than partition 1 leaves nothing for partition 2.
  if (capacityKiB <= firstMiB * 1024) return kFormatPartition2Failed;
  const uint64_t secondMiB = (capacityKiB - firstMiB * 1024) / 1024;
  if (VK_Kovr_Create_Partition(physicalPath.c_str(), 2, static_cast<uint32_t>(secondMiB),
                               static_cast<uint32_t>(secondMiB >> 32), &start, &count) != 0)
    return kFormatPartition2Failed;
  const std::vector<unsigned char> table = BuildAreaTable();
  if (VK_Kovr_Format(physicalPath.c_str(), physicalPath.c_str(), kFormatArg, kFormatArg, table.data(), nullptr) != 0)
    return kFormatCardFileSystemFailed;
  return kFormatSuccess;
}

const char* FormatResultText(int code) {
  switch (code) {
    case kFormatSuccess:
      return "success";
    case kFormatNoCapacity:
      return "the device reports no capacity";
    case kFormatDeleteFailed:
      return "deleting the partitions failed";
    case kFormatPartition1Failed:
      return "creating partition 1 failed";
    case kFormatPartition2Failed:
      return "creating partition 2 failed";
    case kFormatCardFileSystemFailed:
      return "the card file-system format failed";
    default:
      return "unknown result";
  }
}

bool ReadCardPartitions(const std::string& physicalPath, CardPartition (&out)[4]) {
  const int fd = ::open(physicalPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ReadCardPartitions(fd, out);
  ::close(fd);
  return ok;
}

uint64_t DescriptorSizeBytes(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return 0;
  if (S_ISREG(st.st_mode)) return static_cast<uint64_t>(st.st_size);
  uint64_t bytes = 0;
  if (S_ISBLK(st.st_mode) && ::ioctl(fd, BLKGETSIZE64, &bytes) == 0) return bytes;
  return 0;
}

bool ReadCardPartitions(int fd, CardPartition (&out)[4]) {
  unsigned char mbr[512] = {};
  if (fd < 0 || ::pread(fd, mbr, sizeof mbr, 0) != static_cast<ssize_t>(sizeof mbr)) return false;
  if (mbr[510] != 0x55 || mbr[511] != 0xAA) return false;
  for (int i = 0; i < 4; ++i) {
    const unsigned char* e = mbr + 446 + 16 * i;
    out[i] = CardPartition{e[4], kovr::Get32(e + 8), kovr::Get32(e + 12)};
  }
  return true;
}

bool FormatFirstPartitionFat32(const std::string& physicalPath, const std::string& label) {
  CardPartition parts[4];
  if (!ReadCardPartitions(physicalPath, parts)) return false;
  const uint32_t start = parts[0].startSector;
  const uint32_t count = parts[0].sectorCount;
  if (parts[0].type == 0 || start == 0 || count < 2) return false;
  const std::string mkfs = FindProgram("mkfs.fat");
  if (mkfs.empty()) return false;
  // Clusters of 1 KiB, as the camera's own format makes them: with larger ones 100 MiB
  // holds too few clusters for FAT32 and readers refuse it. Labels hold 11 characters;
  // hidden sectors tell the boot sector where its partition starts.
  return RunQuietly({mkfs, "-F", "32", "-s", "2", "-n", label.substr(0, 11), "-h", std::to_string(start),
                     "--offset=" + std::to_string(start), physicalPath, std::to_string(count / 2)});
}

}  // namespace device
