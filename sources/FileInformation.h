#pragma once
// The figures of the card information view: how many recordings of each type the open
// card holds and how much room they take, with one name and size text per file. All of
// it is gathered before the view opens; the view only shows it.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class RecordingCollection;

namespace fileinfo {

// One list row of the view, in set order.
struct FileRow {
  std::string name;      // the entry's fileName
  std::string sizeText;  // FormatFileMiB of its sizeKiB
};

struct FileFigures {
  int32_t totalCount = 0;
  int32_t normalCount = 0;
  int32_t eventCount = 0;
  int32_t parkingCount = 0;
  uint64_t totalKiB = 0;
  uint64_t normalKiB = 0;
  uint64_t eventKiB = 0;
  uint64_t parkingKiB = 0;
  std::vector<FileRow> rows;
};

// What the gathering came to: figures, or the language string of the refusal.
struct Gathering {
  // 0 when the figures are complete, else kStrInfoNoRecordings, kStrInfoNotCard or
  // kStrInfoNoSetupFile.
  int refusal = 0;
  FileFigures figures;
};

// A file of this name beside the viewer enlarges the view with the file list.
inline constexpr const char* kUserMarkerName = "User.bin";

// Refuses an empty set, a source that is not a card, and a card whose root holds no
// settings file, in that order; otherwise counts and sums every entry.
Gathering GatherFileInformation(const RecordingCollection& set);

// Adds one entry of the given first characters of its path and size to the figures.
// Only "REC", "EVT" and "PAR"/"MDI"/"MOT" name a type; every entry counts in the total.
void CountEntry(const std::string& path, const std::string& fileName, uint64_t sizeKiB, FileFigures& figures);

// "%3dMB" of the whole MiB in `sizeKiB` (a file below 1 MiB shows "  0MB").
std::string FormatFileMiB(uint64_t sizeKiB);
// "%.1fGB" of the whole MiB in `sizeKiB`, divided by 1024.
std::string FormatGiB(uint64_t sizeKiB);
// "%4d".
std::string FormatCount(int32_t count);

// Whether `folder` holds a file (not a folder) named exactly kUserMarkerName.
bool HasUserMarker(const std::filesystem::path& folder);

}  // namespace fileinfo
