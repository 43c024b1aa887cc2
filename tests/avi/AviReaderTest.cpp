#include <gtest/gtest.h>

#include <algorithm>

#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"
#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "tools/simulator/AviWriter.h"

namespace {

using avi::ReadLe32;
namespace fs = std::filesystem;

// Counts what is read and fails any read that would pass the end.
class CountingSource : public ByteSource {
 public:
  explicit CountingSource(std::vector<uint8_t> data) : bytes(std::move(data)) {}
  int64_t Size() const override { return static_cast<int64_t>(bytes.size()); }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t count) override {
    if (offset < 0 || count < 0) return -1;
    if (offset >= Size()) return 0;
    const int64_t n = std::min(count, Size() - offset);
    std::copy_n(bytes.begin() + offset, n, static_cast<uint8_t*>(buffer));
    read += n;
    return n;
  }
  std::vector<uint8_t> bytes;
  int64_t read = 0;
};

class AviReaderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = new testsupport::TempFolder;
    simulator::RecordOptions o = fixtures::SmallOptions(2, 3, avi::AudioKind::Aac);
    o.sizes = {{192, 108}, {160, 90}};
    two = fixtures::Record(o, dir->Path() / "two.avi");
  }
  static void TearDownTestSuite() {
    delete dir;
    dir = nullptr;
  }
  static testsupport::TempFolder* dir;
  static fs::path two;
};
testsupport::TempFolder* AviReaderTest::dir = nullptr;
fs::path AviReaderTest::two;

// The same recording as a power cut leaves it, without index.
std::vector<uint8_t> WithoutIndex(std::vector<uint8_t> f, size_t cutInsideLast) {
  const size_t headerEnd = 20 + ReadLe32(&f[16]);
  const size_t moviEnd = headerEnd + 8 + ReadLe32(&f[headerEnd + 4]);
  f.resize(moviEnd - cutInsideLast);
  avi::WriteLe32(&f[4], 0);
  avi::WriteLe32(&f[headerEnd + 4], 0);
  return f;
}

TEST_F(AviReaderTest, StreamsCamerasAndTimesOfAnIntactRecording) {
  FileByteSource file(two);
  avi::AviReader reader(file);
  ASSERT_TRUE(reader.Open());
  EXPECT_TRUE(reader.HasIndex());
  EXPECT_FALSE(reader.IsCutOff());
  EXPECT_EQ(reader.VideoStream(), 0);
  EXPECT_EQ(reader.AudioStream(), 1);
  EXPECT_EQ(reader.TelemetryStream(), 2);
  ASSERT_EQ(reader.CameraCount(), 2);
  EXPECT_EQ(reader.Cameras()[0].id, 0);
  EXPECT_EQ(reader.Cameras()[1].id, 1);
  EXPECT_EQ(reader.Cameras()[1].width, 160);
  EXPECT_DOUBLE_EQ(reader.FrameRate(), 30.0);
  EXPECT_EQ(reader.FrameDuration(), 333333);
  // 3 s exactly: the end of the 90th frame, not 90 rounded-down frame lengths.
  EXPECT_EQ(reader.Duration(), 30000000);
  int64_t frame[2] = {0, 0};
  int64_t lastText = -1;
  for (const avi::ChunkEntry& c : reader.Chunks()) {
    if (c.kind == avi::ChunkKind::Video) {
      ASSERT_TRUE(c.camera == 0 || c.camera == 1);
      EXPECT_EQ(c.time, frame[c.camera] * 10000000 / 30);
      EXPECT_EQ(c.keyFrame, frame[c.camera] % 30 == 0) << "one key frame per second";
      ++frame[c.camera];
    } else if (c.kind == avi::ChunkKind::Text) {
      EXPECT_GE(c.time, lastText);
      EXPECT_EQ(c.time % 1000000, 0) << "a tenth of a second";
      lastText = c.time;
    }
  }
  const avi::ChunkEntry* secondAudio = nullptr;
  int audio = 0;
  for (const avi::ChunkEntry& c : reader.Chunks())
    if (c.kind == avi::ChunkKind::Audio && ++audio == 2) secondAudio = &c;
  ASSERT_NE(secondAudio, nullptr);
  EXPECT_EQ(secondAudio->time, 1024LL * 10000000 / 22050);
}

TEST_F(AviReaderTest, SeekFindsTheKeyFramesAtOrBeforeTheTime) {
  FileByteSource file(two);
  avi::AviReader reader(file);
  ASSERT_TRUE(reader.Open());
  const size_t i = reader.Seek(15000000);  // 1.5 s
  ASSERT_LT(i, reader.ChunkCount());
  const avi::ChunkEntry& c = reader.Chunk(i);
  EXPECT_EQ(c.kind, avi::ChunkKind::Video);
  EXPECT_EQ(c.camera, 0);
  EXPECT_TRUE(c.keyFrame);
  EXPECT_EQ(c.time, 10000000);
  const avi::ChunkEntry& rear = reader.Chunk(reader.SeekCamera(1, 15000000));
  EXPECT_EQ(rear.camera, 1);
  EXPECT_EQ(rear.time, 10000000);
  EXPECT_EQ(reader.Chunk(reader.Seek(0)).time, 0);
  EXPECT_EQ(reader.Chunk(reader.Seek(-5)).time, 0) << "before the start: the first key frame";
  EXPECT_EQ(reader.Chunk(reader.Seek(int64_t{1} << 40)).time, 20000000);
  EXPECT_EQ(reader.SeekCamera(7, 0), reader.ChunkCount());
}

TEST_F(AviReaderTest, ScanOfACutOffRecordingFindsTheSameChunksAsTheIndex) {
  FileByteSource file(two);
  avi::AviReader indexed(file);
  ASSERT_TRUE(indexed.Open());
  CountingSource cut(WithoutIndex(testsupport::ReadAll(two), 0));
  avi::AviReader scanned(cut);
  ASSERT_TRUE(scanned.Open());
  EXPECT_FALSE(scanned.HasIndex());
  EXPECT_TRUE(scanned.IsCutOff());
  ASSERT_EQ(scanned.ChunkCount(), indexed.ChunkCount());
  for (size_t i = 0; i < scanned.ChunkCount(); ++i) {
    const avi::ChunkEntry& a = indexed.Chunk(i);
    const avi::ChunkEntry& b = scanned.Chunk(i);
    ASSERT_EQ(a.id, b.id) << i;
    ASSERT_EQ(a.offset, b.offset) << i;
    ASSERT_EQ(a.size, b.size) << i;
    ASSERT_EQ(a.keyFrame, b.keyFrame) << i;
    ASSERT_EQ(a.camera, b.camera) << i;
    ASSERT_EQ(a.time, b.time) << i;
  }
}

TEST_F(AviReaderTest, IncompleteLastChunkIsLeftOut) {
  const std::vector<uint8_t> whole = WithoutIndex(testsupport::ReadAll(two), 0);
  CountingSource full(whole);
  avi::AviReader a(full);
  ASSERT_TRUE(a.Open());
  CountingSource cut(WithoutIndex(testsupport::ReadAll(two), 3));
  avi::AviReader b(cut);
  ASSERT_TRUE(b.Open());
  EXPECT_EQ(b.ChunkCount(), a.ChunkCount() - 1);
  std::vector<uint8_t> data;
  for (const avi::ChunkEntry& c : b.Chunks()) ASSERT_TRUE(b.ReadChunk(c, data));
}

TEST_F(AviReaderTest, OpeningReadsHeadersAndIndexOnly) {
  // 200 chunks of 50 KB: opening must not read through them.
  simulator::AviLayout layout;
  layout.width = 160;
  layout.height = 90;
  simulator::AviWriter writer;
  ASSERT_TRUE(writer.Create(dir->Path() / "big.avi", layout));
  std::vector<uint8_t> frame(50000, 0x11);
  frame[3] = 1;
  frame[4] = 0x41;
  for (int i = 0; i < 200; ++i)
    ASSERT_TRUE(writer.AddChunk(layout.VideoChunkId(), frame.data(), static_cast<uint32_t>(frame.size()), false));
  ASSERT_TRUE(writer.Finish());
  CountingSource source(testsupport::ReadAll(dir->Path() / "big.avi"));
  avi::AviReader reader(source);
  ASSERT_TRUE(reader.Open());
  EXPECT_EQ(reader.ChunkCount(), 200u);
  EXPECT_LT(source.read, 200 * 1024) << "of " << source.Size();
}

TEST_F(AviReaderTest, HugeScaleInADamagedHeaderHoldsTimesAtTheLargestInsteadOfOverflowing) {
  // scale 0xFFFFFFFF over rate 1: 300 frames of 429,496 s each, and sound units of
  // as long, pass what 64 bits of 100 ns hold (an overflow, undefined behaviour).
  simulator::AviLayout layout;
  layout.width = 160;
  layout.height = 90;
  layout.audio = avi::AudioKind::Pcm;
  layout.audioSampleRate = 8000;
  layout.audioBytesPerSecond = 16000;
  simulator::AviWriter writer;
  ASSERT_TRUE(writer.Create(dir->Path() / "huge.avi", layout));
  std::vector<uint8_t> frame(16, 0x11);
  frame[3] = 1;
  frame[4] = 0x65;
  const std::vector<uint8_t> sound(4000, 0);
  for (int i = 0; i < 300; ++i) {
    ASSERT_TRUE(writer.AddChunk(layout.VideoChunkId(), frame.data(), static_cast<uint32_t>(frame.size()), true));
    ASSERT_TRUE(writer.AddChunk(layout.AudioChunkId(), sound.data(), static_cast<uint32_t>(sound.size()), true));
  }
  ASSERT_TRUE(writer.Finish());
  std::vector<uint8_t> bytes = testsupport::ReadAll(dir->Path() / "huge.avi");
  for (const char* type : {"vids", "auds"}) {
    const auto at = std::search(bytes.begin(), bytes.end(), type, type + 4) - bytes.begin();
    ASSERT_LT(static_cast<size_t>(at), bytes.size()) << type;
    avi::WriteLe32(&bytes[static_cast<size_t>(at) + 20], 0xFFFFFFFFu);  // scale
    avi::WriteLe32(&bytes[static_cast<size_t>(at) + 24], 1);            // rate
  }
  CountingSource source(bytes);
  avi::AviReader reader(source);
  ASSERT_TRUE(reader.Open());
  ASSERT_EQ(reader.VideoStream(), 0);
  EXPECT_EQ(reader.Streams()[0].scale, 0xFFFFFFFFu);
  EXPECT_EQ(reader.Streams()[0].rate, 1u);
  const int64_t frameTime = reader.FrameDuration();
  EXPECT_EQ(frameTime, int64_t{0xFFFFFFFF} * avi::kTimeUnitsPerSecond);
  EXPECT_EQ(reader.Duration(), INT64_MAX);
  int64_t lastVideo = -1, lastAudio = -1;
  for (const avi::ChunkEntry& c : reader.Chunks()) {
    int64_t& last = c.kind == avi::ChunkKind::Video ? lastVideo : lastAudio;
    EXPECT_GE(c.time, last) << "times never wrap around to negative";
    last = c.time;
  }
  EXPECT_EQ(lastVideo, INT64_MAX);
  EXPECT_EQ(lastAudio, INT64_MAX);
  EXPECT_EQ(reader.Chunk(2).time, frameTime) << "the second picture (after one sound chunk), well within range";
}

TEST_F(AviReaderTest, GarbageSizesStopTheScanWithWhatWasRead) {
  std::vector<uint8_t> f = WithoutIndex(testsupport::ReadAll(two), 0);
  const size_t headerEnd = 20 + ReadLe32(&f[16]);
  // Chunk 3 claims 2 GB.
  size_t pos = headerEnd + 12;
  for (int i = 0; i < 3; ++i) pos += 8 + ReadLe32(&f[pos + 4]) + (ReadLe32(&f[pos + 4]) & 1);
  avi::WriteLe32(&f[pos + 4], 0x7FFFFFF0);
  CountingSource source(f);
  avi::AviReader reader(source);
  ASSERT_TRUE(reader.Open());
  EXPECT_EQ(reader.ChunkCount(), 3u);
  EXPECT_EQ(reader.CameraCount(), 2);
  // An unknown id stops it too.
  avi::WriteLe32(&f[pos], avi::FourCc("zzzz"));
  CountingSource other(f);
  avi::AviReader again(other);
  ASSERT_TRUE(again.Open());
  EXPECT_EQ(again.ChunkCount(), 3u);
}

TEST_F(AviReaderTest, IndexEntriesPastTheEndAreDropped) {
  std::vector<uint8_t> f = testsupport::ReadAll(two);
  const auto index = fixtures::ReadIndex(f);
  const size_t headerEnd = 20 + ReadLe32(&f[16]);
  const size_t idx = headerEnd + 8 + ReadLe32(&f[headerEnd + 4]) + 8;
  avi::WriteLe32(&f[idx + 16 * 5 + 8], 0x7FFFFF00);   // entry 5's offset
  avi::WriteLe32(&f[idx + 16 * 6 + 12], 0x7FFFFF00);  // entry 6's size
  CountingSource source(f);
  avi::AviReader reader(source);
  ASSERT_TRUE(reader.Open());
  EXPECT_TRUE(reader.HasIndex());
  EXPECT_EQ(reader.ChunkCount(), index.size() - 2);
}

TEST_F(AviReaderTest, WhatIsNotARecordingDoesNotOpen) {
  for (const std::vector<uint8_t>& bytes :
       {std::vector<uint8_t>{}, std::vector<uint8_t>{'R', 'I', 'F', 'F'},
        std::vector<uint8_t>{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 0, 0, 0, 0},
        std::vector<uint8_t>(1000, 0x41)}) {
    CountingSource source(bytes);
    avi::AviReader reader(source);
    EXPECT_FALSE(reader.Open());
  }
  // A header list claiming more than the file holds.
  std::vector<uint8_t> f = testsupport::ReadAll(two);
  f.resize(400);
  avi::WriteLe32(&f[16], 0x10000000);
  CountingSource source(f);
  avi::AviReader reader(source);
  EXPECT_FALSE(reader.Open());
}

TEST_F(AviReaderTest, TelemetryComesInAscendingOrderThenEndsWith38) {
  FileByteSource file(two);
  avi::AviReader reader(file);
  ASSERT_TRUE(reader.Open());
  avi::AviTelemetrySource source(reader);
  char buffer[1024];
  int32_t last = -1;
  int records = 0, gps = 0;
  for (;;) {
    int32_t size = sizeof buffer, time = 0;
    const int r = source.ReadTelemetryRecord(buffer, &size, &time);
    if (r == TelemetryRecordSource::kEndOfRecords) break;
    ASSERT_EQ(r, TelemetryRecordSource::kRecordDelivered);
    EXPECT_GE(time, last);
    last = time;
    ++records;
    if (buffer[0] == 'G') {
      ++gps;
      EXPECT_EQ(std::string(buffer, 6), "GPRMC,");
    } else {
      EXPECT_EQ(buffer[0], 'M');
      EXPECT_EQ(size, 4);
    }
  }
  EXPECT_EQ(records, 33);
  EXPECT_EQ(gps, 3);
  int32_t size = sizeof buffer, time = 0;
  EXPECT_EQ(source.ReadTelemetryRecord(buffer, &size, &time), 38) << "and stays at the end";
  source.Rewind();
  size = 2;
  ASSERT_EQ(source.ReadTelemetryRecord(buffer, &size, &time), 0);
  EXPECT_EQ(size, 2) << "never more than the buffer holds";
}

}  // namespace
