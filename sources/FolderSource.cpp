// Recordings that are ordinary files: a removable drive without the card file system,
// the files and folders chosen in the folder picker, or dropped on the file list.

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "sources/NameParsing.h"
#include "sources/RecordingCollection.h"

namespace fs = std::filesystem;

namespace {

constexpr int kChosenFolderIndex = 1;
constexpr int kDriveFolderIndex = 0;
constexpr const char* kRecordingSuffix = ".avi";

bool EndsWithSlash(const std::string& path) { return !path.empty() && path.back() == '/'; }

// A regular file (links followed) with its size; false when there is none at `path`.
bool StatRegularFile(const std::string& path, uint64_t& size) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  size = static_cast<uint64_t>(info.st_size);
  return true;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

RecordingEntry MakeLocalEntry(const std::string& fileName, const std::string& path, uint64_t size, int folderIndex) {
  RecordingEntry entry;
  entry.folderIndex = folderIndex;
  entry.cardFileNumber = -1;
  entry.fileName = fileName;
  entry.path = path;
  RecordingCollection::ParseRecordingName(fileName, entry);
  entry.sizeKiB = size / 1024;
  return entry;
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool RecordingCollection::ScanFolder(FolderRecord& record, int folderIndex) {
  VisitedFolders visited;
  const std::size_t before = entries.size();
  const bool listed = ScanFolderBelow(record, folderIndex, visited, entries);
  // Appending may have moved the entries the rows point at.
  if (entries.size() != before) rows.clear();
  return listed;
}

bool RecordingCollection::ScanFolderBelow(FolderRecord& record, int folderIndex, VisitedFolders& visited,
                                          std::vector<RecordingEntry>& found) const {
  struct stat self {};
  if (::stat(record.name.c_str(), &self) != 0 || !S_ISDIR(self.st_mode)) return false;
  const std::pair<uint64_t, uint64_t> identity{static_cast<uint64_t>(self.st_dev), static_cast<uint64_t>(self.st_ino)};
  if (std::find(visited.begin(), visited.end(), identity) != visited.end()) return false;

  std::error_code error;
  fs::directory_iterator it(fs::path(record.name), error);
  if (error) return false;
  visited.push_back(identity);
  for (const fs::directory_iterator end; it != end; it.increment(error)) {
    if (error) break;
    const std::string name = it->path().filename().string();
    const std::string path = record.name + name;
    // One look at each entry (links followed) tells a folder from a regular file.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) continue;
    if (S_ISDIR(info.st_mode)) {
      FolderRecord sub;
      sub.name = path + "/";
      names::CopyNarrow(sub.narrowName, sub.name);
      // An unreadable subfolder adds nothing and does not end the scan.
      ScanFolderBelow(sub, folderIndex, visited, found);
      record.count += sub.count;
      continue;
    }
    if (!IsAdmissibleName(name)) continue;
    // Sockets, pipes and devices are never recordings, whatever they are called.
    if (!S_ISREG(info.st_mode)) continue;
    found.push_back(MakeLocalEntry(name, path, static_cast<uint64_t>(info.st_size), folderIndex));
    ++record.count;
  }
  return true;
}

bool RecordingCollection::FillFromDrive(const SourceEntry& source, OpenedSet& opened) const {
  FolderRecord record;
  // A source without a root must not turn into a scan of the whole file system.
  if (!source.root.empty()) {
    record.name = EndsWithSlash(source.root) ? source.root : source.root + "/";
    names::CopyNarrow(record.narrowName, record.name);
    VisitedFolders visited;
    ScanFolderBelow(record, kDriveFolderIndex, visited, opened.entries);
  }
  opened.scannedFolders.push_back(record);
  // An empty drive is opened all the same.
  return true;
}

bool RecordingCollection::OpenDrive(const SourceEntry& source) {
  return OpenAside([&](OpenedSet& opened) { return FillFromDrive(source, opened); });
}

bool RecordingCollection::AddChosenFile(FolderRecord& record, const std::string& path,
                                        std::vector<RecordingEntry>& found) const {
  uint64_t size = 0;
  // A folder found under a file's name is no recording either: treated as missing.
  if (!StatRegularFile(path, size)) return false;
  const std::string name = BaseName(path);
  if (IsAdmissibleName(name)) {
    found.push_back(MakeLocalEntry(name, path, size, kChosenFolderIndex));
    ++record.count;
  }
  return true;
}

bool RecordingCollection::FillFromLocalPaths(const std::vector<std::string>& paths, bool lookUpWithSuffix,
                                             OpenedSet& opened) const {
  // One record serves all paths; it keeps the path handled last.
  FolderRecord record;
  for (const std::string& path : paths) {
    record.name = path;
    if (IsFolder(path)) {
      if (!EndsWithSlash(record.name)) record.name += "/";
      VisitedFolders visited;
      ScanFolderBelow(record, kChosenFolderIndex, visited, opened.entries);
      continue;
    }
    std::string lookup = path;
    if (lookUpWithSuffix) {
      const std::string tail = path.size() >= 4 ? names::LowerAscii(path.substr(path.size() - 4)) : path;
      if (tail != kRecordingSuffix) lookup += kRecordingSuffix;
    }
    // A missing file ends the open.
    if (!AddChosenFile(record, lookup, opened.entries)) return false;
  }
  if (record.count <= 0) return false;
  names::CopyNarrow(record.narrowName, record.name);
  opened.scannedFolders.push_back(record);
  return true;
}

bool RecordingCollection::OpenChosenPaths(const std::vector<std::string>& paths) {
  // The picker may hand back a recording's name without its extension.
  return OpenAside([&](OpenedSet& opened) { return FillFromLocalPaths(paths, true, opened); });
}

bool RecordingCollection::OpenDroppedFiles(const std::vector<std::string>& paths) {
  return OpenAside([&](OpenedSet& opened) { return FillFromLocalPaths(paths, false, opened); });
}
