// Files on a card: listing in batches, reading back, writing as the camera does.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/kovr/CardImageTest.h"
#include "tests/kovr/KovrTestCard.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

using namespace kovrtest;
using namespace testsupport;

namespace {

using KovrFiles = CardImageTest;

std::string RecordingName(int i) {
  char name[64];
  std::snprintf(name, sizeof name, "REC_20240101_%06d_2.avi", i);
  return name;
}

TEST_F(KovrFiles, ListingComesInBatchesOfThirtyWithNumbersAndSizes) {
  Card card(image_);
  ASSERT_TRUE(card.Ok());
  std::vector<int32_t> numbers;
  for (int i = 0; i < 65; ++i) {
    const int32_t n = card.Put("EVENT", RecordingName(i), Pattern(static_cast<size_t>(100 + i), i));
    ASSERT_GT(n, 0);
    numbers.push_back(n);
  }
  std::vector<int> batches;
  const std::vector<ListedFile> files = card.List("EVENT", &batches);
  EXPECT_EQ((std::vector<int>{30, 30, 5}), batches);
  ASSERT_EQ(65u, files.size());
  for (int i = 0; i < 65; ++i) {
    EXPECT_EQ(RecordingName(i), files[static_cast<size_t>(i)].name);
    EXPECT_EQ(numbers[static_cast<size_t>(i)], files[static_cast<size_t>(i)].number);
    EXPECT_EQ(static_cast<uint32_t>(100 + i), files[static_cast<size_t>(i)].size);
  }
  for (size_t i = 1; i < numbers.size(); ++i) EXPECT_LT(numbers[i - 1], numbers[i]);
  EXPECT_TRUE(card.List("NORMAL").empty());
  EXPECT_TRUE(card.List("INFINITE").empty()) << "a folder without an area lists nothing";
  EXPECT_EQ(65u, card.List("/EVENT").size());
}

TEST_F(KovrFiles, ListRecordsFillOnlyTheirBytesAndLeaveTheCapacity) {
  Card card(image_);
  ASSERT_TRUE(card.Ok());
  const std::string longName(97, 'x');
  const int32_t number = card.Put("NORMAL", longName, Pattern(70000, 3));
  ASSERT_GT(number, 0);
  std::vector<unsigned char> buffer(KOVR_FILE_LIST_BUFFER_SIZE, 0xCC);
  PutLe32(buffer.data(), 30);
  int32_t cursor = 1;
  ASSERT_EQ(1, VK_Kovr_Get_FileList(card.Block(), "NORMAL", &cursor, buffer.data(), 0));
  EXPECT_EQ(30u, Le32(buffer.data()));
  const unsigned char* r = buffer.data() + 4;
  EXPECT_EQ(0, std::memcmp(r, longName.data(), 97));
  EXPECT_EQ(0, r[97]) << "a 97-byte name must stay NUL-terminated";
  EXPECT_EQ(static_cast<uint32_t>(number), Le32(r + 98));
  EXPECT_EQ(70000u, Le32(r + 102));
  EXPECT_EQ(0xCC, buffer[4 + 128]) << "bytes behind the last record are not the library's";
  EXPECT_EQ(number + 1, cursor);
  EXPECT_EQ(0, VK_Kovr_Get_FileList(card.Block(), "NORMAL", &cursor, buffer.data(), 0));
  EXPECT_EQ(KOVR_E_ARGUMENT, card.Put("NORMAL", std::string(98, 'y'), Pattern(10, 1)))
      << "names longer than 97 bytes are refused";
}

TEST_F(KovrFiles, SmallerCapacityGivesSmallerBatches) {
  Card card(image_);
  ASSERT_TRUE(card.Ok());
  for (int i = 0; i < 7; ++i) ASSERT_GT(card.Put("PARKING", RecordingName(i), Pattern(10, i)), 0);
  std::vector<unsigned char> buffer(KOVR_FILE_LIST_BUFFER_SIZE, 0);
  PutLe32(buffer.data(), 3);
  int32_t cursor = 1;
  EXPECT_EQ(3, VK_Kovr_Get_FileList(card.Block(), "PARKING", &cursor, buffer.data(), 0));
  EXPECT_EQ(3, VK_Kovr_Get_FileList(card.Block(), "PARKING", &cursor, buffer.data(), 0));
  EXPECT_EQ(1, VK_Kovr_Get_FileList(card.Block(), "PARKING", &cursor, buffer.data(), 0));
  EXPECT_EQ(0, VK_Kovr_Get_FileList(card.Block(), "PARKING", &cursor, buffer.data(), 0));
  PutLe32(buffer.data(), 0);
  cursor = 1;
  EXPECT_LT(VK_Kovr_Get_FileList(card.Block(), "PARKING", &cursor, buffer.data(), 0), 0);
  PutLe32(buffer.data(), 30);
  cursor = 0;
  EXPECT_LT(VK_Kovr_Get_FileList(card.Block(), "PARKING", &cursor, buffer.data(), 0), 0);
}

TEST_F(KovrFiles, FilesReadBackByteForByteInAnyReadSize) {
  Card card(image_);
  ASSERT_TRUE(card.Ok());
  const std::vector<unsigned char> data = Pattern(1000003, 7);  // odd size, not a block multiple
  const int32_t number = card.Put("NORMAL", "REC_20240101_120000_2.avi", data, true, 333333);
  ASSERT_GT(number, 0);
  EXPECT_EQ(data, card.Get("/NORMAL/REC_20240101_120000_2.avi", number));
  EXPECT_EQ(data, card.Get("REC_20240101_120000_2.avi", number, 4099));
  EXPECT_EQ(data, card.Get("/NORMAL/REC_20240101_120000_2.avi", 0, 1 << 20)) << "the path alone finds a file";
  EXPECT_TRUE(card.Get("/NORMAL/OTHER.avi", number).empty()) << "number and name must agree";
  EXPECT_TRUE(card.Get("/EVENT/REC_20240101_120000_2.avi", number).empty());
  EXPECT_TRUE(card.Get("/NORMAL/REC_20240101_120000_2.avi", number + 100).empty());
}

TEST_F(KovrFiles, ReadsReturnZeroAtTheEndAndSeekGivesRandomAccess) {
  Card card(image_);
  ASSERT_TRUE(card.Ok());
  const std::vector<unsigned char> data = Pattern(50000, 9);
  const int32_t number = card.Put("NORMAL", "a.avi", data);
  const int h = VK_Kovr_File_Open(card.Block(), "a.avi", "r", 0, 0, number);
  ASSERT_GT(h, 0);
  EXPECT_EQ(50000, VK_Kovr_File_Size(card.Block(), h));
  unsigned char buf[100];
  EXPECT_EQ(40000, VK_Kovr_File_Seek(card.Block(), h, 40000, 0));
  ASSERT_EQ(100, VK_Kovr_File_Read(card.Block(), buf, 100, h));
  EXPECT_EQ(0, std::memcmp(buf, data.data() + 40000, 100));
  EXPECT_EQ(49990, VK_Kovr_File_Seek(card.Block(), h, -10, 2));
  EXPECT_EQ(10, VK_Kovr_File_Read(card.Block(), buf, 100, h));
  EXPECT_EQ(0, std::memcmp(buf, data.data() + 49990, 10));
  EXPECT_EQ(0, VK_Kovr_File_Read(card.Block(), buf, 100, h));
  EXPECT_EQ(60000, VK_Kovr_File_Seek(card.Block(), h, 60000, 0));
  EXPECT_EQ(0, VK_Kovr_File_Read(card.Block(), buf, 100, h)) << "past the end reads nothing";
  EXPECT_LT(VK_Kovr_File_Seek(card.Block(), h, -1, 0), 0);
  EXPECT_EQ(0, VK_Kovr_File_Close(card.Block(), h));
  EXPECT_EQ(KOVR_E_HANDLE, VK_Kovr_File_Read(card.Block(), buf, 100, h));
}

TEST_F(KovrFiles, CutOffFileKeepsTheBytesThatReachedTheCard) {
  const std::vector<unsigned char> data = Pattern(300000, 11);
  int32_t number = 0;
  {
    Card card(image_);
    ASSERT_TRUE(card.Ok());
    number = card.Put("EVENT", "EVT_20240101_120000_2.avi", data, /*close=*/false, 100000);
    ASSERT_GT(number, 0);
    // Power goes: the connection vanishes without the file ever being closed.
  }
  Card card(image_);
  ASSERT_TRUE(card.Ok());
  const std::vector<ListedFile> files = card.List("EVENT");
  ASSERT_EQ(1u, files.size());
  EXPECT_EQ(300000u, files[0].size);
  EXPECT_EQ(data, card.Get("EVT_20240101_120000_2.avi", number));
  EXPECT_GT(card.Put("EVENT", "EVT_20240101_120100_2.avi", Pattern(10, 1)), number)
      << "numbers keep growing after a cut";
  EXPECT_EQ(data, card.Get("EVT_20240101_120000_2.avi", number)) << "the next file overwrote it";
}

TEST_F(KovrFiles, FullAreaOverwritesItsOldestRecordings) {
  Card card(image_);
  ASSERT_TRUE(card.Ok());
  KovrAreaInfo area;
  ASSERT_EQ(0, VK_Kovr_Get_Area_Info(card.Block(), 1, &area));
  ASSERT_EQ(3 * kMiB, area.lengthBytes);
  // Eight files of 700,000 bytes need 5.6 MB of a 3 MiB ring: the first ones go.
  std::vector<int32_t> numbers;
  for (int i = 0; i < 8; ++i) {
    const int32_t n = card.Put("EVENT", RecordingName(i), Pattern(700000, 100 + i));
    ASSERT_GT(n, 0) << i;
    numbers.push_back(n);
  }
  const std::vector<ListedFile> files = card.List("EVENT");
  ASSERT_GE(files.size(), 3u);
  ASSERT_LE(files.size(), 4u);
  EXPECT_EQ(numbers.back(), files.back().number);
  for (const ListedFile& f : files) {
    const int index = std::stoi(f.name.substr(13, 6));
    EXPECT_GE(index, 4) << "an old recording survived past a full ring";
    EXPECT_EQ(Pattern(700000, static_cast<uint32_t>(100 + index)), card.Get(f.name, f.number))
        << f.name << " was damaged by its neighbours";
  }
  EXPECT_TRUE(card.List("NORMAL").empty()) << "other areas are never touched";
  ASSERT_EQ(0, VK_Kovr_Get_Area_Info(card.Block(), 1, &area));
  EXPECT_LE(area.usedBytes, area.lengthBytes);
}

TEST_F(KovrFiles, FileLargerThanItsAreaIsRefused) {
  Card card(image_);
  ASSERT_TRUE(card.Ok());
  EXPECT_EQ(KOVR_E_FULL, card.Put("EVENT", "big.avi", Pattern(3 * kMiB + 1, 1), true, 1 << 20));
}

TEST_F(KovrFiles, SameNameReplacesTheEarlierFile) {
  Card card(image_);
  ASSERT_TRUE(card.Ok());
  ASSERT_GT(card.Put("NORMAL", "a.avi", Pattern(10, 1)), 0);
  const int32_t second = card.Put("NORMAL", "a.avi", Pattern(20, 2));
  const std::vector<ListedFile> files = card.List("NORMAL");
  ASSERT_EQ(1u, files.size());
  EXPECT_EQ(second, files[0].number);
  EXPECT_EQ(20u, files[0].size);
}

TEST_F(KovrFiles, DeleteRemovesOneFile) {
  Card card(image_);
  ASSERT_TRUE(card.Ok());
  const int32_t a = card.Put("NORMAL", "a.avi", Pattern(10, 1));
  const int32_t b = card.Put("NORMAL", "b.avi", Pattern(10, 2));
  EXPECT_EQ(0, VK_Kovr_File_Delete(card.Block(), a));
  EXPECT_EQ(KOVR_E_NOT_FOUND, VK_Kovr_File_Delete(card.Block(), a));
  const std::vector<ListedFile> files = card.List("NORMAL");
  ASSERT_EQ(1u, files.size());
  EXPECT_EQ(b, files[0].number);
}

TEST_F(KovrFiles, BadNamesAndModesAreRefused) {
  Card card(image_);
  ASSERT_TRUE(card.Ok());
  EXPECT_EQ(KOVR_E_ARGUMENT, card.Put("NORMAL", "..", Pattern(1, 1)));
  EXPECT_EQ(KOVR_E_ARGUMENT, card.Put("NORMAL", "", Pattern(1, 1)));
  EXPECT_EQ(KOVR_E_ARGUMENT, card.Put("NORMAL", std::string(98, 'n'), Pattern(1, 1)));
  EXPECT_EQ(KOVR_E_ARGUMENT, card.Put("NORMAL", "a/b", Pattern(1, 1)));
  EXPECT_EQ(KOVR_E_NOT_FOUND, card.Put("INFINITE", "a.avi", Pattern(1, 1)));
  EXPECT_EQ(KOVR_E_ARGUMENT, VK_Kovr_File_Open(card.Block(), "/NORMAL/a", "a", 0, 0, 0));
  EXPECT_EQ(KOVR_E_ARGUMENT, VK_Kovr_File_Open(card.Block(), nullptr, "r", 0, 0, 1));
}

TEST_F(KovrFiles, ForeignOrStaleBlocksAreRefused) {
  unsigned char zero[KOVR_CONNECTION_BLOCK_SIZE] = {};
  int32_t cursor = 1;
  std::vector<unsigned char> buffer(KOVR_FILE_LIST_BUFFER_SIZE, 0);
  PutLe32(buffer.data(), 30);
  EXPECT_EQ(KOVR_E_HANDLE, VK_Kovr_Get_FileList(zero, "NORMAL", &cursor, buffer.data(), 0));
  EXPECT_EQ(KOVR_E_HANDLE, VK_Kovr_Get_FileList(nullptr, "NORMAL", &cursor, buffer.data(), 0));
  unsigned char block[KOVR_CONNECTION_BLOCK_SIZE] = {};
  ASSERT_EQ(0, VK_Kovr_Device_Open(image_.c_str(), KOVR_OPEN_DEFAULT, block));
  unsigned char copy[KOVR_CONNECTION_BLOCK_SIZE];
  std::memcpy(copy, block, sizeof copy);
  VK_Kovr_Device_Close(block);
  EXPECT_EQ(KOVR_E_HANDLE, VK_Kovr_Get_FileList(copy, "NORMAL", &cursor, buffer.data(), 0));
  // A new connection in the same slot must not answer to the old block.
  unsigned char again[KOVR_CONNECTION_BLOCK_SIZE] = {};
  ASSERT_EQ(0, VK_Kovr_Device_Open(image_.c_str(), KOVR_OPEN_DEFAULT, again));
  EXPECT_EQ(KOVR_E_HANDLE, VK_Kovr_Get_FileList(copy, "NORMAL", &cursor, buffer.data(), 0));
  EXPECT_EQ(0, VK_Kovr_Get_FileList(again, "NORMAL", &cursor, buffer.data(), 0));
  VK_Kovr_Device_Close(again);
}

TEST_F(KovrFiles, ReadingNeverWritesToTheCard) {
  {
    Card card(image_);
    ASSERT_GT(card.Put("NORMAL", "REC_20240101_120000_2.avi", Pattern(200000, 5)), 0);
    ASSERT_GT(card.Put("EVENT", "EVT_20240101_120000_2.avi", Pattern(100000, 6), false), 0);
  }
  const Geometry g = ReadGeometry(image_);
  const std::vector<unsigned char> before = ReadBytesAt(image_, 0, g.partitionStart + 8 * kMiB);
  struct stat st1 {};
  ASSERT_EQ(0, ::stat(image_.c_str(), &st1));
  ASSERT_EQ(0, ::chmod(image_.c_str(), 0444));
  const int probe = ::open(image_.c_str(), O_RDWR);
  const bool protectedImage = probe < 0;  // root writes through the mode bits
  if (probe >= 0) ::close(probe);
  if (protectedImage) {
    EXPECT_NE(0, VK_Kovr_Check_Kovr_partition(image_.c_str()));
    Card card(image_);
    ASSERT_TRUE(card.Ok()) << "a write-protected card still opens for reading";
    const std::vector<ListedFile> normal = card.List("NORMAL");
    ASSERT_EQ(1u, normal.size());
    EXPECT_EQ(Pattern(200000, 5), card.Get(normal[0].name, normal[0].number));
    EXPECT_EQ(1u, card.List("EVENT").size());
    EXPECT_EQ(KOVR_E_READ_ONLY, card.Put("NORMAL", "x.avi", Pattern(1, 1)));
    EXPECT_EQ(KOVR_E_READ_ONLY, VK_Kovr_File_Delete(card.Block(), normal[0].number));
  }
  ASSERT_EQ(0, ::chmod(image_.c_str(), 0644));
  {
    Card card(image_);  // writable this time: a reading session still writes nothing
    for (const char* f : {"NORMAL", "EVENT", "PARKING", "INFINITE"})
      for (const ListedFile& file : card.List(f)) card.Get(file.name, file.number);
  }
  struct stat st2 {};
  ASSERT_EQ(0, ::stat(image_.c_str(), &st2));
  EXPECT_EQ(st1.st_mtim.tv_sec, st2.st_mtim.tv_sec);
  EXPECT_EQ(st1.st_mtim.tv_nsec, st2.st_mtim.tv_nsec);
  EXPECT_EQ(before, ReadBytesAt(image_, 0, g.partitionStart + 8 * kMiB));
}

TEST_F(KovrFiles, ReaderOfAnOverwrittenFileGetsAnErrorNotAnotherFilesBytes) {
  Card card(image_);
  ASSERT_TRUE(card.Ok());
  const int32_t first = card.Put("EVENT", "old.avi", Pattern(1000000, 1));
  const int h = VK_Kovr_File_Open(card.Block(), "old.avi", "r", 0, 0, first);
  ASSERT_GT(h, 0);
  for (int i = 0; i < 4; ++i) ASSERT_GT(card.Put("EVENT", RecordingName(i), Pattern(1000000, 2)), 0);
  unsigned char buf[16];
  EXPECT_LT(VK_Kovr_File_Read(card.Block(), buf, 16, h), 0);
  VK_Kovr_File_Close(card.Block(), h);
}

}  // namespace
