// Partitioning and formatting a card: the MBR bytes, the areas, recognition.

#include <gtest/gtest.h>

#include "tests/kovr/KovrTestCard.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

using namespace kovrtest;
using namespace testsupport;

namespace {

struct MbrEntry {
  unsigned char type;
  uint32_t start;
  uint32_t count;
};

MbrEntry Entry(const std::vector<unsigned char>& mbr, int index) {
  const unsigned char* e = mbr.data() + 446 + 16 * index;
  return {e[4], Le32(e + 8), Le32(e + 12)};
}

class KovrFormat : public ::testing::Test {
 protected:
  void SetUp() override { VK_Kovr_Start(); }
  void TearDown() override { VK_Kovr_Stop(); }
  TempFolder temp_;
};

TEST_F(KovrFormat, EightGigabyteCardGetsHundredMiBThenTheRestInWholeMiB) {
  const std::string image = MakeFormattedCard(temp_.Path(), 8ull << 30);
  ASSERT_FALSE(image.empty());
  const std::vector<unsigned char> mbr = ReadBytesAt(image, 0, 512);
  ASSERT_EQ(512u, mbr.size());
  EXPECT_EQ(0x55, mbr[510]);
  EXPECT_EQ(0xAA, mbr[511]);
  const MbrEntry p1 = Entry(mbr, 0);
  const MbrEntry p2 = Entry(mbr, 1);
  EXPECT_EQ(0x0C, p1.type);
  EXPECT_EQ(2048u, p1.start);
  EXPECT_EQ(100u * 2048, p1.count);
  EXPECT_EQ(0x4B, p2.type);
  EXPECT_EQ(p1.start + p1.count, p2.start);
  EXPECT_EQ(0u, p2.count % 2048) << "partition 2 is not a whole number of MiB";
  // 8192 MiB less the first MiB and partition 1: 8091 MiB, the rest that fits.
  EXPECT_EQ(8091u * 2048, p2.count);
  EXPECT_LE(uint64_t{p2.start} + p2.count, (8ull << 30) / 512);
  EXPECT_EQ(0, Entry(mbr, 2).type);
  EXPECT_EQ(0, Entry(mbr, 3).type);
}

TEST_F(KovrFormat, AreasShareThePartitionFortyTwentyForty) {
  const std::string image = MakeFormattedCard(temp_.Path(), 8ull << 30);
  ASSERT_FALSE(image.empty());
  Card card(image);
  ASSERT_TRUE(card.Ok());
  ASSERT_EQ(3, VK_Kovr_Get_Area_Count(card.Block()));
  KovrAreaInfo a[3];
  for (int i = 0; i < 3; ++i) ASSERT_EQ(0, VK_Kovr_Get_Area_Info(card.Block(), i, &a[i]));
  EXPECT_STREQ("NORMAL", a[0].name);
  EXPECT_STREQ("EVENT", a[1].name);
  EXPECT_STREQ("PARKING", a[2].name);
  EXPECT_EQ(40, a[0].percent);
  EXPECT_EQ(20, a[1].percent);
  EXPECT_EQ(40, a[2].percent);
  const uint64_t total = a[0].lengthBytes + a[1].lengthBytes + a[2].lengthBytes;
  EXPECT_EQ(a[0].lengthBytes, a[2].lengthBytes);
  // Each area is its share of the room behind the directory, cut to whole MiB.
  for (const KovrAreaInfo& area : a) {
    EXPECT_EQ(0u, area.lengthBytes % kMiB);
    EXPECT_NEAR(static_cast<double>(area.percent) / 100.0,
                static_cast<double>(area.lengthBytes) / static_cast<double>(total), 0.001);
  }
  EXPECT_EQ(a[0].startByte + a[0].lengthBytes, a[1].startByte);
  EXPECT_EQ(a[1].startByte + a[1].lengthBytes, a[2].startByte);
  EXPECT_LE(a[2].startByte + a[2].lengthBytes, 8ull << 30);
  EXPECT_GE(total, 8000 * kMiB);
}

TEST_F(KovrFormat, FormattedImageStaysSparse) {
  const std::string image = MakeFormattedCard(temp_.Path(), 8ull << 30);
  ASSERT_FALSE(image.empty());
  struct stat st {};
  ASSERT_EQ(0, ::stat(image.c_str(), &st));
  EXPECT_LT(st.st_blocks * 512, 64 * 1024 * 1024) << "format wrote the whole card";
}

TEST_F(KovrFormat, RecognisesOnlyFormattedCards) {
  const fs::path blank = temp_.Path() / "blank.img";
  MakeSparse(blank, 120 * kMiB);
  EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(blank.c_str()));
  EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition((temp_.Path() / "missing.img").c_str()));
  EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(temp_.Path().c_str())) << "a folder is no card";
  EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(nullptr));
  const std::string image = MakeFormattedCard(temp_.Path());
  EXPECT_NE(0, VK_Kovr_Check_Kovr_partition(image.c_str()));
}

TEST_F(KovrFormat, DeviceInfoHoldsTheSectorCountAtByteTwelve) {
  const fs::path image = temp_.Path() / "info.img";
  MakeSparse(image, 3 * kMiB + 512);
  unsigned char info[KOVR_DEVICE_INFO_SIZE];
  std::memset(info, 0xEE, sizeof info);
  ASSERT_EQ(0, VK_Kovr_Get_Master_Device_Info(image.c_str(), info));
  EXPECT_EQ(6145u, Le32(info + 12));
  EXPECT_EQ(6145u, Le64(info + 16));
  EXPECT_EQ(512u, Le32(info + 4));
  EXPECT_NE(0, VK_Kovr_Get_Master_Device_Info((temp_.Path() / "none").c_str(), info));
  EXPECT_EQ(0u, Le32(info + 12)) << "a failed query must not leave stale bytes";
}

TEST_F(KovrFormat, CardSmallerThanPartitionOneFailsAtPartitionTwo) {
  const fs::path image = temp_.Path() / "small.img";
  MakeSparse(image, 64 * kMiB);
  // Partition 1 is cut to what fits; nothing is left for partition 2.
  EXPECT_EQ(device::kFormatPartition2Failed, device::RunPartitionAndFormat(image.string()));
  const fs::path empty = temp_.Path() / "empty.img";
  MakeSparse(empty, 0);
  EXPECT_EQ(device::kFormatNoCapacity, device::RunPartitionAndFormat(empty.string()));
  EXPECT_EQ(device::kFormatNoCapacity, device::RunPartitionAndFormat((temp_.Path() / "absent.img").string()));
}

TEST_F(KovrFormat, CreatingOverAnExistingPartitionIsRefused) {
  const std::string image = MakeFormattedCard(temp_.Path());
  ASSERT_FALSE(image.empty());
  uint32_t start = 0, count = 0;
  EXPECT_EQ(KOVR_E_PARTITION, VK_Kovr_Create_Partition(image.c_str(), 2, 10, 0, &start, &count));
  EXPECT_EQ(KOVR_E_ARGUMENT, VK_Kovr_Create_Partition(image.c_str(), 5, 10, 0, &start, &count));
  EXPECT_EQ(KOVR_E_ARGUMENT, VK_Kovr_Create_Partition(image.c_str(), 3, 0, 0, &start, &count));
}

TEST_F(KovrFormat, DeletedFileSystemDoesNotComeBackWithANewPartition) {
  const std::string image = MakeFormattedCard(temp_.Path());
  ASSERT_NE(0, VK_Kovr_Check_Kovr_partition(image.c_str()));
  ASSERT_EQ(0, VK_Kovr_Delete_Partition(image.c_str(), KOVR_DELETE_ALL_PARTITIONS));
  EXPECT_EQ(0, Entry(ReadBytesAt(image, 0, 512), 1).type);
  uint32_t start = 0, count = 0;
  ASSERT_EQ(0, VK_Kovr_Create_Partition(image.c_str(), 1, 100, 0, &start, &count));
  ASSERT_EQ(0, VK_Kovr_Create_Partition(image.c_str(), 2, 1000, 0, &start, &count));
  EXPECT_EQ(204800u + 2048u, start);
  EXPECT_EQ(19u * 2048, count) << "the size asked for is cut to the MiB that fit";
  EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(image.c_str()));
}

TEST_F(KovrFormat, ReformatEmptiesTheCard) {
  const std::string image = MakeFormattedCard(temp_.Path());
  {
    Card card(image);
    ASSERT_TRUE(card.Ok());
    ASSERT_GT(card.Put("NORMAL", "REC_20240101_120000_1.avi", Pattern(5000, 1)), 0);
  }
  ASSERT_EQ(device::kFormatSuccess, device::RunPartitionAndFormat(image));
  Card card(image);
  ASSERT_TRUE(card.Ok());
  EXPECT_TRUE(card.List("NORMAL").empty());
}

TEST_F(KovrFormat, BadAreaTablesAreRefusedWithoutWriting) {
  const std::string image = MakeFormattedCard(temp_.Path());
  const std::vector<unsigned char> before = ReadBytesAt(image, 0, 4 * kMiB);
  std::vector<unsigned char> table = device::BuildAreaTable();
  ASSERT_EQ(1u + 3 * 77, table.size());
  EXPECT_EQ(3, table[0]);
  EXPECT_EQ(40u, Le32(table.data() + 1 + 64));
  EXPECT_EQ(10000u, Le32(table.data() + 1 + 72));
  EXPECT_EQ(5, table[1 + 76]);
  std::vector<unsigned char> tooMuch = table;
  PutLe32(tooMuch.data() + 1 + 77 + 64, 30);  // 40 + 30 + 40
  EXPECT_EQ(KOVR_E_ARGUMENT, VK_Kovr_Format(image.c_str(), image.c_str(), 2, 2, tooMuch.data(), nullptr));
  std::vector<unsigned char> unterminated = table;
  std::memset(unterminated.data() + 1, 'N', 64);
  EXPECT_EQ(KOVR_E_ARGUMENT, VK_Kovr_Format(image.c_str(), image.c_str(), 2, 2, unterminated.data(), nullptr));
  std::vector<unsigned char> none = table;
  none[0] = 0;
  EXPECT_EQ(KOVR_E_ARGUMENT, VK_Kovr_Format(image.c_str(), image.c_str(), 2, 2, none.data(), nullptr));
  std::vector<unsigned char> twice = table;
  std::memcpy(twice.data() + 1 + 77, "NORMAL", 7);
  EXPECT_EQ(KOVR_E_ARGUMENT, VK_Kovr_Format(image.c_str(), image.c_str(), 2, 2, twice.data(), nullptr));
  EXPECT_EQ(before, ReadBytesAt(image, 0, 4 * kMiB));
}

TEST_F(KovrFormat, FatPartitionTakesSettingsFiles) {
  const std::string image = MakeFormattedCard(temp_.Path());
  if (!device::FormatFirstPartitionFat32(image, device::kTarvoModelName)) GTEST_SKIP() << "mkfs.fat is not installed";
  // The FAT format stays inside partition 1: MBR and card file system survive it.
  EXPECT_EQ(0x4B, Entry(ReadBytesAt(image, 0, 512), 1).type);
  EXPECT_NE(0, VK_Kovr_Check_Kovr_partition(image.c_str()));
  const std::vector<unsigned char> boot = ReadBytesAt(image, 2048 * 512, 512);
  EXPECT_EQ(0, std::memcmp(boot.data() + 82, "FAT32", 5));
  EXPECT_EQ(2048u, Le32(boot.data() + 28)) << "hidden sectors must name the partition start";
  const fs::path cfg = temp_.Path() / "setup.cfg";
  std::ofstream(cfg) << "LANGUAGE=0\n";
  const std::string target = image + "@@1M";
  const std::string put = "mcopy -i '" + target + "' '" + cfg.string() + "' ::setup.cfg 2>/dev/null";
  if (std::system("command -v mcopy >/dev/null") != 0) GTEST_SKIP() << "mtools is not installed";
  ASSERT_EQ(0, std::system(put.c_str()));
  const fs::path back = temp_.Path() / "back.cfg";
  const std::string get = "mcopy -i '" + target + "' ::setup.cfg '" + back.string() + "' 2>/dev/null";
  ASSERT_EQ(0, std::system(get.c_str()));
  std::ifstream in(back);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ("LANGUAGE=0", line);
}

}  // namespace
