// The card information figures: refusals, counts and sums per type, the size texts,
// and the marker file that enlarges the view.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "device/DeviceSettings.h"
#include "settings/StringIds.h"
#include "sources/FileInformation.h"
#include "sources/RecordingCollection.h"
#include "tests/card/CardTestSupport.h"
#include "tests/support/TempFolder.h"

using namespace fileinfo;
using testsupport::TempFolder;

namespace {

constexpr uint64_t kKiBPerMiB = 1024;

RecordingEntry CardEntry(const std::string& name, uint64_t sizeKiB) {
  RecordingEntry entry;
  entry.cardFileNumber = 7;
  std::snprintf(entry.cardName, sizeof entry.cardName, "%s", name.c_str());
  entry.fileName = name;
  entry.path = name;
  entry.sizeKiB = sizeKiB;
  return entry;
}

// A set as an opened card leaves it: kind 1, the card current, its root a real folder.
class CardSet : public ::testing::Test {
 protected:
  void SetUp() override {
    SourceEntry card;
    card.driveIndex = 1;
    card.root = temp_.Path().string() + "/";
    card.kind = kSourceCard;
    set_.sources.push_back(card);
    set_.selectedSource = 0;
    set_.sourceKind = kSourceCard;
    WriteSetupFile();
  }
  void WriteSetupFile() { std::ofstream(temp_ / kSetupCfgFileName) << "MODEL=0\n"; }
  void Add(const std::string& name, uint64_t sizeKiB) { set_.entries.push_back(CardEntry(name, sizeKiB)); }

  TempFolder temp_;
  RecordingCollection set_;
};

// --- the size and count texts ---

TEST(FileInformationTexts, GigabytesComeFromWholeMebibytes) {
  EXPECT_EQ("1.5GB", FormatGiB(1536 * kKiBPerMiB));
  EXPECT_EQ("0.0GB", FormatGiB(0));
  // 1535.999 MiB is 1535 whole MiB: 1.49902 GB, printed rounded.
  EXPECT_EQ("1.5GB", FormatGiB(1536 * kKiBPerMiB - 1));
  EXPECT_EQ("0.1GB", FormatGiB(103 * kKiBPerMiB));
  EXPECT_EQ("0.0GB", FormatGiB(51 * kKiBPerMiB + 1023)) << "51 MiB is 0.0498 GB";
  EXPECT_EQ("3.9GB", FormatGiB(4000ull * kKiBPerMiB));
  EXPECT_EQ("4.0GB", FormatGiB(4095ull * kKiBPerMiB)) << "3.999 rounds up in print";
  EXPECT_EQ("1024.0GB", FormatGiB(1024ull * 1024 * kKiBPerMiB));
}

TEST(FileInformationTexts, FileSizeIsThreeWideWholeMebibytes) {
  EXPECT_EQ("  0MB", FormatFileMiB(1023)) << "below 1 MiB shows 0";
  EXPECT_EQ("  1MB", FormatFileMiB(1024));
  EXPECT_EQ(" 99MB", FormatFileMiB(99 * kKiBPerMiB + 1023));
  EXPECT_EQ("300MB", FormatFileMiB(300 * kKiBPerMiB));
  EXPECT_EQ("4095MB", FormatFileMiB(4095 * kKiBPerMiB)) << "wider numbers are not cut";
  // A huge size is printed whole, not wrapped into a negative int.
  EXPECT_EQ("4194304MB", FormatFileMiB(4ull * 1024 * 1024 * kKiBPerMiB));
}

TEST(FileInformationTexts, CountsAreFourWide) {
  EXPECT_EQ("   0", FormatCount(0));
  EXPECT_EQ("  37", FormatCount(37));
  EXPECT_EQ("12345", FormatCount(12345));
}

// --- counting ---

TEST(FileInformationCounting, TypesFollowTheFirstThreeCharactersOfThePath) {
  FileFigures f;
  CountEntry("REC_20240101_120000_2.avi", "REC_20240101_120000_2.avi", 100, f);
  CountEntry("EVT_20240101_120000_2.avi", "EVT_20240101_120000_2.avi", 200, f);
  CountEntry("PAR_20240101_120000_2.avi", "PAR_20240101_120000_2.avi", 400, f);
  CountEntry("MDI_20240101_120000_2.avi", "MDI_20240101_120000_2.avi", 800, f);
  CountEntry("MOT_20240101_120000_2.avi", "MOT_20240101_120000_2.avi", 1600, f);
  CountEntry("PRK_20240101_120000_2.avi", "PRK_20240101_120000_2.avi", 3200, f);
  CountEntry("rec_20240101_120000_2.avi", "rec_20240101_120000_2.avi", 6400, f);
  CountEntry("RE", "RE", 12800, f);
  EXPECT_EQ(8, f.totalCount);
  EXPECT_EQ(25500u, f.totalKiB);
  EXPECT_EQ(1, f.normalCount);
  EXPECT_EQ(100u, f.normalKiB);
  EXPECT_EQ(1, f.eventCount);
  EXPECT_EQ(200u, f.eventKiB);
  EXPECT_EQ(3, f.parkingCount) << "PAR, MDI and MOT; PRK, lower-case rec and a short name count in the total only";
  EXPECT_EQ(2800u, f.parkingKiB);
}

TEST(FileInformationCounting, RowsKeepTheNameAndTheSizeText) {
  FileFigures f;
  CountEntry("/card/ignored/REC_a.avi", "REC_a.avi", 2 * kKiBPerMiB + 5, f);
  ASSERT_EQ(1u, f.rows.size());
  EXPECT_EQ("REC_a.avi", f.rows[0].name);
  EXPECT_EQ("  2MB", f.rows[0].sizeText);
  EXPECT_EQ(0, f.normalCount) << "the path, not the name, is classified";
}

// --- gathering from a set ---

TEST_F(CardSet, EmptySetIsRefusedFirst) {
  set_.sourceKind = kSourceChosenFiles;
  EXPECT_EQ(kStrInfoNoRecordings, GatherFileInformation(set_).refusal);
}

TEST_F(CardSet, FolderAndPlainDriveSourcesAreNoCard) {
  Add("REC_20240101_120000_2.avi", 10);
  for (int32_t kind : {kSourceRemovableDrive, kSourceChosenFiles, kSourceNone}) {
    set_.sourceKind = kind;
    const Gathering g = GatherFileInformation(set_);
    EXPECT_EQ(kStrInfoNotCard, g.refusal) << kind;
    EXPECT_EQ(0, g.figures.totalCount);
  }
}

TEST_F(CardSet, CardWithoutSettingsFileIsRefusedEvenWithRecordings) {
  Add("REC_20240101_120000_2.avi", 10);
  std::filesystem::remove(temp_ / kSetupCfgFileName);
  EXPECT_EQ(kStrInfoNoSetupFile, GatherFileInformation(set_).refusal);
  // A folder of that name is no settings file.
  std::filesystem::create_directory(temp_ / kSetupCfgFileName);
  EXPECT_EQ(kStrInfoNoSetupFile, GatherFileInformation(set_).refusal);
  // An upper-case spelling is another file on Linux.
  std::filesystem::remove(temp_ / kSetupCfgFileName);
  std::ofstream(temp_ / "SETUP.CFG") << "x";
  EXPECT_EQ(kStrInfoNoSetupFile, GatherFileInformation(set_).refusal);
}

TEST_F(CardSet, CardSourceThatIsNoLongerCurrentIsRefusedNotDereferenced) {
  Add("REC_20240101_120000_2.avi", 10);
  set_.selectedSource = 3;
  EXPECT_EQ(kStrInfoNoSetupFile, GatherFileInformation(set_).refusal);
  set_.selectedSource = -1;
  EXPECT_EQ(kStrInfoNoSetupFile, GatherFileInformation(set_).refusal);
}

TEST_F(CardSet, AnEmptySettingsFileIsEnough) {
  std::ofstream(temp_ / kSetupCfgFileName, std::ios::trunc);
  Add("EVT_20240101_120000_2.avi", 10);
  EXPECT_EQ(0, GatherFileInformation(set_).refusal);
}

TEST_F(CardSet, FiguresSumEverySizeAndListEveryFileInSetOrder) {
  Add("REC_20240101_120000_2.avi", 1024 * kKiBPerMiB);
  Add("REC_20240101_120100_2.avi", 512 * kKiBPerMiB);
  Add("EVT_20240101_120200_2.avi", 300 * kKiBPerMiB + 700);
  Add("PRK_20240101_120300_2.avi", 200 * kKiBPerMiB);
  Add("MOT_20240101_120400_1.avi", 700);
  const Gathering g = GatherFileInformation(set_);
  ASSERT_EQ(0, g.refusal);
  const FileFigures& f = g.figures;
  EXPECT_EQ(5, f.totalCount);
  EXPECT_EQ(2, f.normalCount);
  EXPECT_EQ(1, f.eventCount);
  EXPECT_EQ(1, f.parkingCount);
  EXPECT_EQ(2036 * kKiBPerMiB + 1400, f.totalKiB);
  EXPECT_EQ(1536 * kKiBPerMiB, f.normalKiB);
  EXPECT_EQ("1.5GB", FormatGiB(f.normalKiB));
  EXPECT_EQ(300 * kKiBPerMiB + 700, f.eventKiB);
  EXPECT_EQ(700u, f.parkingKiB) << "a file below 1 MiB adds to the sum";
  // 2036 MiB + 1400 KiB = 2037 whole MiB.
  EXPECT_EQ("2.0GB", FormatGiB(f.totalKiB));
  ASSERT_EQ(5u, f.rows.size());
  EXPECT_EQ("REC_20240101_120000_2.avi", f.rows[0].name);
  EXPECT_EQ("1024MB", f.rows[0].sizeText);
  EXPECT_EQ("512MB", f.rows[1].sizeText);
  EXPECT_EQ("300MB", f.rows[2].sizeText);
  EXPECT_EQ("200MB", f.rows[3].sizeText);
  EXPECT_EQ("MOT_20240101_120400_1.avi", f.rows[4].name);
  EXPECT_EQ("  0MB", f.rows[4].sizeText);
}

// --- the same on a real card and a real folder ---

class CardSource : public ::testing::Test {
 protected:
  void SetUp() override {
    cardtest::PrepareCollection(set_);
    cardRoot_ = temp_.Path() / "media" / "TARVO";
    std::filesystem::create_directories(cardRoot_);
    card_ = kovrtest::MakeFormattedCard(temp_.Path());
    ASSERT_FALSE(card_.empty());
    table_ = temp_.Path() / "drives";
    cardtest::WriteTable(table_,
                         "/|/dev/nonexistent-system|system\n" + cardRoot_.string() + "|" + card_ + "|removable\n");
  }
  void Put(const std::string& folder, const std::string& name, size_t size) {
    kovrtest::Card card(card_);
    ASSERT_TRUE(card.Ok());
    ASSERT_GT(card.Put(folder, name, kovrtest::Pattern(size, 5)), 0);
  }
  bool OpenCard() {
    cardtest::DriveTableScope scope(table_);
    set_.EnumerateSources();
    return set_.OpenSource(0);
  }

  TempFolder temp_;
  RecordingCollection set_;
  std::filesystem::path cardRoot_, table_;
  std::string card_;
};

TEST_F(CardSource, OpenCardWithoutSettingsFileGives286AndWithItTheFigures) {
  Put("NORMAL", "REC_20240101_120000_2.avi", 2 * kKiBPerMiB * 1024 + 3000);
  Put("EVENT", "EVT_20240101_130000_2.avi", 1500 * 1024);
  Put("PARKING", "PRK_20240101_140000_1.avi", 4096);
  ASSERT_TRUE(OpenCard());
  ASSERT_EQ(kSourceCard, set_.sourceKind);
  ASSERT_EQ(3, set_.EntryCount());
  EXPECT_EQ(kStrInfoNoSetupFile, GatherFileInformation(set_).refusal);

  std::ofstream(cardRoot_ / kSetupCfgFileName) << "x";
  const Gathering g = GatherFileInformation(set_);
  ASSERT_EQ(0, g.refusal);
  EXPECT_EQ(3, g.figures.totalCount);
  EXPECT_EQ(1, g.figures.normalCount);
  EXPECT_EQ(1, g.figures.eventCount);
  EXPECT_EQ(0, g.figures.parkingCount) << "the card's PRK file counts in the total only";
  EXPECT_EQ(2u * 1024 + 2, g.figures.normalKiB);
  EXPECT_EQ(1500u, g.figures.eventKiB);
  EXPECT_EQ(2u * 1024 + 2 + 1500 + 4, g.figures.totalKiB);
  ASSERT_EQ(3u, g.figures.rows.size());
  EXPECT_EQ("REC_20240101_120000_2.avi", g.figures.rows[0].name);
  EXPECT_EQ("  2MB", g.figures.rows[0].sizeText);
  EXPECT_EQ("  1MB", g.figures.rows[1].sizeText);
  EXPECT_EQ("  0MB", g.figures.rows[2].sizeText);
}

TEST_F(CardSource, FolderOnTheComputerGives287) {
  const std::filesystem::path folder = temp_.Path() / "recordings";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "REC_20240101_120000_2.avi") << "x";
  std::ofstream(folder / kSetupCfgFileName) << "x";
  cardtest::DriveTableScope scope(table_);
  const int count = set_.EnumerateSources();
  ASSERT_TRUE(set_.OpenSourceWithChoice(count - 1, {folder.string()}));
  ASSERT_EQ(1, set_.EntryCount());
  EXPECT_EQ(kStrInfoNotCard, GatherFileInformation(set_).refusal);
}

// --- the marker ---

TEST(UserMarker, OnlyAFileWithTheExactNameCounts) {
  TempFolder folder;
  EXPECT_FALSE(HasUserMarker(folder.Path()));
  std::ofstream(folder / "user.bin") << "";
  std::ofstream(folder / "User.bin.txt") << "";
  EXPECT_FALSE(HasUserMarker(folder.Path()));
  std::filesystem::create_directory(folder / "User.bin");
  EXPECT_FALSE(HasUserMarker(folder.Path())) << "a folder of that name is skipped";
  std::filesystem::remove(folder / "User.bin");
  std::ofstream(folder / "User.bin") << "";
  EXPECT_TRUE(HasUserMarker(folder.Path())) << "an empty file is enough";
  EXPECT_FALSE(HasUserMarker({}));
  EXPECT_FALSE(HasUserMarker(folder / "missing"));
}

}  // namespace
