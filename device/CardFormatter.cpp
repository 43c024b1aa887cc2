#include "device/CardFormatter.h"

#include <stdlib.h>
#include <unistd.h>

#include <system_error>
#include <utility>

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

FormatPath ChooseFormatPath(const CardEntry& card, const std::string& modelName) {
  if (VK_Kovr_Check_Kovr_partition(card.physicalPath.c_str()) != 0 || modelName == kTarvoModelName)
    return FormatPath::kCardFileSystem;
  return FormatPath::kPlain;
}

CardFormatter::CardFormatter(FormatRequest request, TextLookup text, ProgramRunner run)
    : request_(std::move(request)), text_(std::move(text)), run_(std::move(run)) {}

FormatOutcome CardFormatter::Run(FormatPath path) {
  outcome_ = FormatOutcome{};
  kept_.clear();
  fat_ = FatPlace{};
  cardTouched_ = false;
  unmounted_ = false;
  path_ = path;
  volume_ = FindMountedVolume(request_.card.root, request_.card.physicalPath);
  const auto failure = [this](int code) { return text_(kStrFormatFailed) + " (" + std::to_string(code) + ")"; };
  if (!KeepFiles()) {
    outcome_.message = failure(kFormatKeepFailed);
  } else if (path == FormatPath::kCardFileSystem && request_.legacySystem) {
    outcome_.message = text_(kStrFormatLegacy);
  } else if (!UnmountVolume(request_.card.root, volume_, run_)) {
    outcome_.message = failure(kFormatUnmountFailed);
  } else {
    unmounted_ = volume_.mounted;
    if (path == FormatPath::kCardFileSystem)
      FormatCardFileSystem();
    else
      FormatPlain();
  }
  PutBack();
  ComposeMessage();
  return outcome_;
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
  return run_({script.string(), request_.card.physicalPath, std::to_string(startSector), std::to_string(sectorCount),
               request_.volumeLabel}) == 0;
}

void CardFormatter::FormatCardFileSystem() {
  const int code = RunPartitionAndFormat(request_.card.physicalPath);
  outcome_.code = code;
  // Without a capacity the library could not even read the card: nothing changed.
  cardTouched_ = code != kFormatNoCapacity;
  if (code != kFormatSuccess) {
    outcome_.message = text_(kStrFormatFailed) + " (" + std::to_string(code) + ")";
    return;
  }
  outcome_.successful = true;
  if (!IsExecutable(request_.programFolder / kFormatScriptName)) {
    outcome_.message = text_(kStrFormatBatchFailed);
    return;
  }
  CardPartition parts[4];
  if (ReadCardPartitions(request_.card.physicalPath, parts) && parts[0].type != 0 &&
      RunScript(parts[0].startSector, parts[0].sectorCount)) {
    fat_ = FatPlace{true, parts[0].startSector};
    outcome_.message = text_(kStrFormatDone);
  } else {
    outcome_.message = text_(kStrFormatFailed) + " (" + std::to_string(kFormatFat32Failed) + ")";
  }
}

void CardFormatter::FormatPlain() {
  uint64_t start = 0;
  uint64_t count = DeviceSizeBytes(request_.card.physicalPath) / kSectorBytes;
  CardPartition parts[4];
  if (volume_.mounted) {
    start = volume_.startSector;
    count = volume_.sectorCount;
  } else if (ReadCardPartitions(request_.card.physicalPath, parts) && parts[0].type != 0) {
    start = parts[0].startSector;
    count = parts[0].sectorCount;
  }
  if (!IsExecutable(request_.programFolder / kFormatScriptName)) {
    outcome_.message = text_(kStrFormatBatchFailed);
    return;
  }
  cardTouched_ = true;
  if (count != 0 && RunScript(start, count)) {
    outcome_.successful = true;
    fat_ = FatPlace{true, start};
    outcome_.message = text_(kStrFormatDone);
  } else {
    outcome_.message = text_(kStrFormatFailed) + " (" + std::to_string(kFormatFat32Failed) + ")";
  }
}

bool CardFormatter::PutIntoFat(const fs::path& source, const std::string& name) {
  const std::string target = request_.card.physicalPath + "@@" + std::to_string(fat_.startSector * kSectorBytes);
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
      if (!volume_.mounted) fs::copy_file(source, root / it->name, fs::copy_options::overwrite_existing, ec);
      if (it->fromCard) fs::remove(source, ec);
      it = kept_.erase(it);
    }
    // After new partitions the FAT is partition 1, whichever partition was mounted before.
    if (unmounted_)
      MountVolume(path_ == FormatPath::kCardFileSystem ? PartitionNode(request_.card.physicalPath, 1) : volume_.node,
                  request_.card.root, run_);
  } else if (!cardTouched_) {
    // Nothing was written to the card: its volume comes back as it was.
    const bool rootIsCard = !unmounted_ || MountVolume(volume_.node, request_.card.root, run_);
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
  if (!fs::exists(request_.card.physicalPath, ec)) add(text_(kStrFormatCardGone));
  if (!outcome_.keptFiles.empty()) add(FillPlaceholders(text_(kStrFormatFilesKept), {outcome_.keptFolder.string()}));
  outcome_.message = message;
}

}  // namespace device
