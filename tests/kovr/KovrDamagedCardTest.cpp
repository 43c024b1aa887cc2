// Foreign, damaged and truncated cards: refused with an error or read safely, never
// a crash, never a write.

#include <gtest/gtest.h>

#include "tests/kovr/CardImageTest.h"
#include "tests/kovr/KovrTestCard.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

using namespace kovrtest;
using namespace testsupport;

namespace {

class KovrDamagedCard : public CardImageTest {
 protected:
  void SetUp() override {
    CardImageTest::SetUp();
    if (HasFatalFailure()) return;
    Card card(image_);
    ASSERT_TRUE(card.Ok());
    for (int i = 0; i < 5; ++i)
      ASSERT_GT(card.Put(i % 2 ? "EVENT" : "NORMAL", "REC_" + std::to_string(i) + ".avi",
                         Pattern(20000 + static_cast<size_t>(i), static_cast<uint32_t>(i))),
                0);
    geometry_ = ReadGeometry(image_);
    ASSERT_GT(geometry_.recordCount, 0u);
  }
  // Opens the card and reads everything it lists; every listed size must be what
  // the reads deliver. Returns the open result.
  int ReadEverything(size_t* fileCount = nullptr) {
    Card card(image_);
    if (!card.Ok()) return card.Result();
    size_t count = 0;
    for (const char* folder : {"NORMAL", "INFINITE", "EVENT", "PARKING"}) {
      for (const ListedFile& f : card.List(folder)) {
        EXPECT_LE(f.name.size(), 97u);
        EXPECT_GT(f.number, 0);
        const std::vector<unsigned char> bytes = card.Get("/" + std::string(folder) + "/" + f.name, f.number);
        EXPECT_EQ(f.size, bytes.size()) << f.name;
        ++count;
      }
    }
    if (fileCount) *fileCount = count;
    return 0;
  }

  void Resign() {
    std::vector<unsigned char> sb = ReadBytesAt(image_, geometry_.partitionStart, 4096);
    PutLe32(sb.data() + 4092, Crc32(sb.data(), 4092));
    WriteBytesAt(image_, geometry_.partitionStart, sb.data(), sb.size());
  }

  void PatchSuperblock(size_t offset, uint32_t value, bool resign = true) {
    unsigned char v[4];
    PutLe32(v, value);
    WriteBytesAt(image_, geometry_.partitionStart + offset, v, 4);
    if (resign) Resign();
  }

  uint64_t RecordOffset(uint32_t slot) const { return geometry_.directoryStart + uint64_t{slot} * 128; }

  void ResignRecord(uint32_t slot) {
    std::vector<unsigned char> r = ReadBytesAt(image_, RecordOffset(slot), 128);
    PutLe32(r.data() + 124, Crc32(r.data(), 124));
    WriteBytesAt(image_, RecordOffset(slot), r.data(), 128);
  }

  Geometry geometry_;
};

TEST_F(KovrDamagedCard, IntactCardReadsAllFiles) {
  size_t count = 0;
  ASSERT_EQ(0, ReadEverything(&count));
  EXPECT_EQ(5u, count);
}

TEST_F(KovrDamagedCard, SuperblockWithAnyFlippedByteIsRefused) {
  const std::vector<unsigned char> original = ReadBytesAt(image_, geometry_.partitionStart, 4096);
  for (size_t offset : {0u, 7u, 8u, 16u, 24u, 28u, 32u, 52u, 128u, 192u, 210u, 4092u}) {
    std::vector<unsigned char> bad = original;
    bad[offset] ^= 0x5A;
    WriteBytesAt(image_, geometry_.partitionStart, bad.data(), bad.size());
    EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(image_.c_str())) << offset;
    EXPECT_EQ(KOVR_E_NOT_KOVR, ReadEverything()) << offset;
  }
  WriteBytesAt(image_, geometry_.partitionStart, original.data(), original.size());
  EXPECT_EQ(0, ReadEverything());
}

TEST_F(KovrDamagedCard, SignedSuperblockWithImpossibleFieldsIsRefused) {
  const std::vector<unsigned char> original = ReadBytesAt(image_, geometry_.partitionStart, 4096);
  struct Patch {
    size_t offset;
    uint32_t value;
    const char* what;
  };
  const Patch patches[] = {
      {24, 0, "no areas"},
      {24, 17, "more areas than the table holds"},
      {28, 0, "no directory records"},
      {28, 0x7FFFFFFF, "a directory larger than the partition"},
      {32, 0x10000000, "directory behind the partition"},
      {32, 100, "directory inside the superblock"},
      {16, 0xFFFFFFFF, "partition longer than its table entry"},
      {128 + 80, 0x0FFFFFFF, "area behind the partition"},
      {128 + 88, 0xFFFF0000, "area longer than the partition"},
      {128 + 128 + 80, 2 * 1024 * 1024, "areas overlapping"},
      {128 + 80, 4096, "area over the directory"},
      {128 + 88, 4095, "area not a whole number of blocks"},
      {12, 4096, "other sector size"},
  };
  for (const Patch& p : patches) {
    WriteBytesAt(image_, geometry_.partitionStart, original.data(), original.size());
    PatchSuperblock(p.offset, p.value);
    EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(image_.c_str())) << p.what;
    EXPECT_NE(0, ReadEverything()) << p.what;
  }
  WriteBytesAt(image_, geometry_.partitionStart, original.data(), original.size());
  // An area name without its NUL.
  std::vector<unsigned char> bad = original;
  std::memset(bad.data() + 128, 'A', 64);
  WriteBytesAt(image_, geometry_.partitionStart, bad.data(), bad.size());
  Resign();
  EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(image_.c_str()));
}

TEST_F(KovrDamagedCard, RandomSignedSuperblocksNeverCrashOrReadPastTheCard) {
  const std::vector<unsigned char> original = ReadBytesAt(image_, geometry_.partitionStart, 4096);
  std::mt19937 gen(4321);
  int accepted = 0;
  for (int round = 0; round < 80; ++round) {
    std::vector<unsigned char> bad = original;
    const int flips = 1 + static_cast<int>(gen() % 6);
    for (int i = 0; i < flips; ++i) bad[8 + gen() % 500] = static_cast<unsigned char>(gen());
    PutLe32(bad.data() + 4092, Crc32(bad.data(), 4092));
    WriteBytesAt(image_, geometry_.partitionStart, bad.data(), bad.size());
    if (ReadEverything() == 0) ++accepted;  // every listed file read back to its size
  }
  WriteBytesAt(image_, geometry_.partitionStart, original.data(), original.size());
  EXPECT_LT(accepted, 80) << "no damage was ever noticed";
}

TEST_F(KovrDamagedCard, DamagedDirectoryRecordsAreSkipped) {
  // Record 0 without a NUL in its name, record 1 longer than its area, record 2 in an
  // area that does not exist; all re-signed, so only their content gives them away.
  std::vector<unsigned char> r0 = ReadBytesAt(image_, RecordOffset(0), 128);
  std::memset(r0.data(), 'Z', 98);
  WriteBytesAt(image_, RecordOffset(0), r0.data(), 128);
  ResignRecord(0);
  unsigned char big[4];
  PutLe32(big, 0xFFFFFFF0u);
  WriteBytesAt(image_, RecordOffset(1) + 102, big, 4);
  ResignRecord(1);
  const unsigned char area = 9;
  WriteBytesAt(image_, RecordOffset(2) + 107, &area, 1);
  ResignRecord(2);
  // Record 3 garbled without a new checksum.
  const unsigned char junk[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  WriteBytesAt(image_, RecordOffset(3) + 10, junk, sizeof junk);
  size_t count = 0;
  ASSERT_EQ(0, ReadEverything(&count));
  EXPECT_EQ(1u, count);
}

TEST_F(KovrDamagedCard, HighestFileNumberCannotStallTheListing) {
  // A number whose successor does not fit the int32 cursor would list forever.
  unsigned char n[4];
  PutLe32(n, 0x7FFFFFFFu);
  WriteBytesAt(image_, RecordOffset(0) + 98, n, 4);
  ResignRecord(0);
  size_t count = 0;
  ASSERT_EQ(0, ReadEverything(&count));
  EXPECT_EQ(4u, count);
  PutLe32(n, 0x7FFFFFFEu);
  WriteBytesAt(image_, RecordOffset(0) + 98, n, 4);
  ResignRecord(0);
  ASSERT_EQ(0, ReadEverything(&count));
  EXPECT_EQ(5u, count);
  Card card(image_);
  EXPECT_EQ(KOVR_E_FULL, card.Put("NORMAL", "next.avi", Pattern(1, 1))) << "no number is left";
}

TEST_F(KovrDamagedCard, DuplicateFileNumbersListOnce) {
  std::vector<unsigned char> r0 = ReadBytesAt(image_, RecordOffset(0), 128);
  WriteBytesAt(image_, RecordOffset(2) + 98, r0.data() + 98, 4);
  ResignRecord(2);
  size_t count = 0;
  ASSERT_EQ(0, ReadEverything(&count));
  EXPECT_EQ(4u, count);
}

TEST_F(KovrDamagedCard, RandomDirectoryBytesNeverCrash) {
  std::mt19937 gen(1234);
  const std::vector<unsigned char> original = ReadBytesAt(image_, geometry_.directoryStart, 128 * 16);
  for (int round = 0; round < 60; ++round) {
    std::vector<unsigned char> bytes = original;
    const int flips = 1 + static_cast<int>(gen() % 40);
    for (int i = 0; i < flips; ++i) bytes[gen() % bytes.size()] = static_cast<unsigned char>(gen());
    WriteBytesAt(image_, geometry_.directoryStart, bytes.data(), bytes.size());
    // Half the rounds re-sign the records, so the field checks do the work.
    if (round % 2)
      for (uint32_t s = 0; s < 16; ++s) ResignRecord(s);
    EXPECT_EQ(0, ReadEverything()) << "round " << round;
  }
}

TEST_F(KovrDamagedCard, BrokenPartitionTablesAreRefused) {
  const std::vector<unsigned char> mbr = ReadBytesAt(image_, 0, 512);
  auto withMbr = [&](auto change) {
    std::vector<unsigned char> bad = mbr;
    change(bad);
    WriteBytesAt(image_, 0, bad.data(), bad.size());
  };
  withMbr([](std::vector<unsigned char>& b) { b[511] = 0; });
  EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(image_.c_str())) << "no signature";
  EXPECT_EQ(KOVR_E_NOT_KOVR, ReadEverything());
  withMbr([](std::vector<unsigned char>& b) { PutLe32(b.data() + 462 + 12, 0xFFFFFF00u); });
  EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(image_.c_str())) << "partition 2 past the end";
  withMbr([](std::vector<unsigned char>& b) { PutLe32(b.data() + 462 + 12, 4); });
  EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(image_.c_str())) << "partition 2 of 2 KiB";
  withMbr([](std::vector<unsigned char>& b) { b[462 + 4] = 0x83; });
  EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(image_.c_str())) << "foreign partition type";
  withMbr([](std::vector<unsigned char>& b) { PutLe32(b.data() + 462 + 8, 2048); });
  EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(image_.c_str())) << "partition 2 moved";
  std::mt19937 gen(99);
  for (int round = 0; round < 40; ++round) {
    withMbr([&](std::vector<unsigned char>& b) {
      for (int i = 446; i < 510; ++i)
        if (gen() % 4 == 0) b[static_cast<size_t>(i)] = static_cast<unsigned char>(gen());
    });
    ReadEverything();  // anything but a crash or an out-of-card read
  }
  WriteBytesAt(image_, 0, mbr.data(), mbr.size());
  EXPECT_EQ(0, ReadEverything());
}

TEST_F(KovrDamagedCard, TruncatedImagesAreRefused) {
  const uint64_t cuts[] = {
      0, 100, 512, geometry_.partitionStart + 100, geometry_.directoryStart + 64, geometry_.directoryStart + 128 * 4};
  for (uint64_t cut : cuts) {
    fs::resize_file(image_, cut);
    EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(image_.c_str())) << cut;
    EXPECT_NE(0, ReadEverything()) << cut;
  }
}

TEST_F(KovrDamagedCard, CardCutInsideTheAreasReadsWhatIsThere) {
  // The directory is whole but the last area lost its end: the image is shorter than
  // partition 2 says, so the card is refused rather than read past its end.
  fs::resize_file(image_, geometry_.partitionStart + 8 * kMiB);
  EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(image_.c_str()));
}

TEST_F(KovrDamagedCard, ForeignFatCardIsNotACardFileSystem) {
  const fs::path fat = temp_.Path() / "fat.img";
  MakeSparse(fat, 64 * kMiB);
  const std::string cmd = "mkfs.fat -F 32 --mbr=y '" + fat.string() + "' >/dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0) GTEST_SKIP() << "mkfs.fat is not installed";
  const std::vector<unsigned char> before = ReadBytesAt(fat, 0, 2 * kMiB);
  EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(fat.c_str()));
  unsigned char block[KOVR_CONNECTION_BLOCK_SIZE] = {};
  EXPECT_EQ(KOVR_E_NOT_KOVR, VK_Kovr_Device_Open(fat.c_str(), KOVR_OPEN_DEFAULT, block));
  EXPECT_EQ(before, ReadBytesAt(fat, 0, 2 * kMiB));
}

}  // namespace
