// Card recordings through the recording reader: random access over the card library.

#include <gtest/gtest.h>

#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"
#include "sources/avi/KovrByteSource.h"
#include "tests/card/CardTestSupport.h"
#include "tests/kovr/CardImageTest.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

using namespace kovrtest;
using namespace testsupport;
using namespace cardtest;

namespace {

using KovrSource = CardImageTest;

TEST_F(KovrSource, ReadsAnyRangeAsTheFileHoldsIt) {
  const std::vector<unsigned char> data = Pattern(900001, 77);
  Card card(image_);
  const int32_t number = card.Put("NORMAL", "REC_20240101_120000_2.avi", data);
  KovrByteSource source(card.Block(), "REC_20240101_120000_2.avi", number);
  ASSERT_TRUE(source.IsOpen());
  EXPECT_EQ(900001, source.Size());
  EXPECT_EQ(number, source.FileNumber());
  std::vector<unsigned char> buf(300000);
  const int64_t offsets[] = {800000, 0, 123457, 899999, 600000, 1};
  for (int64_t off : offsets) {
    const int64_t want = std::min<int64_t>(300000, 900001 - off);
    ASSERT_EQ(want, source.ReadAt(off, buf.data(), 300000)) << off;
    EXPECT_EQ(0, std::memcmp(buf.data(), data.data() + off, static_cast<size_t>(want))) << off;
  }
  EXPECT_EQ(0, source.ReadAt(900001, buf.data(), 10));
  EXPECT_EQ(0, source.ReadAt(5000000, buf.data(), 10));
  EXPECT_EQ(-1, source.ReadAt(-1, buf.data(), 10));
  EXPECT_EQ(0, source.ReadAt(10, buf.data(), 0));
}

TEST_F(KovrSource, SourceOutlivingItsCardFailsInsteadOfReadingFreedMemory) {
  auto* block = new unsigned char[KOVR_CONNECTION_BLOCK_SIZE]();
  ASSERT_EQ(0, VK_Kovr_Device_Open(image_.c_str(), KOVR_OPEN_DEFAULT, block));
  {
    Card writer(image_);
    ASSERT_GT(writer.Put("NORMAL", "a.avi", Pattern(1000, 1)), 0);
  }
  VK_Kovr_Device_Close(block);
  ASSERT_EQ(0, VK_Kovr_Device_Open(image_.c_str(), KOVR_OPEN_DEFAULT, block));
  KovrByteSource source(block, "/NORMAL/a.avi", 0);
  ASSERT_TRUE(source.IsOpen());
  VK_Kovr_Device_Close(block);
  std::memset(block, 0xAB, KOVR_CONNECTION_BLOCK_SIZE);
  delete[] block;
  unsigned char b[16];
  EXPECT_EQ(-1, source.ReadAt(0, b, sizeof b));
}

TEST_F(KovrSource, UnknownFileGivesAClosedSource) {
  Card card(image_);
  KovrByteSource source(card.Block(), "REC_missing.avi", 12);
  EXPECT_FALSE(source.IsOpen());
  EXPECT_EQ(-1, source.Size());
  unsigned char b[4];
  EXPECT_EQ(-1, source.ReadAt(0, b, 4));
  EXPECT_EQ(nullptr, KovrByteSource::OpenOnCard(image_, "NORMAL", "REC_missing.avi"));
  EXPECT_EQ(nullptr, KovrByteSource::OpenOnCard((temp_.Path() / "none.img").string(), "NORMAL", "x"));
}

TEST_F(KovrSource, RecordingReaderSeesTheSameRecordingOnTheCard) {
  const fs::path rec = Record(temp_.Path(), "REC_20240101_120000_2.avi", "--cameras 2 --audio aac");
  ASSERT_FALSE(rec.empty()) << "tarvo-tool record failed";
  {
    Card card(image_);
    ASSERT_GT(card.Put("NORMAL", rec.filename().string(), ReadAll(rec)), 0);
  }
  std::unique_ptr<KovrByteSource> onCard = KovrByteSource::OpenOnCard(image_, "NORMAL", rec.filename().string());
  ASSERT_NE(nullptr, onCard);
  FileByteSource local;
  ASSERT_TRUE(local.Open(rec));
  avi::AviReader fromCard(*onCard);
  avi::AviReader fromFile(local);
  ASSERT_TRUE(fromFile.Open());
  ASSERT_TRUE(fromCard.Open());
  EXPECT_FALSE(fromCard.IsCutOff());
  EXPECT_EQ(fromFile.Streams().size(), fromCard.Streams().size());
  EXPECT_EQ(fromFile.ChunkCount(), fromCard.ChunkCount());
  EXPECT_EQ(fromFile.CameraCount(), fromCard.CameraCount());
  EXPECT_EQ(fromFile.Duration(), fromCard.Duration());
  EXPECT_EQ(2, fromCard.CameraCount());
  EXPECT_GE(fromCard.AudioStream(), 0);
}

TEST_F(KovrSource, CutOffRecordingOnTheCardReadsAsCutOff) {
  const fs::path rec =
      Record(temp_.Path(), "EVT_20240101_120000_1.avi", "--cameras 1 --audio none --type EVT --cut-at 120000");
  ASSERT_FALSE(rec.empty());
  const std::vector<unsigned char> bytes = ReadAll(rec);
  {
    Card card(image_);
    // The camera loses power while writing: the file is never closed.
    ASSERT_GT(card.Put("EVENT", rec.filename().string(), bytes, /*close=*/false, 50000), 0);
  }
  std::unique_ptr<KovrByteSource> onCard = KovrByteSource::OpenOnCard(image_, "EVENT", rec.filename().string());
  ASSERT_NE(nullptr, onCard);
  EXPECT_EQ(static_cast<int64_t>(bytes.size()), onCard->Size());
  avi::AviReader reader(*onCard);
  ASSERT_TRUE(reader.Open());
  EXPECT_TRUE(reader.IsCutOff());
  EXPECT_FALSE(reader.HasIndex());
  EXPECT_GT(reader.ChunkCount(), 0u);
}

}  // namespace
