#include <gtest/gtest.h>

#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"
#include "sources/avi/H264Bits.h"
#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "tools/simulator/Simulator.h"

namespace {

using fixtures::Record;
using fixtures::SmallOptions;

TEST(Simulator, FolderOutputIsNamedByTypeTimeAndChannelCount) {
  testsupport::TempFolder dir;
  simulator::RecordOptions o = SmallOptions(2, 1, avi::AudioKind::None);
  o.typeCode = "EVT";
  const std::filesystem::path written = Record(o, dir.Path());
  EXPECT_EQ(written.filename().string(), "EVT_20240512_083015_2.avi");
  EXPECT_TRUE(std::filesystem::exists(written));
}

TEST(Simulator, TwoCamerasInterleaveWithTheirOwnParameterSetIdsAndSizes) {
  testsupport::TempFolder dir;
  simulator::RecordOptions o = SmallOptions(2, 2, avi::AudioKind::Aac);
  o.sizes = {{192, 108}, {160, 90}};
  const std::filesystem::path f = Record(o, dir / "two.avi");
  FileByteSource source(f);
  avi::AviReader reader(source);
  ASSERT_TRUE(reader.Open());
  EXPECT_FALSE(reader.IsCutOff());
  EXPECT_TRUE(reader.HasIndex());
  ASSERT_EQ(reader.CameraCount(), 2);
  EXPECT_EQ(reader.Cameras()[0].width, 192);
  EXPECT_EQ(reader.Cameras()[0].height, 108);
  EXPECT_EQ(reader.Cameras()[1].width, 160);
  EXPECT_EQ(reader.Cameras()[1].height, 90);
  EXPECT_EQ(reader.Cameras()[0].frameCount, 60);
  EXPECT_EQ(reader.Cameras()[1].frameCount, 60);
  EXPECT_EQ(reader.TotalFrames(), 120u);
  // Time order: camera 1, camera 2 of the same moment, one after the other.
  std::vector<int> cameraOrder;
  for (const avi::ChunkEntry& c : reader.Chunks())
    if (c.kind == avi::ChunkKind::Video) cameraOrder.push_back(c.camera);
  ASSERT_EQ(cameraOrder.size(), 120u);
  for (size_t i = 0; i < cameraOrder.size(); ++i) EXPECT_EQ(cameraOrder[i], static_cast<int>(i % 2));
  EXPECT_EQ(reader.Audio().kind, avi::AudioKind::Aac);
  EXPECT_EQ(reader.Audio().formatTag, 0x00FF);
  EXPECT_EQ(reader.Audio().sampleRate, 22050u);
  EXPECT_GE(reader.Audio().config.size(), 2u);
  EXPECT_EQ(fixtures::FourCcString(reader.Streams()[2].type), "txts");
  // Each camera's renumbered stream decodes on its own, to the last frame.
  EXPECT_EQ(fixtures::DecodeCameraFrames(f, 0), 60);
  EXPECT_EQ(fixtures::DecodeCameraFrames(f, 1), 60);
}

TEST(Simulator, KeyFramesOpenWithSpsPpsAndComeEverySecond) {
  testsupport::TempFolder dir;
  const std::filesystem::path f = Record(SmallOptions(1, 3, avi::AudioKind::None), dir / "one.avi");
  FileByteSource source(f);
  avi::AviReader reader(source);
  ASSERT_TRUE(reader.Open());
  int keys = 0;
  std::vector<uint8_t> data;
  for (const avi::ChunkEntry& c : reader.Chunks()) {
    if (c.kind != avi::ChunkKind::Video) continue;
    ASSERT_TRUE(reader.ReadChunk(c, data));
    ASSERT_GE(data.size(), 5u);
    EXPECT_EQ(data[0], 0);
    EXPECT_EQ(data[3], 1);
    EXPECT_NE(data[4] & 0x1f, h264::kNalAud);
    if (c.keyFrame) {
      ++keys;
      const auto nals = h264::SplitAnnexB(data.data(), data.size());
      ASSERT_GE(nals.size(), 3u);
      EXPECT_EQ(nals[0].type, h264::kNalSps);
      EXPECT_EQ(nals[1].type, h264::kNalPps);
      EXPECT_EQ(nals[2].type, h264::kNalIdr);
    }
  }
  EXPECT_EQ(keys, 3);
  EXPECT_EQ(fixtures::DecodeFrames(f), 90);
}

TEST(Simulator, PcmSoundComesInTenthSecondBlocks) {
  testsupport::TempFolder dir;
  const std::filesystem::path f = Record(SmallOptions(1, 2, avi::AudioKind::Pcm), dir / "pcm.avi");
  FileByteSource source(f);
  avi::AviReader reader(source);
  ASSERT_TRUE(reader.Open());
  EXPECT_EQ(reader.Audio().kind, avi::AudioKind::Pcm);
  EXPECT_EQ(reader.Audio().bitsPerSample, 16);
  EXPECT_EQ(reader.CountChunks(avi::ChunkKind::Audio), 20u);
  EXPECT_EQ(reader.Streams()[1].length, 44100u);
  for (const avi::ChunkEntry& c : reader.Chunks()) {
    if (c.kind == avi::ChunkKind::Audio) {
      EXPECT_EQ(c.size, 4410u);
    }
  }
}

TEST(Simulator, CutAtLeavesExactlyThatManyBytesWithZeroCounts) {
  testsupport::TempFolder dir;
  simulator::RecordOptions o = SmallOptions(1, 2, avi::AudioKind::None);
  o.cutAt = 20001;
  const std::filesystem::path f = Record(o, dir / "cut.avi");
  const std::vector<uint8_t> bytes = testsupport::ReadAll(f);
  ASSERT_EQ(bytes.size(), 20001u);
  EXPECT_EQ(avi::ReadLe32(&bytes[4]), 0u);
  EXPECT_EQ(avi::ReadLe32(&bytes[48]), 0u);
  EXPECT_EQ(avi::ReadLe32(&bytes[140]), 0u);
  EXPECT_EQ(avi::ReadLe32(&bytes[20 + avi::ReadLe32(&bytes[16]) + 4]), 0u);
}

TEST(Simulator, BadOptionsFailWithAMessageAndLeaveNothing) {
  testsupport::TempFolder dir;
  simulator::RecordOptions o = SmallOptions(5, 1, avi::AudioKind::None);
  std::filesystem::path written;
  std::string error;
  EXPECT_FALSE(simulator::RecordRecording(o, dir / "x.avi", written, error));
  EXPECT_FALSE(error.empty());
  o = SmallOptions(1, 1, avi::AudioKind::None);
  o.sizes = {{161, 90}};
  EXPECT_FALSE(simulator::RecordRecording(o, dir / "x.avi", written, error));
  o = SmallOptions(1, 1, avi::AudioKind::None);
  EXPECT_FALSE(simulator::RecordRecording(o, dir / "no" / "such" / "x.avi", written, error));
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

}  // namespace

namespace {

TEST(Simulator, WithoutGpsOnlyTheGsensorReadingsAreRecorded) {
  testsupport::TempFolder dir;
  simulator::RecordOptions o = SmallOptions(1, 3, avi::AudioKind::None);
  o.gps = false;
  const std::filesystem::path f = Record(o, dir / "nogps.avi");
  FileByteSource source(f);
  avi::AviReader reader(source);
  ASSERT_TRUE(reader.Open());
  int gps = 0, gsensor = 0;
  for (const avi::ChunkEntry& c : reader.Chunks()) {
    if (c.kind != avi::ChunkKind::Text) continue;
    std::string record(c.size, '\0');
    ASSERT_EQ(source.ReadAt(c.offset, record.data(), c.size), static_cast<int64_t>(c.size));
    if (record.size() > 4 && record[4] == 'G') ++gps;
    if (record.size() > 4 && record[4] == 'M') ++gsensor;
  }
  EXPECT_EQ(gps, 0);
  EXPECT_EQ(gsensor, 30);
}

}  // namespace
