// A recording that changes under its reader: truncated or deleted after it was
// opened, as when the drive holding it is cleaned up or pulled during playback. The
// reader hands out only chunks it could read whole, and the record call only the
// records it could read.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"
#include "telemetry/LoadTelemetry.h"
#include "telemetry/TelemetrySamples.h"
#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

class ReaderFault : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = fixtures::Record(fixtures::SmallOptions(2, 3, avi::AudioKind::Aac), dir_.Path() / "rec.avi");
    bytes_ = testsupport::ReadAll(path_);
    ASSERT_TRUE(file_.Open(path_));
    ASSERT_TRUE(reader_.Open());
    ASSERT_TRUE(reader_.HasIndex());
  }

  // Reads every chunk; the number read whole, each compared with the original bytes.
  size_t ReadEveryChunk(int64_t availableBytes) {
    size_t whole = 0;
    std::vector<uint8_t> data;
    for (const avi::ChunkEntry& c : reader_.Chunks()) {
      const bool ok = reader_.ReadChunk(c, data);
      const bool fits = c.offset + int64_t{c.size} <= availableBytes;
      EXPECT_EQ(ok, fits) << "chunk at " << c.offset;
      if (!ok) {
        EXPECT_TRUE(data.empty());
        continue;
      }
      EXPECT_TRUE(std::equal(data.begin(), data.end(), bytes_.begin() + c.offset));
      ++whole;
    }
    return whole;
  }

  size_t LoadRecords() {
    avi::AviTelemetrySource records(reader_);
    TelemetrySamples samples;
    LoadTelemetry(&records, samples);
    return samples.gpsSamples.size() + samples.gsensorSamples.size();
  }

  testsupport::TempFolder dir_;
  fs::path path_;
  std::vector<uint8_t> bytes_;
  FileByteSource file_;
  avi::AviReader reader_{file_};
};

TEST_F(ReaderFault, RecordingTruncatedAfterOpeningGivesOnlyTheChunksBeforeTheCut) {
  const size_t chunks = reader_.ChunkCount();
  const size_t recordsBefore = LoadRecords();
  const int64_t cut = static_cast<int64_t>(bytes_.size() / 2) + 3;
  fs::resize_file(path_, static_cast<uintmax_t>(cut));
  const size_t whole = ReadEveryChunk(cut);
  EXPECT_GT(whole, 0u);
  EXPECT_LT(whole, chunks);
  const size_t recordsAfter = LoadRecords();
  EXPECT_GT(recordsAfter, 0u);
  EXPECT_LT(recordsAfter, recordsBefore);
  // Seeks still land on chunks of the list, readable or not.
  EXPECT_LE(reader_.Seek(reader_.Duration()), reader_.ChunkCount());
}

TEST_F(ReaderFault, RecordingTruncatedToNothingReadsNothingAndDoesNotHang) {
  fs::resize_file(path_, 0);
  EXPECT_EQ(ReadEveryChunk(0), 0u);
  EXPECT_EQ(LoadRecords(), 0u);
}

TEST_F(ReaderFault, RecordingDeletedAfterOpeningIsStillReadWhole) {
  // The open file keeps its bytes until it is closed.
  ASSERT_EQ(::unlink(path_.c_str()), 0);
  EXPECT_EQ(ReadEveryChunk(static_cast<int64_t>(bytes_.size())), reader_.ChunkCount());
  EXPECT_GT(LoadRecords(), 0u);
  FileByteSource again;
  EXPECT_FALSE(again.Open(path_));
}

}  // namespace
