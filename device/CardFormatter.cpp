#include "device/CardFormatter.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <system_error>
#include <utility>
#include <vector>

#include "device/CardFormat.h"
#include "device/DeviceSettings.h"
#include "kovr/Kovr.h"
#include "settings/StringIds.h"

namespace device {

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kSectorBytes = 512;

// The card's root holds a file of exactly this name. A FAT mount finds names in any
// letter case, so the folder is searched rather than the name looked up.
bool HoldsExactly(const fs::path& root, const std::string& name) {
  std::error_code ec;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename().string() != name) continue;
    std::error_code typeError;
    return it->is_regular_file(typeError);
  }
  return false;
}

// Moves a file, across file systems too: the copy is checked before the original goes.
bool MoveFile(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  if (!ec) return true;
  ec.clear();
  if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec) || ec) return false;
  if (fs::file_size(from, ec) != fs::file_size(to, ec) || ec) {
    fs::remove(to, ec);
    return false;
  }
  fs::remove(from, ec);
  return true;
}

bool IsExecutable(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FillPlaceholders(const std::string& text, const std::vector<std::string>& values) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t mark = i + 1 < text.size() && text[i] == '%' ? static_cast<size_t>(text[i + 1] - '0') : 0;
    if (mark >= 1 && mark <= values.size() && mark <= 9) {
      out += values[mark - 1];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string AccessMessage(const drives::AccessError& error, const std::string& device, const TextLookup& text) {
  if (error.problem == drives::AccessProblem::kRefused) return FillPlaceholders(text(kStrCardAccessRefused), {device});
  return FillPlaceholders(text(kStrCardOpenFailed), {device, error.detail});
}

FormatPath ChooseFormatPath(const CardEntry& card, const std::string& modelName) {
  if (modelName == kTarvoModelName) return FormatPath::kCardFileSystem;
  // Through the disk service the check reads through a descriptor; nobody is asked.
  bool cardFileSystem = false;
  drives::AccessError error;
  const int fd = card.throughService ? drives::ServiceOpenDevice(card.physicalPath, false, false, false, error)
                                     : ::open(card.physicalPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    VK_Kovr_Bind_Descriptor(card.physicalPath.c_str(), fd);
    cardFileSystem = VK_Kovr_Check_Kovr_partition(card.physicalPath.c_str()) != 0;
    VK_Kovr_Bind_Descriptor(card.physicalPath.c_str(), -1);
    ::close(fd);
  }
  return cardFileSystem ? FormatPath::kCardFileSystem : FormatPath::kPlain;
}

CardFormatter::CardFormatter(FormatRequest request, TextLookup text, ProgramRunner run)
    : request_(std::move(request)), text_(std::move(text)), run_(std::move(run)) {}

FormatOutcome CardFormatter::Run(FormatPath path) {
  outcome_ = FormatOutcome{};
  kept_.clear();
  fat_ = FatPlace{};
  fatTarget_.clear();
  cardTouched_ = false;
  unmounted_.clear();
  path_ = path;
  const CardEntry& card = request_.card;
  volume_ = MountedVolume{};
  for (const MountedVolume& v : FindCardVolumes(card.physicalPath, card.throughService))
    if (NormalisedRoot(v.mountPoint) == NormalisedRoot(card.root)) volume_ = v;
  const auto failure = [this](int code) { return text_(kStrFormatFailed) + " (" + std::to_string(code) + ")"; };
  if (!KeepFiles()) {
    outcome_.message = failure(kFormatKeepFailed);
  } else if (path == FormatPath::kCardFileSystem && request_.legacySystem) {
    outcome_.message = text_(kStrFormatLegacy);
  } else if (!UnmountCard()) {
    outcome_.message = failure(kFormatUnmountFailed);
  } else if (path == FormatPath::kCardFileSystem) {
    FormatCardFileSystem();
  } else {
    FormatPlain();
  }
  PutBack();
  ComposeMessage();
  return outcome_;
}

bool CardFormatter::UnmountCard() {
  // Every volume of the card comes off, not only the one at its root: the partition
  // table is rewritten under all of them.
  for (const MountedVolume& v : FindCardVolumes(request_.card.physicalPath, request_.card.throughService)) {
    if (!UnmountVolume(v, request_.card.throughService, run_)) return false;
    unmounted_.push_back(v);
  }
  return true;
}

bool CardFormatter::KeepFiles() {
  const fs::path root = request_.card.root;
  hadInstaller_ = HoldsExactly(root, kInstallerFileName);
  for (const char* name : {kInstallerFileName, kSetupCfgFileName}) {
    if (!HoldsExactly(root, name)) continue;
    if (keepFolder_.empty()) {
      std::error_code ec;
      fs::create_directories(request_.safeFolder, ec);
      // A folder of its own for each format: files kept by an earlier format that
      // failed are never overwritten.
      std::string pattern = (request_.safeFolder / "format-XXXXXX").string();
      if (::mkdtemp(pattern.data()) == nullptr) return false;
      keepFolder_ = pattern;
    }
    if (!MoveFile(root / name, keepFolder_ / name)) {
      // Whatever was moved already goes back: the card is not formatted.
      for (const Kept& k : kept_) MoveFile(keepFolder_ / k.name, root / k.name);
      kept_.clear();
      return false;
    }
    kept_.push_back({name, true});
  }
  return true;
}

bool CardFormatter::RunScript(uint64_t startSector, uint64_t sectorCount) {
  const fs::path script = request_.programFolder / kFormatScriptName;
  return run_({script.string(), fatTarget_, std::to_string(startSector), std::to_string(sectorCount),
               request_.volumeLabel}) == 0;
}

void CardFormatter::FormatCardFileSystem() {
  const std::string& device = request_.card.physicalPath;
  // The card is held for this format alone while its table is written: the kernel
  // refuses the claim while anything of it is in use, and mounts while it is held.
  drives::AccessError error;
  const int fd = drives::OpenCardDevice(device, true, true, error);
  if (fd < 0) {
    outcome_.message = AccessMessage(error, device, text_);
    return;
  }
  VK_Kovr_Bind_Descriptor(device.c_str(), fd);
  const int code = RunPartitionAndFormat(device);
  CardPartition parts[4];
  const bool havePartitions = ReadCardPartitions(fd, parts);
  VK_Kovr_Bind_Descriptor(device.c_str(), -1);
  ::close(fd);
  if (request_.card.throughService) drives::ServiceRescan(device, error);
  outcome_.code = code;
  // Without a capacity the library could not read the card, and a failed delete
  // wrote nothing: the card is as it was.
  cardTouched_ = code != kFormatNoCapacity && code != kFormatDeleteFailed;
  if (code != kFormatSuccess) {
    outcome_.message = text_(kStrFormatFailed) + " (" + std::to_string(code) + ")";
    return;
  }
  outcome_.successful = true;
  if (!IsExecutable(request_.programFolder / kFormatScriptName)) {
    outcome_.message = text_(kStrFormatBatchFailed);
    return;
  }
  if (havePartitions && parts[0].type != 0 && WriteFat(parts[0].startSector, parts[0].sectorCount)) {
    outcome_.message = text_(kStrFormatDone);
  } else {
    outcome_.message = text_(kStrFormatFailed) + " (" + std::to_string(kFormatFat32Failed) + ")";
  }
}

void CardFormatter::FormatPlain() {
  const std::string& device = request_.card.physicalPath;
  drives::AccessError error;
  const int fd = drives::OpenCardDevice(device, false, true, error);
  if (fd < 0) {
    outcome_.message = AccessMessage(error, device, text_);
    return;
  }
  uint64_t start = 0;
  uint64_t count = DescriptorSizeBytes(fd) / kSectorBytes;
  CardPartition parts[4];
  if (volume_.mounted && volume_.sectorCount != 0) {
    start = volume_.startSector;
    count = volume_.sectorCount;
  } else if (ReadCardPartitions(fd, parts) && parts[0].type != 0) {
    start = parts[0].startSector;
    count = parts[0].sectorCount;
  }
  ::close(fd);
  if (!IsExecutable(request_.programFolder / kFormatScriptName)) {
    outcome_.message = text_(kStrFormatBatchFailed);
    return;
  }
  cardTouched_ = true;
  if (count != 0 && WriteFat(start, count)) {
    outcome_.successful = true;
    outcome_.message = text_(kStrFormatDone);
  } else {
    outcome_.message = text_(kStrFormatFailed) + " (" + std::to_string(kFormatFat32Failed) + ")";
  }
}

bool CardFormatter::WriteFat(uint64_t startSector, uint64_t sectorCount) {
  fatTarget_ = request_.card.physicalPath;
  struct stat st {};
  const bool byName = ::stat(fatTarget_.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || !request_.card.throughService);
  if (!byName) {
    // A file of ours the size of the card up to the partition's end, sparse: the FAT
    // sits at the same place as on the card, and only what mkfs.fat and mtools write
    // takes room.
    std::error_code ec;
    fs::create_directories(request_.safeFolder, ec);
    std::string pattern = (request_.safeFolder / "fat-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return false;
    const bool sized = ::ftruncate(fd, static_cast<off_t>((startSector + sectorCount) * kSectorBytes)) == 0;
    ::close(fd);
    fatTarget_ = pattern;
    if (!sized) return false;
  }
  fatSectors_ = sectorCount;
  if (!RunScript(startSector, sectorCount)) return false;
  fat_ = FatPlace{true, startSector};
  return true;
}

bool CardFormatter::CopyFatToCard() {
  if (fatTarget_.empty() || fatTarget_ == request_.card.physicalPath) return true;
  drives::AccessError error;
  const int out = drives::OpenCardDevice(request_.card.physicalPath, false, true, error);
  const int in = ::open(fatTarget_.c_str(), O_RDONLY | O_CLOEXEC);
  bool ok = out >= 0 && in >= 0;
  const off_t begin = static_cast<off_t>(fat_.startSector * kSectorBytes);
  const off_t end = static_cast<off_t>((fat_.startSector + fatSectors_) * kSectorBytes);
  std::vector<char> buffer(1 << 20);
  // Only the written stretches of the file: the rest of the partition is free space.
  for (off_t at = begin; ok && at < end;) {
    const off_t data = ::lseek(in, at, SEEK_DATA);
    if (data < 0 || data >= end) break;
    off_t hole = ::lseek(in, data, SEEK_HOLE);
    if (hole < 0 || hole > end) hole = end;
    for (off_t p = data; ok && p < hole;) {
      const size_t n = static_cast<size_t>(std::min<off_t>(hole - p, static_cast<off_t>(buffer.size())));
      ok = ::pread(in, buffer.data(), n, p) == static_cast<ssize_t>(n) &&
           ::pwrite(out, buffer.data(), n, p) == static_cast<ssize_t>(n);
      p += static_cast<off_t>(n);
    }
    at = hole;
  }
  if (out >= 0 && ::fsync(out) != 0) ok = false;
  if (out >= 0) ::close(out);
  if (in >= 0) ::close(in);
  std::error_code ec;
  fs::remove(fatTarget_, ec);
  if (request_.card.throughService) drives::ServiceRescan(request_.card.physicalPath, error);
  return ok;
}

bool CardFormatter::PutIntoFat(const fs::path& source, const std::string& name) {
  const std::string target = fatTarget_ + "@@" + std::to_string(fat_.startSector * kSectorBytes);
  return run_({"env", "MTOOLS_SKIP_CHECK=1", "mcopy", "-o", "-i", target, source.string(), "::" + name}) == 0;
}

void CardFormatter::PutBack() {
  const fs::path root = request_.card.root;
  const fs::path installer = request_.programFolder / kInstallerFileName;
  std::error_code ec;
  if (!hadInstaller_ && fs::is_regular_file(installer, ec)) kept_.push_back({kInstallerFileName, false});
  if (fat_.ready) {
    for (auto it = kept_.begin(); it != kept_.end();) {
      const fs::path source = it->fromCard ? keepFolder_ / it->name : installer;
      if (!PutIntoFat(source, it->name)) {
        ++it;
        continue;
      }
      // A card image's root folder stands in for the mounted partition: it shows what
      // the new FAT holds.
      if (!volume_.mounted && fs::is_directory(root, ec))
        fs::copy_file(source, root / it->name, fs::copy_options::overwrite_existing, ec);
      if (it->fromCard) fs::remove(source, ec);
      it = kept_.erase(it);
    }
    if (!CopyFatToCard()) outcome_.message = text_(kStrFormatFailed) + " (" + std::to_string(kFormatFat32Failed) + ")";
    // After new partitions the FAT is partition 1, whichever partition was mounted before.
    if (volume_.mounted)
      MountVolume(path_ == FormatPath::kCardFileSystem ? PartitionNode(request_.card.physicalPath, 1) : volume_.node,
                  request_.card.root, request_.card.throughService, run_);
  } else if (!cardTouched_) {
    // Nothing was written to the card: its volumes come back as they were, the root
    // last, and the kept files go back onto it.
    bool rootIsCard = !volume_.mounted;
    for (auto v = unmounted_.rbegin(); v != unmounted_.rend(); ++v) {
      const bool back = MountVolume(v->node, v->mountPoint, request_.card.throughService, run_);
      if (v->mountPoint == volume_.mountPoint) rootIsCard = back;
    }
    for (auto it = kept_.begin(); rootIsCard && it != kept_.end();) {
      const bool back = it->fromCard
                            ? MoveFile(keepFolder_ / it->name, root / it->name)
                            : fs::copy_file(installer, root / it->name, fs::copy_options::overwrite_existing, ec);
      it = back ? kept_.erase(it) : it + 1;
    }
  }
  // The program's installer is always at hand again; only the card's own files count.
  std::erase_if(kept_, [](const Kept& k) { return !k.fromCard; });
  if (!keepFolder_.empty() && kept_.empty()) {
    fs::remove(keepFolder_, ec);
    keepFolder_.clear();
    fs::remove(request_.safeFolder, ec);  // only when no earlier format left files there
  }
  for (const Kept& k : kept_) outcome_.keptFiles.push_back(k.name);
  if (!kept_.empty()) outcome_.keptFolder = keepFolder_;
}

void CardFormatter::ComposeMessage() {
  std::string message = outcome_.message;
  const auto add = [&message](const std::string& text) {
    if (text.empty()) return;
    if (!message.empty()) message += "\n\n";
    message += text;
  };
  std::error_code ec;
  bool present = fs::exists(request_.card.physicalPath, ec);
  if (request_.card.throughService) {
    drives::ServiceState state;
    drives::AccessError error;
    present = drives::ReadServiceState(state, error) &&
              std::any_of(state.blocks.begin(), state.blocks.end(),
                          [this](const drives::ServiceBlock& b) { return b.device == request_.card.physicalPath; });
  }
  if (!present) add(text_(kStrFormatCardGone));
  if (!outcome_.keptFiles.empty()) add(FillPlaceholders(text_(kStrFormatFilesKept), {outcome_.keptFolder.string()}));
  outcome_.message = message;
}

}  // namespace device
