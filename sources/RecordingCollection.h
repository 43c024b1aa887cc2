#pragma once
// The recording set: every recording of the source opened last, the sources found on
// the machine and the open card connection. The main window owns the one instance.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "settings/ApplicationStrings.h"
#include "settings/StringIds.h"
#include "sources/CardConnection.h"
#include "sources/RecordingEntry.h"
#include "sources/RecordingList.h"
#include "sources/Trips.h"

// A place recordings come from. The folder item (files and folders on the computer)
// is always the last source.
struct SourceEntry {
  int32_t driveIndex = 0;
  // The card's mount point ("/" at the end); for the folder item, folderItemLabel.
  std::string root;
  // The whole-disk device behind the mount point.
  char physicalPath[64] = {};
  int32_t kind = 0;  // SourceKind: 0 removable drive, 1 dashcam card, 2 folder item
};

// One listed card folder, drive root or chosen path, with the files added from it.
struct FolderRecord {
  // Path of a scanned folder, ending in "/"; or the card folder's name.
  std::string name;
  char narrowName[64] = {};
  int32_t count = 0;
};

// A folder of the card file system that holds recordings.
struct CardFolder {
  std::string name;
  char narrowName[64] = {};
};

// sourceKind values (and SourceEntry::kind for the first three).
enum SourceKind : int32_t {
  kSourceRemovableDrive = 0,
  kSourceCard = 1,
  kSourceChosenFiles = 2,
  kSourceNone = 3,
};

// Type groups, the file list's filter values. No type code maps to 1.
enum RecordingGroup : int32_t {
  kGroupNormal = 0,
  kGroupEvent = 2,
  kGroupParking = 3,
  kGroupUnknown = 6,
};

// Label of names without a known type code; not translated.
inline constexpr const char* kUnknownTypeLabel = "UnKnown";

// Reads a language string by number; false when there is none (see LoadLanguageString).
using LanguageLookup = bool (*)(int number, std::string& text);

// What one open of a source fills. It is built aside and swapped in whole when the open
// succeeds, so a failed open leaves the set, its rows and its card connection as they
// were.
struct OpenedSet {
  std::vector<FolderRecord> scannedFolders;
  std::vector<RecordingEntry> entries;
  CardConnection device;
};

class RecordingCollection {
 public:
  RecordingCollection();
  ~RecordingCollection();
  RecordingCollection(const RecordingCollection&) = delete;
  RecordingCollection& operator=(const RecordingCollection&) = delete;

  // --- recording model (RecordingCollection.cpp) ---

  // Appends a card folder unless the same name (case-sensitive) is there already.
  bool AddCardFolder(const std::string& name);
  // Appends the lower-cased extension unless present; false for an empty one.
  bool AddExtension(const std::string& ext);
  // Whether a local file's extension (text after the last ".", or the whole name
  // without one) is admitted, compared in lower case.
  bool IsAdmissibleName(const std::string& fileName) const;
  // Fills recordTime and fileTime from the fixed positions of the name.
  static void ParseRecordingName(const std::string& fileName, RecordingEntry& entry);
  // The type group of a name from its first three characters (case-sensitive).
  static RecordingGroup GroupOfName(const std::string& fileName);
  // The camera channel count at position 20 of the name, read like atoi.
  static int ChannelCountFromName(const std::string& fileName);

  // Orders entries by the date-time part of the name, then by size.
  void SortEntries();
  // Fills the list with every entry; the number of rows.
  int ListAll(RecordingList& list);
  // Fills the list with the entries of one group (0, 2 or 3); the number of rows.
  int ListGroup(RecordingList& list, int group);

  // The entry of list row `row`; null outside the rows of the last listing.
  const RecordingEntry* EntryForRow(int row) const;
  // Entry `index` of the set; null outside it.
  const RecordingEntry* EntryAt(int index) const;
  int EntryCount() const;
  // The source opened last; null when none is.
  const SourceEntry* CurrentSource() const;

  // --- trips (TripRows.cpp) ---

  // Reads the length of every entry not read yet from its file's headers (a few
  // reads each; card files through the open card connection).
  void ReadRecordingLengths();
  // The trips of the last listing's rows, in row order (trips::GroupTrips); entries
  // whose length was not read count as of unknown length.
  std::vector<trips::TripRow> TripsOfRows() const;

  // --- folder source (FolderSource.cpp) ---

  // Adds the admitted files of the folder `record` names (ending in "/") and of all
  // its subfolders to entries, counting them in record.count. False only when the
  // folder cannot be listed.
  bool ScanFolder(FolderRecord& record, int folderIndex);
  // Fills the set from a removable drive without the card file system.
  bool OpenDrive(const SourceEntry& source);
  // Fills the set from the files and folders chosen in the folder picker, in order.
  // A file named without ".avi" is looked up with ".avi" appended. False, with the
  // earlier set kept, when a file is missing or nothing admissible was found.
  bool OpenChosenPaths(const std::vector<std::string>& paths);
  // Fills the set from files and folders dropped on the file list, in drop order.
  bool OpenDroppedFiles(const std::vector<std::string>& paths);

  // --- card access (CardAccess.cpp) ---

  // Rebuilds sources: removable drives with a medium that may be offered (no system
  // disk, nothing foreign mounted) and that this user can reach (kind 1 when they carry
  // the card file system, mounted or not; kind 0 for a mounted volume without it),
  // then the folder item. The number of sources, at least 1. Drives left out because
  // they could not be reached are named in accessNotes.
  int EnumerateSources();
  // Opens source `index` of the latest enumeration; a folder item needs one of the
  // two entry points below. Only a successful open changes the set, sourceKind,
  // selectedSource and the card connection.
  bool OpenSource(int index);
  bool OpenSourceWithChoice(int index, const std::vector<std::string>& paths);
  bool OpenSourceWithDrop(int index, const std::vector<std::string>& droppedPaths);
  // Opens the card of a kind 1 source and lists its recording folders; the connection
  // open before is closed only once the new one is open.
  bool OpenCard(const SourceEntry& source);
  // Adds the files of one card folder to entries; always true.
  bool ListCardFolder(FolderRecord& record, int folderIndex);
  // Closes the card connection when one is open.
  void CloseCard();
  // Copies the recording of list row `row` to `destination` (the path the user
  // chose): card recordings through the card library, local ones unless the
  // destination is the recording itself. False when nothing was copied: the
  // destination is then as it was, and nothing half-written lies beside it, and
  // `error` is why: the errno of the write, EIO when the card could not be read,
  // EEXIST when the destination is the recording itself.
  bool SaveRecordingCopy(int row, const std::string& destination, int* error = nullptr);
  // The file name offered for a copy of row `row`: the name up to its last "." and
  // "." defaultExtension for card recordings, the file's own name otherwise. Made
  // safe to put in a folder: no "/", no control characters, never "." or "..".
  std::string SuggestedCopyName(int row) const;
  // A card file name made safe to use as one file name in a local folder.
  static std::string SafeLocalName(const std::string& cardName);

  // Fields, in order.
  void* ownerWindow = nullptr;  // owner of file operations' windows
  int32_t sourceKind = kSourceNone;
  std::vector<FolderRecord> scannedFolders;
  std::vector<RecordingEntry> entries;
  std::vector<SourceEntry> sources;
  std::vector<CardFolder> cardFolders;
  // One pointer into entries per file list row; valid until entries next changes.
  std::vector<const RecordingEntry*> rows;
  // Lower-case extensions that admit a local file.
  std::vector<std::string> extensions;
  // The open card connection; its Block() is the card handle of the card library's
  // calls and the player's source handle (null while no card is open).
  CardConnection device;
  int32_t sortMode = 1;
  int32_t selectedSource = -1;
  std::string folderItemLabel = ApplicationString(kAppStrFolderItemLabel);
  std::string defaultExtension = "avi";
  // [0] the last listing saw an entry, [1] a normal, [2] an event, [3] a parking one.
  uint8_t typePresent[4] = {0, 0, 0, 0};

  // Why drives of the latest enumeration were left out ("/dev/sdb: Permission
  // denied"), and why the latest card open failed (problem kNone when it did not).
  std::vector<std::string> accessNotes;
  drives::AccessError openProblem;
  std::string openProblemDevice;

  // Where the listings read type labels; the language library unless a test says else.
  LanguageLookup languageLookup;

  // Starts the card library with the collection and stops it last, after the card
  // connection is closed (declared last: destroyed first, while the rest still lives).
  struct CardLibraryLifetime {
    explicit CardLibraryLifetime(RecordingCollection* owner);
    ~CardLibraryLifetime();
    CardLibraryLifetime(const CardLibraryLifetime&) = delete;
    CardLibraryLifetime& operator=(const CardLibraryLifetime&) = delete;
    RecordingCollection* owner;
  };
  CardLibraryLifetime cardLibrary{this};

 private:
  int FillList(RecordingList& list, bool allGroups, int group);
  // Makes `opened` the set: its entries, folders and card connection replace the
  // current ones (the connection held before closes with `opened`).
  void Adopt(OpenedSet& opened);
  // Fills a set aside with fill(opened) and makes it the set only when that succeeds.
  template <typename Fill>
  bool OpenAside(Fill fill) {
    OpenedSet opened;
    if (!fill(opened)) return false;
    Adopt(opened);
    return true;
  }
  // Folders already entered in this scan, by device and inode, so a link back up the
  // tree cannot make the scan run forever.
  using VisitedFolders = std::vector<std::pair<uint64_t, uint64_t>>;
  bool ScanFolderBelow(FolderRecord& record, int folderIndex, VisitedFolders& visited,
                       std::vector<RecordingEntry>& found) const;
  // Looks up one chosen or dropped file; false when it does not exist.
  bool AddChosenFile(FolderRecord& record, const std::string& path, std::vector<RecordingEntry>& found) const;
  bool FillFromDrive(const SourceEntry& source, OpenedSet& opened) const;
  bool FillFromLocalPaths(const std::vector<std::string>& paths, bool lookUpWithSuffix, OpenedSet& opened) const;
  bool FillFromCard(const SourceEntry& source, OpenedSet& opened, drives::AccessError& problem) const;
  void ListCardFolderInto(void* card, FolderRecord& record, int folderIndex, std::vector<RecordingEntry>& found) const;
  // The common steps of opening a source; openFolderItem opens a kind 2 source.
  template <typename OpenFolderItem>
  bool OpenSourceWith(int index, OpenFolderItem openFolderItem);
};
