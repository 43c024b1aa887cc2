#include "device/CardList.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "device/CardFormat.h"
#include "kovr/Kovr.h"

namespace device {

namespace {

constexpr size_t kSectorBytes = 512;
constexpr size_t kFat32LabelOffset = 71;
constexpr size_t kFat32TypeOffset = 82;
constexpr size_t kFat16LabelOffset = 43;
constexpr size_t kFat16TypeOffset = 54;
constexpr size_t kLabelLength = 11;

bool ReadSector(int fd, uint64_t sector, unsigned char (&bytes)[kSectorBytes]) {
  const ssize_t n = ::pread(fd, bytes, kSectorBytes, static_cast<off_t>(sector * kSectorBytes));
  return n == static_cast<ssize_t>(kSectorBytes);
}

uint32_t Le32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// The label of a FAT boot sector; false when the sector is no FAT boot sector.
bool BootSectorLabel(const unsigned char (&boot)[kSectorBytes], std::string& label) {
  if (boot[510] != 0x55 || boot[511] != 0xAA) return false;
  size_t at = 0;
  if (std::memcmp(boot + kFat32TypeOffset, "FAT32", 5) == 0)
    at = kFat32LabelOffset;
  else if (std::memcmp(boot + kFat16TypeOffset, "FAT", 3) == 0)
    at = kFat16LabelOffset;
  else
    return false;
  std::string text(reinterpret_cast<const char*>(boot + at), kLabelLength);
  const size_t end = text.find_last_not_of(' ');
  text = end == std::string::npos ? std::string() : text.substr(0, end + 1);
  if (text == "NO NAME") text.clear();
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20) c = '_';
  label = text;
  return true;
}

// The volume answers a file-system query with a block size (a medium is there).
bool AnswersWithSectorSize(const std::string& root, unsigned long& flags) {
  struct statvfs info {};
  if (::statvfs(root.c_str(), &info) != 0 || info.f_bsize == 0) return false;
  flags = info.f_flag;
  return true;
}

}  // namespace

std::string CardEntryText(const CardEntry& entry) { return entry.label + "(" + entry.root + ")"; }

std::string NormalisedRoot(const std::string& root) {
  std::string out = root;
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  if (out.empty() || out.back() != '/') out += '/';
  return out;
}

bool SameCard(const CardEntry& a, const CardEntry& b) {
  return NormalisedRoot(a.root) == NormalisedRoot(b.root) && a.physicalPath == b.physicalPath;
}

bool ListedFrom(const std::string& loaded, const CardEntry& card) {
  if (loaded.empty()) return false;
  if (loaded == card.physicalPath || NormalisedRoot(loaded) == NormalisedRoot(card.physicalPath)) return true;
  if (card.root.empty() || card.root == card.physicalPath) return false;
  return NormalisedRoot(loaded).rfind(NormalisedRoot(card.root), 0) == 0;
}

uint64_t DeviceSizeBytes(const std::string& physicalPath) {
  const int fd = ::open(physicalPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  const uint64_t size = DescriptorSizeBytes(fd);
  ::close(fd);
  return size;
}

std::string ReadVolumeLabel(const std::string& physicalPath) {
  const int fd = ::open(physicalPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string label;
  unsigned char sector[kSectorBytes] = {};
  if (ReadSector(fd, 0, sector)) {
    // A whole-device FAT has its boot sector where an MBR would be.
    if (!BootSectorLabel(sector, label) && sector[510] == 0x55 && sector[511] == 0xAA) {
      const uint32_t start = Le32(sector + 446 + 8);
      const unsigned char type = sector[446 + 4];
      unsigned char boot[kSectorBytes] = {};
      if (type != 0 && start != 0 && ReadSector(fd, start, boot)) BootSectorLabel(boot, label);
    }
  }
  ::close(fd);
  return label;
}

std::vector<CardEntry> ListCardEntries(const std::vector<drives::Drive>& found) {
  std::vector<CardEntry> cards;
  for (size_t i = 0; i < found.size(); ++i) {
    const drives::Drive& drive = found[i];
    if (!drives::MayOffer(drive)) continue;
    // One entry per card: its first volume (or its device when nothing is mounted).
    if (std::any_of(cards.begin(), cards.end(), [&](const CardEntry& c) { return c.physicalPath == drive.device; }))
      continue;
    uint64_t size = drive.sizeBytes;
    if (!drive.throughService) {
      // The probe opens the disk as the settings and the format will: for writing.
      const int fd = ::open(drive.device.c_str(), O_RDWR | O_CLOEXEC);
      if (fd < 0) continue;
      size = DescriptorSizeBytes(fd);
      ::close(fd);
    }
    if (size == 0 || (size >> 30) >= kMaxCardGiB) continue;
    CardEntry entry;
    entry.root = drive.mounted ? NormalisedRoot(drive.root) : drive.root;
    entry.driveIndex = static_cast<int>(i);
    entry.physicalPath = drive.device;
    entry.throughService = drive.throughService;
    // A card is listed whether or not its volume is mounted: a blank or damaged first
    // partition is just what formatting mends.
    if (drive.mounted) AnswersWithSectorSize(entry.root, entry.fileSystemFlags);
    entry.label = drive.throughService ? drive.label : ReadVolumeLabel(drive.device);
    cards.push_back(std::move(entry));
  }
  return cards;
}

std::optional<CardEntry> FindCard(const std::vector<CardEntry>& cards, const CardEntry& wanted) {
  for (const CardEntry& c : cards)
    if (c.physicalPath == wanted.physicalPath) return c;
  return std::nullopt;
}

std::vector<CardEntry> ListCards() { return ListCardEntries(drives::ListDrives()); }

}  // namespace device
