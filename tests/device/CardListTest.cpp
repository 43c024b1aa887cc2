// The settings dialog's card list: which removable volumes count as cards.

#include <gtest/gtest.h>

#include "device/CardList.h"
#include "tests/device/DeviceTestSupport.h"

using namespace devicetest;

namespace {

class CardList : public ::testing::Test {
 protected:
  void SetUp() override { VK_Kovr_Start(); }
  void TearDown() override { VK_Kovr_Stop(); }
  std::vector<device::CardEntry> List(const std::string& table) {
    const fs::path file = temp.Path() / "drives.txt";
    WriteAll(file, table);
    cardtest::DriveTableScope scope(file);
    return device::ListCards();
  }
  testsupport::TempFolder temp;
};

TEST_F(CardList, CardImageIsListedAsLabelAndRoot) {
  const ImageCard card = AddImageCard(temp.Path(), "cam", 120 * kMiB, true);
  ASSERT_TRUE(device::FormatFirstPartitionFat32(card.image.string(), "CAM"));
  const auto cards = List(TableLine(card));
  ASSERT_EQ(1u, cards.size());
  EXPECT_EQ(card.root.string() + "/", cards[0].root);
  EXPECT_EQ(card.image.string(), cards[0].physicalPath);
  EXPECT_EQ(0, cards[0].driveIndex);
  EXPECT_EQ("CAM", cards[0].label);
  EXPECT_EQ("CAM(" + card.root.string() + "/)", device::CardEntryText(cards[0]));
}

TEST_F(CardList, CardOf128GigabytesIsNotListedButOneJustUnder100GiBIs) {
  const ImageCard big = AddImageCard(temp.Path(), "big", 128'000'000'000ull, false);
  const ImageCard limit = AddImageCard(temp.Path(), "limit", 100ull << 30, false);
  const ImageCard under = AddImageCard(temp.Path(), "under", (100ull << 30) - 512, false);
  const auto cards = List(TableLine(big) + TableLine(limit) + TableLine(under));
  ASSERT_EQ(1u, cards.size());
  EXPECT_EQ(under.image.string(), cards[0].physicalPath);
  EXPECT_EQ(2, cards[0].driveIndex) << "the index names the drive's place in the drive list";
}

TEST_F(CardList, FixedAndSystemDisksAreNeverCards) {
  const ImageCard fixed = AddImageCard(temp.Path(), "fixed", 120 * kMiB, true);
  const ImageCard system = AddImageCard(temp.Path(), "system", 120 * kMiB, true);
  EXPECT_TRUE(List(TableLine(fixed, "") + TableLine(system, "removable,system")).empty());
}

TEST_F(CardList, CardWhoseVolumeDoesNotAnswerIsListedAllTheSame) {
  // No root folder: the volume answers no file-system query, as a card whose first
  // partition is blank, damaged or not mounted. It is listed, so it can be formatted.
  ImageCard blank = AddImageCard(temp.Path(), "blank", 120 * kMiB, false);
  ImageCard card = AddImageCard(temp.Path(), "card", 120 * kMiB, true);
  fs::remove(blank.root);
  fs::remove(card.root);
  const auto cards = List(TableLine(blank) + TableLine(card));
  ASSERT_EQ(2u, cards.size());
  EXPECT_EQ(blank.image.string(), cards[0].physicalPath);
  EXPECT_EQ(card.image.string(), cards[1].physicalPath);
  EXPECT_EQ("", cards[1].label) << "no FAT on partition 1 yet, so no label";
  EXPECT_EQ(0ul, cards[1].fileSystemFlags);
}

TEST_F(CardList, DeviceThatCannotBeOpenedForWritingIsSkipped) {
  const ImageCard card = AddImageCard(temp.Path(), "ro", 120 * kMiB, true);
  const ImageCard gone{temp.Path() / "gone", temp.Path() / "gone.img"};
  fs::create_directories(gone.root);
  if (::geteuid() != 0) {
    fs::permissions(card.image, fs::perms::owner_read, fs::perm_options::replace);
    EXPECT_TRUE(List(TableLine(card) + TableLine(gone)).empty());
  } else {
    // Root opens anything; the missing image still is no card.
    EXPECT_EQ(1u, List(TableLine(card) + TableLine(gone)).size());
  }
}

TEST(CardEntryRoots, RootsCompareWithOrWithoutTheirSlash) {
  EXPECT_EQ("/media/u/CAM/", device::NormalisedRoot("/media/u/CAM"));
  EXPECT_EQ("/media/u/CAM/", device::NormalisedRoot("/media/u/CAM//"));
  EXPECT_EQ("/", device::NormalisedRoot("/"));
  device::CardEntry a{"/media/u/CAM", 0, "/dev/sdb", 0, "CAM"};
  device::CardEntry b{"/media/u/CAM/", 3, "/dev/sdb", 0, ""};
  EXPECT_TRUE(device::SameCard(a, b));
  b.physicalPath = "/dev/sdc";
  EXPECT_FALSE(device::SameCard(a, b));
}

TEST(VolumeLabel, LabelOfAWholeDeviceFatAndNoneForNoName) {
  testsupport::TempFolder temp;
  const fs::path image = temp / "floppy.img";
  testsupport::MakeSparse(image, 40 * kMiB);
  ASSERT_TRUE(
      Shell("PATH=$PATH:/usr/sbin:/sbin mkfs.fat -F 32 -s 1 -n 'MY CARD' '" + image.string() + "' >/dev/null 2>&1"));
  EXPECT_EQ("MY CARD", device::ReadVolumeLabel(image.string()));
  ASSERT_TRUE(Shell("PATH=$PATH:/usr/sbin:/sbin mkfs.fat -F 32 -s 1 '" + image.string() + "' >/dev/null 2>&1"));
  EXPECT_EQ("", device::ReadVolumeLabel(image.string()));
  EXPECT_EQ("", device::ReadVolumeLabel((temp / "absent.img").string()));
}

}  // namespace
