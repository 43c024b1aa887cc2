// Card access: the sources on the machine, opening one, listing a card's recording
// folders and saving a copy of a recording.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "kovr/FileListing.h"
#include "kovr/Kovr.h"
#include "sources/DriveTable.h"
#include "sources/NameParsing.h"
#include "sources/RecordingCollection.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kCardOpenFailure = "KOVR drive cannot be opened\n";
constexpr int32_t kCopyBufferSize = 262144;
constexpr const char* kPartialCopySuffix = ".partial";

// A drive has a medium when its root answers a file-system query with a block size.
bool HasMedium(const std::string& root) {
  struct statvfs info {};
  return ::statvfs(root.c_str(), &info) == 0 && info.f_bsize > 0;
}

// Whether the card library finds its file system on the device, read through a
// descriptor this user may hold. Through the disk service nobody is asked while the
// sources are listed: without the right, the partition type the service reports says.
bool CarriesCardFileSystem(const drives::Drive& drive, const char* physicalPath) {
  if (!drive.throughService) return VK_Kovr_Check_Kovr_partition(physicalPath) != 0;
  drives::AccessError error;
  const int fd = drives::ServiceOpenDevice(drive.device, false, false, false, error);
  if (fd < 0) return drive.kovrPartition;
  VK_Kovr_Bind_Descriptor(physicalPath, fd);
  const bool card = VK_Kovr_Check_Kovr_partition(physicalPath) != 0;
  VK_Kovr_Bind_Descriptor(physicalPath, -1);
  ::close(fd);
  return card;
}

// The probe: only a drive that may be offered and that this user can reach (the
// device opened for writing, as the camera settings and the formatting will; through
// the disk service, reaching is its business when the card is opened).
bool ProbeDrive(const drives::Drive& drive, SourceEntry& entry, std::string& note) {
  if (!drives::MayOffer(drive)) return false;
  // A device path that does not fit the source record is not cut: a cut path could
  // name another device.
  if (drive.device.size() >= sizeof entry.physicalPath) return false;
  if (!drive.throughService) {
    const int fd = ::open(drive.device.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
      note = drive.device + ": " + std::strerror(errno);
      return false;
    }
    ::close(fd);
  }
  std::memcpy(entry.physicalPath, drive.device.c_str(), drive.device.size() + 1);
  const bool card = CarriesCardFileSystem(drive, entry.physicalPath);
  // A drive without the card file system is scanned as a folder: only when mounted.
  if (!card && !(drive.mounted && HasMedium(drive.root))) return false;
  entry.kind = card ? kSourceCard : kSourceRemovableDrive;
  return true;
}

// Writes a copy through a file of its own beside destination and gives it the
// destination's name only once it is whole: a copy that fails half-way (a card read
// error, a full disk) leaves the destination as it was and nothing half-written.
// `fill` and the result are 0 or the errno of what failed.
template <typename Fill>
int CopyReplacing(const std::string& destination, Fill fill) {
  const std::string partial = destination + kPartialCopySuffix;
  std::error_code ec;
  int error = fill(partial);
  if (error == 0) {
    fs::rename(partial, destination, ec);
    error = ec.value();
  }
  if (error != 0) fs::remove(partial, ec);
  return error;
}

}  // namespace

RecordingCollection::CardLibraryLifetime::CardLibraryLifetime(RecordingCollection* o) : owner(o) { VK_Kovr_Start(); }

RecordingCollection::CardLibraryLifetime::~CardLibraryLifetime() {
  owner->CloseCard();
  VK_Kovr_Stop();
}

int RecordingCollection::EnumerateSources() {
  sources.clear();
  accessNotes.clear();
  const std::vector<drives::Drive> found = drives::ListDrives();
  std::vector<std::string> listedDevices;
  for (size_t i = 0; i < found.size(); ++i) {
    const drives::Drive& drive = found[i];
    // One source per card: its first volume (the drives come first-partition first).
    if (std::find(listedDevices.begin(), listedDevices.end(), drive.device) != listedDevices.end()) continue;
    SourceEntry entry;
    entry.driveIndex = static_cast<int32_t>(i);
    // A mount point ends in "/"; a card with nothing mounted is named by its device.
    entry.root = !drive.mounted || drive.root.back() == '/' ? drive.root : drive.root + "/";
    std::string note;
    if (!ProbeDrive(drive, entry, note)) {
      if (!note.empty() && std::find(accessNotes.begin(), accessNotes.end(), note) == accessNotes.end())
        accessNotes.push_back(note);
      continue;
    }
    listedDevices.push_back(drive.device);
    sources.push_back(entry);
  }
  SourceEntry folderItem;
  folderItem.root = folderItemLabel;
  folderItem.kind = kSourceChosenFiles;
  sources.push_back(folderItem);
  return static_cast<int>(sources.size());
}

template <typename OpenFolderItem>
bool RecordingCollection::OpenSourceWith(int index, OpenFolderItem openFolderItem) {
  if (index < 0 || static_cast<size_t>(index) >= sources.size()) return false;
  // A copy: the entry must not change under the open.
  const SourceEntry source = sources[static_cast<size_t>(index)];
  openProblem = drives::AccessError{};
  openProblemDevice.clear();
  bool opened = false;
  switch (source.kind) {
    case kSourceRemovableDrive:
      opened = OpenDrive(source);
      break;
    case kSourceCard:
      opened = OpenCard(source);
      break;
    case kSourceChosenFiles:
      opened = openFolderItem();
      break;
    default:
      break;
  }
  // A failed open has left the earlier set, its kind and its card connection alone.
  if (opened) {
    sourceKind = source.kind;
    SortEntries();
    selectedSource = index;
  }
  return opened;
}

bool RecordingCollection::OpenSource(int index) {
  return OpenSourceWith(index, [] { return false; });
}

bool RecordingCollection::OpenSourceWithChoice(int index, const std::vector<std::string>& paths) {
  return OpenSourceWith(index, [&] { return OpenChosenPaths(paths); });
}

bool RecordingCollection::OpenSourceWithDrop(int index, const std::vector<std::string>& droppedPaths) {
  return OpenSourceWith(index, [&] { return OpenDroppedFiles(droppedPaths); });
}

bool RecordingCollection::FillFromCard(const SourceEntry& source, OpenedSet& opened,
                                       drives::AccessError& problem) const {
  if (opened.device.Open(source.physicalPath, &problem) != 0) {
    std::fputs(kCardOpenFailure, stdout);
    std::fflush(stdout);
    return false;
  }
  for (size_t i = 0; i < cardFolders.size(); ++i) {
    FolderRecord record;
    std::memcpy(record.narrowName, cardFolders[i].narrowName, sizeof record.narrowName);
    record.narrowName[sizeof record.narrowName - 1] = '\0';
    record.name = record.narrowName;
    ListCardFolderInto(opened.device.Block(), record, static_cast<int>(i), opened.entries);
    opened.scannedFolders.push_back(record);
  }
  // Also when no file was found.
  return true;
}

bool RecordingCollection::OpenCard(const SourceEntry& source) {
  openProblem = drives::AccessError{};
  openProblemDevice = source.physicalPath;
  return OpenAside([&](OpenedSet& opened) { return FillFromCard(source, opened, openProblem); });
}

bool RecordingCollection::ListCardFolder(FolderRecord& record, int folderIndex) {
  const std::size_t before = entries.size();
  ListCardFolderInto(device.Block(), record, folderIndex, entries);
  // Appending may have moved the entries the rows point at.
  if (entries.size() != before) rows.clear();
  return true;
}

void RecordingCollection::ListCardFolderInto(void* card, FolderRecord& record, int folderIndex,
                                             std::vector<RecordingEntry>& found) const {
  if (!card) return;
  kovr::ForEachListedFile(card, record.narrowName, [&](const kovr::ListedFile& file) {
    RecordingEntry entry;
    entry.folderIndex = folderIndex;
    entry.cardFileNumber = file.number;
    names::CopyNarrow(entry.cardName, file.name);
    entry.fileName = file.name;
    entry.path = file.name;
    ParseRecordingName(entry.fileName, entry);
    entry.sizeKiB = file.bytes >> 10;
    found.push_back(std::move(entry));
    ++record.count;
  });
}

void RecordingCollection::CloseCard() { device.Close(); }

std::string RecordingCollection::SafeLocalName(const std::string& cardName) {
  std::string safe;
  for (const char c : cardName) {
    const auto u = static_cast<unsigned char>(c);
    safe += (c == '/' || c == '\\' || u < 0x20 || u == 0x7F) ? '_' : c;
  }
  if (safe.empty() || safe == "." || safe == "..") safe = "_" + safe;
  return safe;
}

std::string RecordingCollection::SuggestedCopyName(int row) const {
  const RecordingEntry* entry = EntryForRow(row);
  if (!entry) return {};
  if (entry->cardFileNumber > 0) {
    const size_t dot = entry->path.rfind('.');
    const std::string stem = dot == std::string::npos ? entry->path : entry->path.substr(0, dot);
    return SafeLocalName(stem + "." + defaultExtension);
  }
  const size_t slash = entry->path.rfind('/');
  return SafeLocalName(slash == std::string::npos ? entry->path : entry->path.substr(slash + 1));
}

bool RecordingCollection::SaveRecordingCopy(int row, const std::string& destination, int* error) {
  int failure = EINVAL;
  const auto done = [&](int e) {
    if (error != nullptr) *error = e;
    return e == 0;
  };
  const RecordingEntry* entry = EntryForRow(row);
  if (!entry || destination.empty()) return done(failure);
  if (entry->cardFileNumber <= 0) {
    // The same file under another spelling (a link, "./") counts as the recording
    // itself: copying it onto itself would empty it.
    std::error_code ec;
    if (destination == entry->path || fs::equivalent(destination, entry->path, ec)) return done(EEXIST);
    return done(CopyReplacing(destination, [&](const std::string& partial) {
      std::error_code copyError;
      const bool copied = fs::copy_file(entry->path, partial, fs::copy_options::overwrite_existing, copyError);
      return copyError ? copyError.value() : (copied ? 0 : EIO);
    }));
  }
  if (entry->folderIndex < 0 || static_cast<size_t>(entry->folderIndex) >= scannedFolders.size() || !device.IsOpen())
    return done(ENODEV);
  const FolderRecord& folder = scannedFolders[static_cast<size_t>(entry->folderIndex)];
  // The whole name as listed: the 63-byte cardName would not find a longer one.
  const std::string path = std::string("/") + folder.narrowName + "/" + entry->fileName;
  void* const card = device.Block();
  const int handle = VK_Kovr_File_Open(card, path.c_str(), "r", 0, 0, entry->cardFileNumber);
  if (handle <= 0) return done(EIO);
  failure = CopyReplacing(destination, [&](const std::string& partial) {
    std::FILE* out = std::fopen(partial.c_str(), "wb");
    if (!out) return errno;
    std::vector<unsigned char> buffer(kCopyBufferSize);
    int copyError = 0;
    int n = 0;
    while ((n = VK_Kovr_File_Read(card, buffer.data(), kCopyBufferSize, handle)) > 0) {
      if (std::fwrite(buffer.data(), 1, static_cast<size_t>(n), out) != static_cast<size_t>(n)) {
        copyError = errno != 0 ? errno : EIO;
        break;
      }
    }
    // A card that cannot be read further is not the destination's fault: said as the
    // system's input/output error.
    if (n < 0 && copyError == 0) copyError = EIO;
    if (std::fflush(out) != 0 && copyError == 0) copyError = errno;
    if (std::fclose(out) != 0 && copyError == 0) copyError = errno;
    return copyError;
  });
  VK_Kovr_File_Close(card, handle);
  return done(failure);
}
