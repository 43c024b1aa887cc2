// tarvo-tool card: make, format, inspect and fill card images (or cards) with the
// card library, the way the dashcam does.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "device/CardFormat.h"
#include "kovr/Bytes.h"
#include "kovr/FileListing.h"
#include "kovr/Kovr.h"
#include "platform/FileOpen.h"
#include "sources/CardConnection.h"
#include "sources/DiskService.h"
#include "sources/DriveProbe.h"

namespace cli {

namespace {

constexpr int32_t kTransferSize = 1 << 20;

const char kUsage[] =
    "usage: tarvo-tool card mkimage IMG SIZE\n"
    "       tarvo-tool card format DEV [--yes]\n"
    "       tarvo-tool card info DEV\n"
    "       tarvo-tool card ls DEV [FOLDER]\n"
    "       tarvo-tool card put DEV FOLDER FILE [--cut-at BYTES]\n"
    "       tarvo-tool card get DEV FOLDER NAME OUT\n\n"
    "Cards and card images with the dashcam's card file system. DEV is a whole card\n"
    "(/dev/sdX, /dev/mmcblkN) or an image file.\n\n"
    "  mkimage  create a blank sparse image of SIZE bytes (suffix K, M or G: 8G)\n"
    "  format   partition 1 FAT32 of 100 MiB, partition 2 the card file system with\n"
    "           the areas NORMAL 40 %, EVENT 20 %, PARKING 40 %; prints the result code.\n"
    "           Refuses a disk of the running system, one in use below another device\n"
    "           and one with a volume mounted; asks on a terminal first (--yes does not\n"
    "           ask, and a device without a terminal needs it). The device is held\n"
    "           exclusively while its partition table is written.\n"
    "  info     capacity, partitions, areas with their sizes and use\n"
    "  ls       one line per file: name, file number, size (all areas without FOLDER)\n"
    "  put      write FILE into area FOLDER as the camera does; --cut-at stops after\n"
    "           BYTES as a power cut would, leaving the file open\n"
    "  get      copy file NAME of area FOLDER to OUT\n";

bool ParseSize(const std::string& text, uint64_t& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long long v = std::strtoull(text.c_str(), &end, 10);
  if (errno != 0 || end == text.c_str() || text[0] == '-') return false;
  uint64_t unit = 1;
  const std::string suffix(end);
  if (suffix == "K" || suffix == "k")
    unit = 1ull << 10;
  else if (suffix == "M" || suffix == "m")
    unit = 1ull << 20;
  else if (suffix == "G" || suffix == "g")
    unit = 1ull << 30;
  else if (!suffix.empty())
    return false;
  if (v > UINT64_MAX / unit) return false;
  out = v * unit;
  return true;
}

// Card names are untrusted bytes: control characters never reach the terminal.
std::string Printable(const char* name) {
  std::string s(name);
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return s;
}

bool OpenCardOrSay(CardConnection& card, const std::string& path) {
  const int rc = card.Open(path);
  if (rc == 0) return true;
  std::fprintf(stderr, "tarvo-tool card: %s carries no readable card file system (%d)\n", path.c_str(), rc);
  return false;
}

std::vector<std::string> AreaNames(const CardConnection& card) {
  std::vector<std::string> names;
  const int count = VK_Kovr_Get_Area_Count(card.Block());
  for (int i = 0; i < count; ++i) {
    KovrAreaInfo info;
    if (VK_Kovr_Get_Area_Info(card.Block(), i, &info) == 0) names.emplace_back(info.name);
  }
  return names;
}

int MakeImage(const Args& a) {
  uint64_t size = 0;
  if (a.size() != 3 || !ParseSize(a[2], size) || size < 512) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const int fd = ::open(a[1].c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0 || ::ftruncate(fd, static_cast<off_t>(size)) != 0) {
    std::fprintf(stderr, "tarvo-tool card: cannot create %s: %s\n", a[1].c_str(), std::strerror(errno));
    if (fd >= 0) ::close(fd);
    return 1;
  }
  ::close(fd);
  std::printf("%s: %" PRIu64 " bytes\n", a[1].c_str(), size);
  return 0;
}

// Why a device must not be formatted ("" when it may): it holds the running system, is
// in use below another device, or has a volume mounted.
std::string RefusalOf(const std::string& dev) {
  struct stat st {};
  if (::stat(dev.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return {};
  char* real = ::realpath(dev.c_str(), nullptr);
  const std::string resolved = real ? real : dev;
  std::free(real);
  const std::string name = resolved.substr(resolved.find_last_of('/') + 1);
  if (drives::SystemDisks().count(name)) return "holds the running system or is in use below another device";
  std::string mounted;
  for (const drives::Drive& d : drives::ListDrives()) {
    if (d.device != dev && d.device != resolved) continue;
    if (d.systemDisk) return "holds the running system or is in use below another device";
    if (d.mounted) mounted += (mounted.empty() ? "" : ", ") + d.root;
  }
  if (!mounted.empty()) return "has mounted volumes (" + mounted + "): unmount them first";
  return {};
}

// Asks on the terminal; true only for "yes".
bool Confirmed(const std::string& dev, uint64_t bytes) {
  std::fprintf(stderr, "Format %s (%" PRIu64 " MiB)? Everything on it is erased. Type yes to go on: ", dev.c_str(),
               bytes >> 20);
  std::fflush(stderr);
  char answer[16] = {};
  if (!std::fgets(answer, sizeof answer, stdin)) return false;
  return std::strcmp(answer, "yes\n") == 0;
}

int Format(const Args& a) {
  bool yes = false;
  Args rest;
  for (size_t i = 1; i < a.size(); ++i) {
    if (a[i] == "--yes")
      yes = true;
    else
      rest.push_back(a[i]);
  }
  if (rest.size() != 1) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string& dev = rest[0];
  if (const std::string refusal = RefusalOf(dev); !refusal.empty()) {
    std::fprintf(stderr, "tarvo-tool card: %s is not formatted: it %s\n", dev.c_str(), refusal.c_str());
    return 1;
  }
  struct stat st {};
  const bool image = ::stat(dev.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  if (!yes && ::isatty(STDIN_FILENO)) {
    if (!Confirmed(dev, image ? static_cast<uint64_t>(st.st_size) : 0)) {
      std::fputs("tarvo-tool card: not formatted\n", stderr);
      return 1;
    }
  } else if (!yes && !image) {
    std::fprintf(stderr, "tarvo-tool card: %s is a device: without a terminal to ask, give --yes\n", dev.c_str());
    return 2;
  }
  // Held for this format alone while the table is written.
  drives::AccessError error;
  const int fd = drives::OpenCardDevice(dev, true, true, error);
  if (fd < 0) {
    std::fprintf(stderr, "tarvo-tool card: %s cannot be opened: %s\n", dev.c_str(),
                 drives::DescribeAccessError(error).c_str());
    return 1;
  }
  VK_Kovr_Bind_Descriptor(dev.c_str(), fd);
  const int code = device::RunPartitionAndFormat(dev);
  VK_Kovr_Bind_Descriptor(dev.c_str(), -1);
  ::close(fd);
  std::printf("%d %s\n", code, device::FormatResultText(code));
  if (code != device::kFormatSuccess) return 1;
  if (!device::FormatFirstPartitionFat32(dev, device::kTarvoModelName))
    std::printf("partition 1: FAT32 not written (mkfs.fat missing or failed)\n");
  else
    std::printf("partition 1: FAT32 \"%s\"\n", device::kTarvoModelName);
  return 0;
}

int Info(const Args& a) {
  if (a.size() != 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  unsigned char info[KOVR_DEVICE_INFO_SIZE] = {};
  if (VK_Kovr_Get_Master_Device_Info(a[1].c_str(), info) != 0) {
    std::fprintf(stderr, "tarvo-tool card: cannot open %s\n", a[1].c_str());
    return 1;
  }
  const uint64_t sectors = kovr::Get64(info + KOVR_DEVICE_INFO_SECTORS64);
  std::printf("capacity: %" PRIu64 " bytes (%" PRIu64 " sectors, %" PRIu64 " MiB)\n", sectors * 512, sectors,
              sectors / 2048);
  device::CardPartition parts[4];
  if (!device::ReadCardPartitions(a[1], parts)) {
    std::printf("partitions: none\n");
  } else {
    for (int i = 0; i < 4; ++i) {
      if (parts[i].type == 0 || parts[i].sectorCount == 0) continue;
      std::printf("partition %d: type 0x%02X, start sector %u, %u sectors (%u MiB)\n", i + 1, parts[i].type,
                  parts[i].startSector, parts[i].sectorCount, parts[i].sectorCount / 2048);
    }
  }
  if (!VK_Kovr_Check_Kovr_partition(a[1].c_str())) {
    std::printf("card file system: none\n");
    return 0;
  }
  CardConnection card;
  if (!OpenCardOrSay(card, a[1])) return 1;
  std::printf("card file system: yes\n");
  const int count = VK_Kovr_Get_Area_Count(card.Block());
  for (int i = 0; i < count; ++i) {
    KovrAreaInfo area;
    if (VK_Kovr_Get_Area_Info(card.Block(), i, &area) != 0) continue;
    std::printf("area %s: %d %%, %" PRIu64 " bytes (%" PRIu64 " MiB) at byte %" PRIu64 ", %d files, %" PRIu64
                " bytes used\n",
                Printable(area.name).c_str(), area.percent, area.lengthBytes, area.lengthBytes >> 20, area.startByte,
                area.fileCount, area.usedBytes);
  }
  return 0;
}

int List(const Args& a) {
  if (a.size() != 2 && a.size() != 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  CardConnection card;
  if (!OpenCardOrSay(card, a[1])) return 1;
  const bool all = a.size() == 2;
  const std::vector<std::string> folders = all ? AreaNames(card) : std::vector{a[2]};
  for (const std::string& folder : folders) {
    kovr::ForEachListedFile(card.Block(), folder.c_str(), [&](const kovr::ListedFile& file) {
      std::printf("%s%s%s\t%d\t%u\n", all ? folder.c_str() : "", all ? "/" : "", Printable(file.name).c_str(),
                  file.number, file.bytes);
    });
  }
  return 0;
}

int Put(const Args& a) {
  uint64_t cutAt = UINT64_MAX;
  Args rest;
  for (size_t i = 1; i < a.size(); ++i) {
    if (a[i] == "--cut-at" && i + 1 < a.size()) {
      if (!ParseSize(a[++i], cutAt)) {
        std::fputs(kUsage, stderr);
        return 2;
      }
    } else {
      rest.push_back(a[i]);
    }
  }
  if (rest.size() != 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string& file = rest[2];
  platform::OpenFailure failure;
  const int in = platform::OpenPlainFile(file, O_RDONLY, false, &failure);
  if (in < 0) {
    std::fprintf(stderr, "tarvo-tool card: cannot read %s: %s\n", file.c_str(),
                 platform::DescribeOpenFailure(failure).c_str());
    return 1;
  }
  CardConnection card;
  if (!OpenCardOrSay(card, rest[0])) {
    ::close(in);
    return 1;
  }
  const size_t slash = file.find_last_of('/');
  const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  const std::string path = "/" + rest[1] + "/" + name;
  const int handle = VK_Kovr_File_Open(card.Block(), path.c_str(), "w", 0, 0, 0);
  if (handle <= 0) {
    std::fprintf(stderr, "tarvo-tool card: cannot create %s (%d)\n", path.c_str(), handle);
    ::close(in);
    return 1;
  }
  std::vector<char> buffer(kTransferSize);
  uint64_t written = 0;
  int rc = 0;
  while (written < cutAt) {
    const uint64_t want = std::min<uint64_t>(buffer.size(), cutAt - written);
    const ssize_t got = ::read(in, buffer.data(), want);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      std::fprintf(stderr, "tarvo-tool card: reading %s failed: %s\n", file.c_str(), std::strerror(errno));
      rc = 1;
    }
    if (got <= 0) break;
    const int w = VK_Kovr_File_Write(card.Block(), buffer.data(), static_cast<int32_t>(got), handle);
    if (w != got) {
      std::fprintf(stderr, "tarvo-tool card: writing %s failed after %" PRIu64 " bytes: %s\n", path.c_str(), written,
                   w == KOVR_E_FULL ? "the file does not fit its area" : "the card cannot be written");
      rc = 1;
      break;
    }
    written += static_cast<uint64_t>(got);
  }
  ::close(in);
  const int32_t number = VK_Kovr_File_Number(card.Block(), handle);
  if (rc != 0) {
    // Closed, the first part would list and copy as a whole file. Removed, nothing
    // of it is left to be taken for the file.
    VK_Kovr_File_Close(card.Block(), handle);
    if (VK_Kovr_File_Delete(card.Block(), number) == 0)
      std::fprintf(stderr, "tarvo-tool card: %s removed again\n", path.c_str());
    else
      std::fprintf(stderr, "tarvo-tool card: %s could not be removed: it holds the first %" PRIu64 " bytes only\n",
                   path.c_str(), written);
    return rc;
  }
  // A cut leaves the file as power loss would: open, with what reached the card.
  if (cutAt == UINT64_MAX) VK_Kovr_File_Close(card.Block(), handle);
  std::printf("%s\t%d\t%" PRIu64 "%s\n", path.c_str(), number, written, cutAt == UINT64_MAX ? "" : "\tcut");
  return rc;
}

int Get(const Args& a) {
  if (a.size() != 5) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  CardConnection card;
  if (!OpenCardOrSay(card, a[1])) return 1;
  const std::string path = "/" + a[2] + "/" + a[3];
  const int handle = VK_Kovr_File_Open(card.Block(), path.c_str(), "r", 0, 0, 0);
  if (handle <= 0) {
    std::fprintf(stderr, "tarvo-tool card: no file %s on the card\n", path.c_str());
    return 1;
  }
  const int out = ::open(a[4].c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) {
    std::fprintf(stderr, "tarvo-tool card: cannot create %s\n", a[4].c_str());
    VK_Kovr_File_Close(card.Block(), handle);
    return 1;
  }
  std::vector<char> buffer(kTransferSize);
  int rc = 0;
  int n = 0;
  while ((n = VK_Kovr_File_Read(card.Block(), buffer.data(), kTransferSize, handle)) > 0) {
    const char* p = buffer.data();
    ssize_t left = n;
    while (left > 0) {
      const ssize_t w = ::write(out, p, static_cast<size_t>(left));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        rc = 1;
        break;
      }
      p += w;
      left -= w;
    }
    if (rc) break;
  }
  if (n < 0) rc = 1;
  struct stat st {};
  const bool plainFile = ::fstat(out, &st) == 0 && S_ISREG(st.st_mode);
  if (::close(out) != 0) rc = 1;
  VK_Kovr_File_Close(card.Block(), handle);
  if (rc) {
    // Half a copy would pass for the whole file.
    if (plainFile) ::unlink(a[4].c_str());
    std::fprintf(stderr, "tarvo-tool card: copying %s failed; %s not left behind\n", path.c_str(), a[4].c_str());
  }
  return rc;
}

}  // namespace

int RunCard(const Args& args) {
  if (args.empty() || WantsHelp(args)) {
    std::fputs(kUsage, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  VK_Kovr_Start();
  int rc = 2;
  const std::string& verb = args[0];
  if (verb == "mkimage")
    rc = MakeImage(args);
  else if (verb == "format")
    rc = Format(args);
  else if (verb == "info")
    rc = Info(args);
  else if (verb == "ls")
    rc = List(args);
  else if (verb == "put")
    rc = Put(args);
  else if (verb == "get")
    rc = Get(args);
  else
    std::fputs(kUsage, stderr);
  VK_Kovr_Stop();
  return rc;
}

}  // namespace cli
