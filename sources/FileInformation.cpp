#include "sources/FileInformation.h"

#include <cstdio>
#include <string_view>
#include <system_error>

#include "device/DeviceSettings.h"
#include "settings/StringIds.h"
#include "sources/RecordingCollection.h"

namespace fileinfo {

namespace {

constexpr uint64_t kKiBPerMiB = 1024;
constexpr double kMiBPerGiB = 1024.0;

// Whether the card's settings file, whose presence tells a dashcam card from a stray
// one, can be opened for reading. A folder of that name
// opens on Linux but is no settings file.
bool SetupFileOpens(const SourceEntry& source) {
  const std::filesystem::path path = std::filesystem::path(source.root) / kSetupCfgFileName;
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return false;
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

}  // namespace

std::string FormatFileMiB(uint64_t sizeKiB) {
  char text[32];
  std::snprintf(text, sizeof text, "%3llu", static_cast<unsigned long long>(sizeKiB / kKiBPerMiB));
  return std::string(text) + "MB";
}

std::string FormatGiB(uint64_t sizeKiB) {
  char text[48];
  std::snprintf(text, sizeof text, "%.1fGB", static_cast<double>(sizeKiB / kKiBPerMiB) / kMiBPerGiB);
  return text;
}

std::string FormatCount(int32_t count) {
  char text[16];
  std::snprintf(text, sizeof text, "%4d", count);
  return text;
}

void CountEntry(const std::string& path, const std::string& fileName, uint64_t sizeKiB, FileFigures& figures) {
  figures.rows.push_back({fileName, FormatFileMiB(sizeKiB)});
  figures.totalKiB += sizeKiB;
  ++figures.totalCount;
  // The figures have always counted parking files by "PAR", while the list knows them
  // as "PRK": a "PRK" file counts in the total only.
  const std::string_view code = std::string_view(path).substr(0, 3);
  if (code == "REC") {
    ++figures.normalCount;
    figures.normalKiB += sizeKiB;
  } else if (code == "EVT") {
    ++figures.eventCount;
    figures.eventKiB += sizeKiB;
  } else if (code == "PAR" || code == "MDI" || code == "MOT") {
    ++figures.parkingCount;
    figures.parkingKiB += sizeKiB;
  }
}

Gathering GatherFileInformation(const RecordingCollection& set) {
  Gathering result;
  if (set.EntryCount() == 0) {
    result.refusal = kStrInfoNoRecordings;
    return result;
  }
  if (set.sourceKind != kSourceCard) {
    result.refusal = kStrInfoNotCard;
    return result;
  }
  const SourceEntry* source = set.CurrentSource();
  if (source == nullptr || !SetupFileOpens(*source)) {
    result.refusal = kStrInfoNoSetupFile;
    return result;
  }
  result.figures.rows.reserve(set.entries.size());
  for (const RecordingEntry& entry : set.entries) CountEntry(entry.path, entry.fileName, entry.sizeKiB, result.figures);
  return result;
}

bool HasUserMarker(const std::filesystem::path& folder) {
  if (folder.empty()) return false;
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(folder / kUserMarkerName, error);
  if (error || !std::filesystem::exists(status) || std::filesystem::is_directory(status)) return false;
  // The name compares case-sensitively even where the folder's file system does not
  // (a viewer kept on a FAT stick): confirm the exact spelling among the folder's files.
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (it->path().filename() != kUserMarkerName) continue;
    std::error_code itemError;
    if (!it->is_directory(itemError)) return true;
  }
  return false;
}

}  // namespace fileinfo
