// Card access on the recording set: sources, opening cards and drives, listing the
// card folders, saving copies.

#include <gtest/gtest.h>

#include "tests/card/CardTestSupport.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

using namespace kovrtest;
using namespace testsupport;
using namespace cardtest;

namespace {

// A card that has become unreadable since the enumeration (damaged, or swapped for
// another medium).
void DamageCard(const std::string& image) {
  const Geometry g = ReadGeometry(image);
  const unsigned char junk[8] = {'F', 'O', 'R', 'E', 'I', 'G', 'N', 0};
  WriteBytesAt(image, g.partitionStart, junk, sizeof junk);
}

class CardAccess : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareCollection(set_);
    cardRoot_ = temp_.Path() / "media" / "TARVO";
    plainRoot_ = temp_.Path() / "media" / "USB";
    fs::create_directories(cardRoot_);
    fs::create_directories(plainRoot_);
    card_ = MakeFormattedCard(temp_.Path(), 120 * kMiB, "c.img");
    ASSERT_FALSE(card_.empty());
    plain_ = (temp_.Path() / "plain.img").string();
    MakeSparse(plain_, 8 * kMiB);
    table_ = temp_.Path() / "drives";
  }

  // The card and a plain removable drive, as a card reader and a USB stick give them.
  void UseBothDrives() {
    WriteTable(table_, "/|/dev/nonexistent-system|system\n" + cardRoot_.string() + "|" + card_ + "|removable\n" +
                           plainRoot_.string() + "|" + plain_ + "|removable\n");
  }

  int32_t Put(const std::string& folder, const std::string& name, size_t size, uint32_t seed, bool close = true) {
    Card card(card_);
    return card.Ok() ? card.Put(folder, name, Pattern(size, seed), close) : -1;
  }

  TempFolder temp_;
  RecordingCollection set_;
  MemoryRecordingList list_;
  fs::path cardRoot_, plainRoot_, table_;
  std::string card_, plain_;
};

TEST_F(CardAccess, MachineWithoutRemovableMediaYieldsOnlyTheFolderItem) {
  WriteTable(table_, "/|/dev/sda|system\n" + temp_.Path().string() + "|" + card_ + "|\n");
  DriveTableScope scope(table_);
  ASSERT_EQ(1, set_.EnumerateSources());
  ASSERT_EQ(1u, set_.sources.size());
  EXPECT_EQ(kSourceChosenFiles, set_.sources[0].kind);
  EXPECT_EQ(set_.folderItemLabel, set_.sources[0].root);
  EXPECT_STREQ("", set_.sources[0].physicalPath);
  EXPECT_EQ(0, set_.sources[0].driveIndex);
}

TEST_F(CardAccess, DashcamCardIsKindOneAndAnOrdinaryDriveKindZero) {
  UseBothDrives();
  DriveTableScope scope(table_);
  ASSERT_EQ(3, set_.EnumerateSources());
  EXPECT_EQ(kSourceCard, set_.sources[0].kind);
  EXPECT_EQ(cardRoot_.string() + "/", set_.sources[0].root);
  EXPECT_EQ(card_, std::string(set_.sources[0].physicalPath));
  EXPECT_EQ(1, set_.sources[0].driveIndex);
  EXPECT_EQ(kSourceRemovableDrive, set_.sources[1].kind);
  EXPECT_EQ(2, set_.sources[1].driveIndex);
  EXPECT_EQ(kSourceChosenFiles, set_.sources[2].kind);
  // A second enumeration starts afresh.
  EXPECT_EQ(3, set_.EnumerateSources());
}

TEST_F(CardAccess, DrivesWithoutMediumOrDeviceAreNoSources) {
  const std::string longImage = (temp_.Path() / std::string(70, 'l')).string();
  MakeSparse(longImage, kMiB);
  WriteTable(table_, (temp_.Path() / "absent").string() + "|" + card_ + "|removable\n" + cardRoot_.string() + "|" +
                         (temp_.Path() / "gone.img").string() + "|removable\n" + cardRoot_.string() + "|" + card_ +
                         "|removable,system\n" + plainRoot_.string() + "|" + longImage + "|removable\n");
  DriveTableScope scope(table_);
  ASSERT_EQ(2, set_.EnumerateSources()) << "no device, system disk, path too long";
  // A card is a source whether or not its volume answers: the card file system is
  // read from the device.
  EXPECT_EQ(card_, std::string(set_.sources[0].physicalPath));
  EXPECT_EQ(kSourceCard, set_.sources[0].kind);
}

TEST_F(CardAccess, CardWithFourEmptyFoldersOpensWithAnEmptySet) {
  UseBothDrives();
  DriveTableScope scope(table_);
  set_.EnumerateSources();
  ASSERT_TRUE(set_.OpenSource(0));
  EXPECT_EQ(kSourceCard, set_.sourceKind);
  EXPECT_EQ(0, set_.selectedSource);
  EXPECT_TRUE(set_.device.IsOpen());
  EXPECT_EQ(0, set_.EntryCount());
  ASSERT_EQ(4u, set_.scannedFolders.size());
  const char* names[] = {"NORMAL", "INFINITE", "EVENT", "PARKING"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_STREQ(names[i], set_.scannedFolders[i].narrowName);
    EXPECT_EQ(names[i], set_.scannedFolders[i].name);
    EXPECT_EQ(0, set_.scannedFolders[i].count);
  }
}

TEST_F(CardAccess, CardRecordingsBecomeEntriesOfTheirFolders) {
  const int32_t evt = Put("EVENT", "EVT_20240102_080000_2.avi", 5000, 1);
  const int32_t rec = Put("NORMAL", "REC_20240101_120000_1.avi", 300 * 1024 + 5, 2);
  const int32_t prk = Put("PARKING", "PRK_20231231_235959_2.avi", 2047, 3);
  for (int i = 0; i < 34; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "REC_20240103_10%04d_2.avi", i);
    ASSERT_GT(Put("NORMAL", name, 100, static_cast<uint32_t>(i)), 0);
  }
  UseBothDrives();
  DriveTableScope scope(table_);
  set_.EnumerateSources();
  ASSERT_TRUE(set_.OpenSource(0));
  ASSERT_EQ(37, set_.EntryCount());
  EXPECT_EQ(35, set_.scannedFolders[0].count) << "two batches of the NORMAL folder";
  EXPECT_EQ(0, set_.scannedFolders[1].count);
  EXPECT_EQ(1, set_.scannedFolders[2].count);
  EXPECT_EQ(1, set_.scannedFolders[3].count);
  // Sorted by the date-time part of the name.
  const RecordingEntry* first = set_.EntryAt(0);
  EXPECT_EQ("PRK_20231231_235959_2.avi", first->fileName);
  EXPECT_EQ(3, first->folderIndex);
  EXPECT_EQ(prk, first->cardFileNumber);
  EXPECT_EQ(1u, first->sizeKiB);
  EXPECT_EQ(2023, first->recordTime.year);
  const RecordingEntry* second = set_.EntryAt(1);
  EXPECT_EQ(0, second->folderIndex);
  EXPECT_EQ(rec, second->cardFileNumber);
  EXPECT_STREQ("REC_20240101_120000_1.avi", second->cardName);
  EXPECT_EQ(second->fileName, second->path);
  EXPECT_EQ(300u, second->sizeKiB);
  EXPECT_EQ(evt, set_.EntryAt(2)->cardFileNumber);
  EXPECT_EQ(2, set_.EntryAt(2)->folderIndex);
}

TEST_F(CardAccess, CardThatCannotBeOpenedSaysSoOnStandardOutput) {
  UseBothDrives();
  DriveTableScope scope(table_);
  set_.EnumerateSources();
  ASSERT_EQ(kSourceCard, set_.sources[0].kind);
  // The card is damaged between the enumeration and the open.
  DamageCard(card_);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(set_.OpenSource(0));
  EXPECT_EQ("KOVR drive cannot be opened\n", testing::internal::GetCapturedStdout());
  EXPECT_FALSE(set_.device.IsOpen());
  EXPECT_EQ(kSourceNone, set_.sourceKind) << "nothing was open before, nothing is now";
  EXPECT_EQ(0, set_.EntryCount());
  EXPECT_EQ(-1, set_.selectedSource);
}

TEST_F(CardAccess, FailedCardOpenKeepsTheCardOpenBeforeAndItsRows) {
  ASSERT_GT(Put("EVENT", "EVT_20240102_080000_2.avi", 70000, 11), 0);
  ASSERT_GT(Put("NORMAL", "REC_20240101_120000_2.avi", 3000, 12), 0);
  const std::string second = MakeFormattedCard(temp_.Path(), 120 * kMiB, "second.img");
  ASSERT_FALSE(second.empty());
  const fs::path secondRoot = temp_.Path() / "media" / "SECOND";
  fs::create_directories(secondRoot);
  WriteTable(table_,
             cardRoot_.string() + "|" + card_ + "|removable\n" + secondRoot.string() + "|" + second + "|removable\n");
  DriveTableScope scope(table_);
  ASSERT_EQ(3, set_.EnumerateSources());
  ASSERT_TRUE(set_.OpenSource(0));
  ASSERT_EQ(2, set_.ListAll(list_));
  void* const handle = set_.device.Block();
  const RecordingEntry* firstRow = set_.EntryForRow(0);
  ASSERT_NE(nullptr, firstRow);

  DamageCard(second);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(set_.OpenSource(1));
  EXPECT_EQ("KOVR drive cannot be opened\n", testing::internal::GetCapturedStdout());

  EXPECT_EQ(kSourceCard, set_.sourceKind);
  EXPECT_EQ(0, set_.selectedSource);
  EXPECT_EQ(2, set_.EntryCount());
  EXPECT_EQ(4u, set_.scannedFolders.size());
  EXPECT_EQ(firstRow, set_.EntryForRow(0)) << "the rows must still point into the kept entries";
  EXPECT_EQ("REC_20240101_120000_2.avi", set_.EntryForRow(0)->fileName);
  EXPECT_EQ("EVT_20240102_080000_2.avi", set_.EntryForRow(1)->fileName);
  // The kept connection still reads the card: the handle given out before, and a copy.
  ASSERT_TRUE(set_.device.IsOpen());
  EXPECT_EQ(handle, set_.device.Block());
  const fs::path out = temp_.Path() / "after-failed-open.avi";
  ASSERT_TRUE(set_.SaveRecordingCopy(1, out.string()));
  EXPECT_EQ(Pattern(70000, 11), ReadBytesAt(out, 0, 100000));
  const RecordingEntry* entry = set_.EntryForRow(0);
  const int file = VK_Kovr_File_Open(handle, entry->fileName.c_str(), "r", 0, 0, entry->cardFileNumber);
  ASSERT_GT(file, 0);
  std::vector<unsigned char> bytes(4000);
  EXPECT_EQ(3000, VK_Kovr_File_Read(handle, bytes.data(), 4000, file));
  bytes.resize(3000);
  EXPECT_EQ(Pattern(3000, 12), bytes);
  VK_Kovr_File_Close(handle, file);
}

TEST_F(CardAccess, FailedOpensOfOtherKindsKeepTheCardAndItsRows) {
  ASSERT_GT(Put("NORMAL", "REC_20240101_120000_2.avi", 3000, 12), 0);
  UseBothDrives();
  DriveTableScope scope(table_);
  set_.EnumerateSources();
  ASSERT_TRUE(set_.OpenSource(0));
  ASSERT_EQ(1, set_.ListAll(list_));
  const RecordingEntry* row = set_.EntryForRow(0);
  const std::string missing = (temp_.Path() / "missing.avi").string();
  EXPECT_FALSE(set_.OpenSourceWithChoice(2, {missing}));
  EXPECT_FALSE(set_.OpenSourceWithDrop(2, {(temp_.Path() / "missing").string()}));
  EXPECT_FALSE(set_.OpenSource(2)) << "the folder item needs an entry point of its own";
  EXPECT_FALSE(set_.OpenSource(3));
  EXPECT_TRUE(set_.device.IsOpen());
  EXPECT_EQ(kSourceCard, set_.sourceKind);
  EXPECT_EQ(0, set_.selectedSource);
  EXPECT_EQ(row, set_.EntryForRow(0));
  EXPECT_EQ(1, set_.EntryCount());
}

TEST_F(CardAccess, SuccessfulOpenReplacesSetKindSourceAndConnection) {
  ASSERT_GT(Put("NORMAL", "REC_20240101_120000_2.avi", 3000, 12), 0);
  std::ofstream(plainRoot_ / "EVT_20240105_090000_1.avi") << "x";
  UseBothDrives();
  DriveTableScope scope(table_);
  set_.EnumerateSources();
  ASSERT_TRUE(set_.OpenSource(0));
  ASSERT_EQ(1, set_.ListAll(list_));
  unsigned char old[kCardConnectionSize];
  std::memcpy(old, set_.device.Block(), sizeof old);
  ASSERT_TRUE(set_.OpenSource(1));
  EXPECT_EQ(nullptr, set_.EntryForRow(0)) << "rows of the card's set survived the open";
  EXPECT_EQ(kSourceRemovableDrive, set_.sourceKind);
  EXPECT_EQ(1, set_.selectedSource);
  ASSERT_EQ(1, set_.EntryCount());
  EXPECT_EQ("EVT_20240105_090000_1.avi", set_.EntryAt(0)->fileName);
  ASSERT_EQ(1u, set_.scannedFolders.size());
  EXPECT_EQ(plainRoot_.string() + "/", set_.scannedFolders[0].name);
  EXPECT_FALSE(set_.device.IsOpen());
  std::vector<unsigned char> buffer(KOVR_FILE_LIST_BUFFER_SIZE, 0);
  PutLe32(buffer.data(), KOVR_FILE_LIST_CAPACITY);
  int32_t cursor = 1;
  EXPECT_EQ(KOVR_E_HANDLE, VK_Kovr_Get_FileList(old, "NORMAL", &cursor, buffer.data(), 0))
      << "the replaced card connection was left open";
}

TEST_F(CardAccess, IndicesOutsideTheSourcesOpenNothing) {
  UseBothDrives();
  DriveTableScope scope(table_);
  set_.EnumerateSources();
  EXPECT_FALSE(set_.OpenSource(-1));
  EXPECT_FALSE(set_.OpenSource(3));
  EXPECT_FALSE(set_.OpenSource(2)) << "the folder item needs an entry point of its own";
  EXPECT_EQ(-1, set_.selectedSource);
}

TEST_F(CardAccess, OpeningAnotherSourceClosesTheCard) {
  std::ofstream(plainRoot_ / "REC_20240101_120000_2.avi") << "x";
  std::ofstream(plainRoot_ / "notes.txt") << "x";
  UseBothDrives();
  DriveTableScope scope(table_);
  set_.EnumerateSources();
  ASSERT_TRUE(set_.OpenSource(0));
  ASSERT_TRUE(set_.device.IsOpen());
  ASSERT_TRUE(set_.OpenSource(1));
  EXPECT_FALSE(set_.device.IsOpen());
  EXPECT_EQ(kSourceRemovableDrive, set_.sourceKind);
  EXPECT_EQ(1, set_.selectedSource);
  ASSERT_EQ(1, set_.EntryCount());
  EXPECT_EQ(-1, set_.EntryAt(0)->cardFileNumber);
}

TEST_F(CardAccess, FolderItemOpensChosenPathsOrDrops) {
  const fs::path chosen = temp_.Path() / "chosen";
  fs::create_directories(chosen / "sub");
  std::ofstream(chosen / "sub" / "EVT_20240101_120000_2.AVI") << "x";
  UseBothDrives();
  DriveTableScope scope(table_);
  set_.EnumerateSources();
  ASSERT_TRUE(set_.OpenSourceWithChoice(2, {chosen.string()}));
  EXPECT_EQ(kSourceChosenFiles, set_.sourceKind);
  EXPECT_EQ(1, set_.EntryCount());
  EXPECT_EQ(2, set_.selectedSource);
  ASSERT_TRUE(set_.OpenSourceWithDrop(2, {(chosen / "sub").string()}));
  EXPECT_EQ(1, set_.EntryCount());
  EXPECT_FALSE(set_.OpenSourceWithDrop(2, {(chosen / "missing.avi").string()}));
  // Dropping the root of the card opens the card.
  ASSERT_TRUE(set_.OpenSourceWithDrop(0, {cardRoot_.string()}));
  EXPECT_EQ(kSourceCard, set_.sourceKind);
  EXPECT_TRUE(set_.device.IsOpen());
}

class SaveCopy : public CardAccess {
 protected:
  void OpenCardAndList() {
    UseBothDrives();
    DriveTableScope scope(table_);
    set_.EnumerateSources();
    ASSERT_TRUE(set_.OpenSource(0));
    ASSERT_GT(set_.ListAll(list_), 0);
  }
  int RowOf(const std::string& name) {
    for (int r = 0; set_.EntryForRow(r); ++r)
      if (set_.EntryForRow(r)->fileName == name) return r;
    return -1;
  }
};

TEST_F(SaveCopy, CardRecordingIsCopiedByteForByteThroughTheLibrary) {
  ASSERT_GT(Put("EVENT", "EVT_20240101_120000_2.avi", 700001, 42), 0);
  const std::string longName = "REC_20240101_130000_2_" + std::string(60, 'z') + ".avi";
  ASSERT_GT(Put("NORMAL", longName, 1000, 43), 0);
  OpenCardAndList();
  const fs::path out = temp_.Path() / "copy.avi";
  ASSERT_TRUE(set_.SaveRecordingCopy(RowOf("EVT_20240101_120000_2.avi"), out.string()));
  EXPECT_EQ(Pattern(700001, 42), ReadBytesAt(out, 0, 800000));
  const fs::path out2 = temp_.Path() / "long.avi";
  ASSERT_TRUE(set_.SaveRecordingCopy(RowOf(longName), out2.string()))
      << "a name longer than the 63-byte card name is still found";
  EXPECT_EQ(Pattern(1000, 43), ReadBytesAt(out2, 0, 2000));
}

TEST_F(SaveCopy, CutOffCardRecordingCopiesWhatReachedTheCard) {
  ASSERT_GT(Put("EVENT", "EVT_20240101_120000_2.avi", 300000, 5, /*close=*/false), 0);
  OpenCardAndList();
  const fs::path out = temp_.Path() / "cut.avi";
  ASSERT_TRUE(set_.SaveRecordingCopy(0, out.string()));
  EXPECT_EQ(300000u, fs::file_size(out));
}

TEST_F(SaveCopy, FailuresCopyNothingAndSayFalse) {
  ASSERT_GT(Put("EVENT", "EVT_20240101_120000_2.avi", 100, 5), 0);
  OpenCardAndList();
  EXPECT_FALSE(set_.SaveRecordingCopy(-1, (temp_.Path() / "a").string()));
  EXPECT_FALSE(set_.SaveRecordingCopy(1, (temp_.Path() / "a").string()));
  int error = 0;
  EXPECT_FALSE(set_.SaveRecordingCopy(0, (temp_.Path() / "no" / "such" / "folder").string(), &error));
  EXPECT_EQ(ENOENT, error);
  // The file vanished from the card: no file is made at all.
  {
    Card card(card_);
    ASSERT_EQ(0, VK_Kovr_File_Delete(card.Block(), set_.EntryForRow(0)->cardFileNumber));
  }
  set_.CloseCard();
  ASSERT_EQ(0, set_.device.Open(card_));
  const fs::path out = temp_.Path() / "empty.avi";
  EXPECT_FALSE(set_.SaveRecordingCopy(0, out.string(), &error));
  EXPECT_EQ(EIO, error) << "the card could not be read";
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(SaveCopy, LocalRecordingIsCopiedButNeverOntoItself) {
  const fs::path rec = plainRoot_ / "REC_20240101_120000_2.avi";
  std::ofstream(rec) << "recording bytes";
  UseBothDrives();
  DriveTableScope scope(table_);
  set_.EnumerateSources();
  ASSERT_TRUE(set_.OpenSource(1));
  ASSERT_EQ(1, set_.ListAll(list_));
  const fs::path out = temp_.Path() / "copy.avi";
  ASSERT_TRUE(set_.SaveRecordingCopy(0, out.string()));
  EXPECT_EQ(15u, fs::file_size(out));
  EXPECT_FALSE(set_.SaveRecordingCopy(0, set_.EntryForRow(0)->path));
  const std::string otherSpelling = plainRoot_.string() + "/./REC_20240101_120000_2.avi";
  int error = 0;
  EXPECT_FALSE(set_.SaveRecordingCopy(0, otherSpelling, &error));
  EXPECT_EQ(EEXIST, error);
  EXPECT_EQ(15u, fs::file_size(rec)) << "copying a file onto itself emptied it";
}

TEST_F(SaveCopy, SuggestedNamesStayInsideTheDestinationFolder) {
  ASSERT_GT(Put("NORMAL", "REC_20240101_120000_2", 10, 1), 0);
  ASSERT_GT(Put("NORMAL", "REC_20240101_120001_2.x.mp4", 10, 1), 0);
  OpenCardAndList();
  EXPECT_EQ("REC_20240101_120000_2.avi", set_.SuggestedCopyName(RowOf("REC_20240101_120000_2")));
  EXPECT_EQ("REC_20240101_120001_2.x.avi", set_.SuggestedCopyName(RowOf("REC_20240101_120001_2.x.mp4")));
  EXPECT_EQ("", set_.SuggestedCopyName(5));
  EXPECT_EQ(".._.._etc_passwd", RecordingCollection::SafeLocalName("../../etc/passwd"));
  EXPECT_EQ("_..", RecordingCollection::SafeLocalName(".."));
  EXPECT_EQ("_", RecordingCollection::SafeLocalName(""));
  EXPECT_EQ("a_b_c", RecordingCollection::SafeLocalName("a\\b\nc"));
}

TEST(CardLibraryLife, CollectionsStartAndStopTheLibraryInPairs) {
  TempFolder temp;
  const std::string image = MakeFormattedCard(temp.Path());
  auto outer = std::make_unique<RecordingCollection>();
  ASSERT_EQ(0, outer->device.Open(image));
  {
    RecordingCollection inner;  // its stop must not close the outer collection's card
  }
  Card probe(image);
  ASSERT_TRUE(probe.Ok());
  std::vector<unsigned char> buffer(KOVR_FILE_LIST_BUFFER_SIZE, 0);
  PutLe32(buffer.data(), 30);
  int32_t cursor = 1;
  EXPECT_EQ(0, VK_Kovr_Get_FileList(outer->device.Block(), "NORMAL", &cursor, buffer.data(), 0));
  outer.reset();  // closes the card
}

}  // namespace
