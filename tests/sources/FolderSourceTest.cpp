// Filling the recording set from ordinary files: drives, chosen paths, drops.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "sources/MemoryRecordingList.h"
#include "sources/RecordingCollection.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace {

using testsupport::MakeFile;
using testsupport::TempFolder;

class FolderSource : public ::testing::Test {
 protected:
  FolderSource() {
    set.AddCardFolder("NORMAL");
    set.AddExtension("AVI");
  }

  std::multiset<std::string> FileNames() const {
    std::multiset<std::string> result;
    for (const RecordingEntry& e : set.entries) result.insert(e.fileName);
    return result;
  }

  // The path of `relative` inside the test's folder, as the set stores paths.
  std::string At(const std::string& relative) const { return (temp.Path() / relative).string(); }
  // Makes a file of `size` bytes (and its folders) inside the test's folder.
  std::string File(const std::string& relative, std::size_t size = 0) const {
    return MakeFile(temp.Path() / relative, size).string();
  }

  TempFolder temp;
  RecordingCollection set;
};

// --- folder scan ---

TEST_F(FolderSource, ScanFindsAdmittedFilesInNestedFoldersAndCountsThem) {
  File("a/REC_20120315_134501_2.avi", 4096);
  File("a/b/EVT_20120315_134502_1.AVI", 2047);
  File("a/b/c/PRK_20120315_134503_2.avi");
  File("a/b/notes.txt");
  File("a/b/c/clip.mp4");
  FolderRecord record;
  record.name = At("a/");
  EXPECT_TRUE(set.ScanFolder(record, 1));
  EXPECT_EQ(record.count, 3);
  EXPECT_EQ(FileNames(), (std::multiset<std::string>{"REC_20120315_134501_2.avi", "EVT_20120315_134502_1.AVI",
                                                     "PRK_20120315_134503_2.avi"}));
  const auto it = std::find_if(set.entries.begin(), set.entries.end(),
                               [](const RecordingEntry& e) { return e.fileName[0] == 'E'; });
  ASSERT_NE(it, set.entries.end());
  EXPECT_EQ(it->path, At("a/b/EVT_20120315_134502_1.AVI"));
  EXPECT_EQ(it->folderIndex, 1);
  EXPECT_EQ(it->cardFileNumber, -1);
  EXPECT_STREQ(it->cardName, "");
  EXPECT_EQ(it->sizeKiB, 1u);  // 2047 / 1024 rounded down
  EXPECT_EQ(it->recordTime.second, 2);
}

TEST_F(FolderSource, ScanOfAMissingFolderIsFalse) {
  FolderRecord record;
  record.name = At("missing/");
  EXPECT_FALSE(set.ScanFolder(record, 1));
  EXPECT_EQ(record.count, 0);
}

TEST_F(FolderSource, ScanOfAFileInsteadOfAFolderIsFalse) {
  FolderRecord record;
  record.name = File("REC_20120315_134501_2.avi") + "/";
  EXPECT_FALSE(set.ScanFolder(record, 1));
  EXPECT_EQ(set.EntryCount(), 0);
}

TEST_F(FolderSource, UnreadableSubfolderIsSkippedAndTheScanGoesOn) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
  File("top/REC_20120315_134501_2.avi");
  File("top/locked/REC_20120315_134502_2.avi");
  ::chmod((At("top/locked")).c_str(), 0);
  FolderRecord record;
  record.name = At("top/");
  EXPECT_TRUE(set.ScanFolder(record, 0));
  ::chmod((At("top/locked")).c_str(), 0755);
  EXPECT_EQ(record.count, 1);
}

TEST_F(FolderSource, LinkBackUpTheTreeDoesNotScanForever) {
  File("loop/REC_20120315_134501_2.avi");
  std::filesystem::create_directory_symlink(At("loop"), At("loop/again"));
  FolderRecord record;
  record.name = At("loop/");
  EXPECT_TRUE(set.ScanFolder(record, 1));
  EXPECT_EQ(record.count, 1);
}

TEST_F(FolderSource, PipesNamedLikeRecordingsAreNotRecordings) {
  std::filesystem::create_directories(At("fifo"));
  ASSERT_EQ(::mkfifo((At("fifo/REC_20120315_134501_2.avi")).c_str(), 0600), 0);
  FolderRecord record;
  record.name = At("fifo/");
  EXPECT_TRUE(set.ScanFolder(record, 1));
  EXPECT_EQ(record.count, 0);
}

TEST_F(FolderSource, BinaryGarbageFileNamesDoNotCrashTheScan) {
  std::string name = "\xFF\xFE\x80\x01.avi";
  File("junk/" + name, 10);
  FolderRecord record;
  record.name = At("junk/");
  EXPECT_TRUE(set.ScanFolder(record, 1));
  ASSERT_EQ(record.count, 1);
  EXPECT_EQ(set.entries[0].fileName, name);
  EXPECT_EQ(set.entries[0].fileTime, 0);
}

// --- removable drive ---

TEST_F(FolderSource, DriveWithoutRecordingsOpensWithAnEmptySet) {
  File("drive/readme.txt");
  SourceEntry drive;
  drive.root = At("drive");
  EXPECT_TRUE(set.OpenDrive(drive));
  EXPECT_EQ(set.EntryCount(), 0);
  ASSERT_EQ(set.scannedFolders.size(), 1u);
  EXPECT_EQ(set.scannedFolders[0].name, At("drive/"));
  EXPECT_EQ(set.scannedFolders[0].count, 0);
}

TEST_F(FolderSource, DriveFilesHaveFolderIndexZeroAndReplaceTheEarlierSet) {
  File("drive/x/REC_20120315_134501_2.avi");
  set.entries.resize(5);
  set.scannedFolders.resize(2);
  SourceEntry drive;
  drive.root = At("drive/");
  EXPECT_TRUE(set.OpenDrive(drive));
  ASSERT_EQ(set.EntryCount(), 1);
  EXPECT_EQ(set.EntryAt(0)->folderIndex, 0);
  ASSERT_EQ(set.scannedFolders.size(), 1u);
  EXPECT_EQ(set.scannedFolders[0].count, 1);
}

TEST_F(FolderSource, DriveWithoutARootScansNothing) {
  EXPECT_TRUE(set.OpenDrive(SourceEntry{}));
  EXPECT_EQ(set.EntryCount(), 0);
  ASSERT_EQ(set.scannedFolders.size(), 1u);
  EXPECT_EQ(set.scannedFolders[0].name, "");
}

// --- chosen paths ---

TEST_F(FolderSource, ChosenFileWithoutExtensionIsLookedUpWithAvi) {
  const std::string file = File("REC_20120315_134501_2.avi", 3000);
  EXPECT_TRUE(set.OpenChosenPaths({At("REC_20120315_134501_2")}));
  ASSERT_EQ(set.EntryCount(), 1);
  EXPECT_EQ(set.EntryAt(0)->path, file);
  EXPECT_EQ(set.EntryAt(0)->fileName, "REC_20120315_134501_2.avi");
  EXPECT_EQ(set.EntryAt(0)->folderIndex, 1);
  EXPECT_EQ(set.EntryAt(0)->sizeKiB, 2u);
}

TEST_F(FolderSource, ChosenPathEndingInUpperCaseAviIsLookedUpUnchanged) {
  const std::string file = File("EVT_20120315_134501_2.AVI");
  EXPECT_TRUE(set.OpenChosenPaths({file}));
  ASSERT_EQ(set.EntryCount(), 1);
  EXPECT_EQ(set.EntryAt(0)->path, file);
  // Not "…AVI.avi": that lookup would have failed.
}

TEST_F(FolderSource, ChosenFileWithAnotherExtensionIsLookedUpWithAviAppended) {
  File("clip.mp4");
  EXPECT_FALSE(set.OpenChosenPaths({At("clip.mp4")}));
  File("clip.mp4.avi");
  EXPECT_TRUE(set.OpenChosenPaths({At("clip.mp4")}));
  EXPECT_EQ(set.EntryAt(0)->fileName, "clip.mp4.avi");
}

TEST_F(FolderSource, MissingChosenFileEndsTheOpenAddingNothing) {
  File("REC_20120315_134502_2.avi");
  File("REC_20120315_134501_2.avi");
  EXPECT_FALSE(
      set.OpenChosenPaths({At("REC_20120315_134502_2.avi"), At("nothing.avi"), At("REC_20120315_134501_2.avi")}));
  EXPECT_EQ(set.EntryCount(), 0) << "the file found before the missing one was kept";
  EXPECT_TRUE(set.scannedFolders.empty());
}

TEST_F(FolderSource, ChosenFoldersAndFilesShareOneRecordNamedByTheLastPath) {
  File("f1/REC_20120315_134501_2.avi");
  File("f1/sub/REC_20120315_134502_2.avi");
  const std::string file = File("EVT_20120315_134503_2.avi");
  EXPECT_TRUE(set.OpenChosenPaths({At("f1"), file}));
  EXPECT_EQ(set.EntryCount(), 3);
  ASSERT_EQ(set.scannedFolders.size(), 1u);
  EXPECT_EQ(set.scannedFolders[0].count, 3);
  EXPECT_EQ(set.scannedFolders[0].name, file);

  EXPECT_TRUE(set.OpenChosenPaths({file, At("f1")}));
  EXPECT_EQ(set.scannedFolders[0].name, At("f1/"));
}

TEST_F(FolderSource, ChosenFolderWithoutRecordingsIsFalse) {
  File("empty/readme.txt");
  EXPECT_FALSE(set.OpenChosenPaths({At("empty")}));
  EXPECT_EQ(set.EntryCount(), 0);
  EXPECT_TRUE(set.scannedFolders.empty());
  EXPECT_FALSE(set.OpenChosenPaths({}));
}

TEST_F(FolderSource, OpeningAgainDropsRowsOfTheEarlierSet) {
  File("REC_20120315_134501_2.avi");
  set.entries.resize(3);
  set.rows = {&set.entries[0], &set.entries[1]};
  EXPECT_TRUE(set.OpenChosenPaths({At("REC_20120315_134501_2.avi")}));
  EXPECT_EQ(set.EntryForRow(0), nullptr);
}

// --- a failed open after a good one ---

class FailedOpen : public FolderSource {
 protected:
  // A listed set of two recordings from one chosen folder.
  void OpenGoodSet() {
    File("good/REC_20120315_134501_2.avi");
    File("good/EVT_20120315_134502_2.avi");
    ASSERT_TRUE(set.OpenChosenPaths({At("good")}));
    set.SortEntries();
    ASSERT_EQ(set.ListAll(list), 2);
    firstRow = set.EntryForRow(0);
    secondRow = set.EntryForRow(1);
  }
  // The good set, its rows and its folder record are all still there.
  void ExpectGoodSetKept() const {
    ASSERT_EQ(set.EntryCount(), 2);
    EXPECT_EQ(set.EntryForRow(0), firstRow);
    EXPECT_EQ(set.EntryForRow(1), secondRow);
    ASSERT_NE(set.EntryForRow(0), nullptr);
    EXPECT_EQ(set.EntryForRow(0)->fileName, "REC_20120315_134501_2.avi");
    EXPECT_EQ(set.EntryForRow(1)->path, At("good/EVT_20120315_134502_2.avi"));
    ASSERT_EQ(set.scannedFolders.size(), 1u);
    EXPECT_EQ(set.scannedFolders[0].name, At("good/"));
    EXPECT_EQ(set.scannedFolders[0].count, 2);
  }

  MemoryRecordingList list;
  const RecordingEntry* firstRow = nullptr;
  const RecordingEntry* secondRow = nullptr;
};

TEST_F(FailedOpen, MissingChosenFileLeavesTheEarlierRowsValid) {
  OpenGoodSet();
  File("other/PRK_20120315_134503_2.avi");
  EXPECT_FALSE(set.OpenChosenPaths({At("other"), At("nothing.avi")}));
  ExpectGoodSetKept();
}

TEST_F(FailedOpen, ChoiceWithoutRecordingsLeavesTheEarlierSet) {
  OpenGoodSet();
  File("empty/readme.txt");
  EXPECT_FALSE(set.OpenChosenPaths({At("empty")}));
  EXPECT_FALSE(set.OpenChosenPaths({}));
  ExpectGoodSetKept();
}

TEST_F(FailedOpen, DropOfMissingOrInadmissibleFilesLeavesTheEarlierSet) {
  OpenGoodSet();
  EXPECT_FALSE(set.OpenDroppedFiles({At("gone.avi")}));
  EXPECT_FALSE(set.OpenDroppedFiles({File("a.txt")}));
  ExpectGoodSetKept();
}

TEST_F(FailedOpen, FolderItemAndOutOfRangeIndicesLeaveSetKindAndSource) {
  OpenGoodSet();
  SourceEntry folderItem;
  folderItem.kind = kSourceChosenFiles;
  set.sources = {folderItem};
  ASSERT_TRUE(set.OpenSourceWithChoice(0, {At("good")}));
  ASSERT_EQ(set.ListAll(list), 2);
  firstRow = set.EntryForRow(0);
  secondRow = set.EntryForRow(1);
  set.sourceKind = kSourceRemovableDrive;  // as a drive opened earlier would leave it
  set.selectedSource = 0;
  EXPECT_FALSE(set.OpenSourceWithChoice(0, {At("missing")}));
  EXPECT_FALSE(set.OpenSourceWithDrop(0, {At("missing")}));
  EXPECT_FALSE(set.OpenSource(0));
  EXPECT_FALSE(set.OpenSource(1));
  EXPECT_FALSE(set.OpenSource(-1));
  EXPECT_EQ(set.sourceKind, kSourceRemovableDrive);
  EXPECT_EQ(set.selectedSource, 0);
  ExpectGoodSetKept();
}

TEST_F(FailedOpen, SuccessfulOpenReplacesEverythingAndDropsTheRows) {
  OpenGoodSet();
  File("next/PRK_20120315_134509_2.avi");
  SourceEntry folderItem;
  folderItem.kind = kSourceChosenFiles;
  set.sources = {folderItem};
  ASSERT_TRUE(set.OpenSourceWithDrop(0, {At("next")}));
  EXPECT_EQ(set.EntryForRow(0), nullptr);
  EXPECT_EQ(set.sourceKind, kSourceChosenFiles);
  EXPECT_EQ(set.selectedSource, 0);
  ASSERT_EQ(set.EntryCount(), 1);
  EXPECT_EQ(set.EntryAt(0)->fileName, "PRK_20120315_134509_2.avi");
  ASSERT_EQ(set.scannedFolders.size(), 1u);
  EXPECT_EQ(set.scannedFolders[0].name, At("next/"));
  EXPECT_EQ(set.ListAll(list), 1);
}

// --- drops ---

TEST_F(FolderSource, DroppedFolderWithRecordingsOnlyInNestedFoldersSucceeds) {
  File("drop/a/b/REC_20120315_134501_2.avi");
  File("drop/c/EVT_20120315_134502_2.avi");
  EXPECT_TRUE(set.OpenDroppedFiles({At("drop")}));
  EXPECT_EQ(set.EntryCount(), 2);
  ASSERT_EQ(set.scannedFolders.size(), 1u);
  EXPECT_EQ(set.scannedFolders[0].count, 2);
  EXPECT_EQ(set.EntryAt(0)->folderIndex, 1);
}

TEST_F(FolderSource, DroppingOnlyOtherExtensionsIsFalseWithAnEmptySet) {
  const std::string a = File("a.txt");
  const std::string b = File("b.mp4");
  EXPECT_FALSE(set.OpenDroppedFiles({a, b}));
  EXPECT_EQ(set.EntryCount(), 0);
}

TEST_F(FolderSource, DroppedFileGetsNoAviAppended) {
  File("REC_20120315_134501_2.avi");
  EXPECT_FALSE(set.OpenDroppedFiles({At("REC_20120315_134501_2")}));
  const std::string file = File("REC_20120315_134501_2.avi");
  EXPECT_TRUE(set.OpenDroppedFiles({file}));
  EXPECT_EQ(set.EntryAt(0)->path, file);
}

TEST_F(FolderSource, OpenAndSortGiveTheDateOrder) {
  File("s/REC_20120315_134503_2.avi");
  File("s/EVT_20120315_134501_2.avi");
  File("s/x/PRK_20120315_134502_2.avi");
  ASSERT_TRUE(set.OpenChosenPaths({At("s")}));
  set.SortEntries();
  EXPECT_EQ(set.EntryAt(0)->fileName, "EVT_20120315_134501_2.avi");
  EXPECT_EQ(set.EntryAt(1)->fileName, "PRK_20120315_134502_2.avi");
  EXPECT_EQ(set.EntryAt(2)->fileName, "REC_20120315_134503_2.avi");
}

}  // namespace
