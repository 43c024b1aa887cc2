// Real recordings from the simulator, cut as a power loss would cut them at many
// byte offsets, rebuilt, checked chunk by chunk and decoded by GStreamer.

#include <gtest/gtest.h>

#include "sources/avi/AviFormat.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"
#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "tools/repair/RecordingRebuild.h"
#include "tools/repair/SilentTrack.h"

namespace {

using avi::ReadLe32;
namespace fs = std::filesystem;

// What the camera leaves at a power cut: sizes and counts at 0, no index, the file
// ending at `at`.
std::vector<uint8_t> CutLikePowerLoss(const std::vector<uint8_t>& whole, size_t at) {
  const size_t headerEnd = 20 + ReadLe32(&whole[16]);
  const size_t moviEnd = headerEnd + 8 + ReadLe32(&whole[headerEnd + 4]);
  std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(std::min(at, moviEnd)));
  if (cut.size() < headerEnd + 8) return cut;
  avi::WriteLe32(&cut[4], 0);
  avi::WriteLe32(&cut[48], 0);
  avi::WriteLe32(&cut[headerEnd + 4], 0);
  for (size_t pos = 32 + ReadLe32(&whole[28]); pos + 60 <= headerEnd; pos += 8 + ReadLe32(&whole[pos + 4]))
    avi::WriteLe32(&cut[pos + 20 + 32], 0);  // each stream's length
  return cut;
}

// Complete chunks as the repair counts them: a known id and all of its even-rounded data.
int CompleteVideoChunks(const std::vector<uint8_t>& f) {
  int video = 0;
  for (size_t pos = 20 + ReadLe32(&f[16]) + 12; pos + 8 <= f.size();) {
    const uint32_t id = ReadLe32(&f[pos]);
    const uint32_t size = ReadLe32(&f[pos + 4]);
    if (avi::KindOfChunkId(id) == avi::ChunkKind::Other) break;
    if (pos + 8 + size + (size & 1) > f.size()) break;
    video += avi::KindOfChunkId(id) == avi::ChunkKind::Video;
    pos += 8 + size + (size & 1);
  }
  return video;
}

void ExpectIndexMatchesChunks(const std::vector<uint8_t>& f) {
  const auto chunks = fixtures::WalkMovi(f);
  const auto index = fixtures::ReadIndex(f);
  ASSERT_EQ(index.size(), chunks.size());
  const int64_t moviCode = 20 + int64_t{ReadLe32(&f[16])} + 8;
  for (size_t i = 0; i < chunks.size(); ++i) {
    ASSERT_EQ(index[i].id, chunks[i].id) << i;
    ASSERT_EQ(int64_t{index[i].offset}, chunks[i].offset - moviCode) << i;
    ASSERT_EQ(index[i].size, chunks[i].size + (chunks[i].size & 1)) << i;
  }
}

std::vector<size_t> CutPoints(const std::vector<uint8_t>& whole, int count) {
  const size_t headerEnd = 20 + ReadLe32(&whole[16]);
  const size_t moviBegin = headerEnd + 12;
  const size_t moviEnd = headerEnd + 8 + ReadLe32(&whole[headerEnd + 4]);
  std::vector<size_t> points{moviBegin + 3, moviEnd};
  for (int i = 1; i <= count; ++i)
    points.push_back(moviBegin + (moviEnd - moviBegin) * static_cast<size_t>(i) / (count + 1) + (i * 7) % 5);
  return points;
}

class RoundTrip : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = new testsupport::TempFolder;
    silent = fixtures::Record(fixtures::SmallOptions(1, 3, avi::AudioKind::None), dir->Path() / "silent.avi");
    aac = fixtures::Record(fixtures::SmallOptions(1, 2, avi::AudioKind::Aac), dir->Path() / "aac.avi");
    two = fixtures::Record(fixtures::SmallOptions(2, 2, avi::AudioKind::Pcm), dir->Path() / "two.avi");
  }
  static void TearDownTestSuite() {
    delete dir;
    dir = nullptr;
  }

  // Rebuilds the cut recording; returns the output's bytes.
  static std::vector<uint8_t> Rebuild(const std::vector<uint8_t>& cut, const std::string& name, fs::path& output,
                                      repair::PrepareResult expected = repair::PrepareResult::Rebuilt) {
    const fs::path in = dir->Path() / name;
    testsupport::WriteAll(in, cut);
    FileByteSource source(in);
    const repair::PrepareOutcome r = repair::PrepareRecording(source, name, dir->Path() / "temp");
    EXPECT_EQ(r.result, expected) << name;
    output = r.output;
    return testsupport::ReadAll(r.output);
  }

  static testsupport::TempFolder* dir;
  static fs::path silent, aac, two;
};

testsupport::TempFolder* RoundTrip::dir = nullptr;
fs::path RoundTrip::silent, RoundTrip::aac, RoundTrip::two;

TEST_F(RoundTrip, CutRecordingsWithoutSoundRebuildWithTheirCompleteFramesAndDecode) {
  const std::vector<uint8_t> whole = testsupport::ReadAll(silent);
  for (const size_t at : CutPoints(whole, 10)) {
    SCOPED_TRACE("cut at " + std::to_string(at));
    const std::vector<uint8_t> cut = CutLikePowerLoss(whole, at);
    const int frames = CompleteVideoChunks(cut);
    fs::path out;
    if (frames == 0) {
      // Not one complete chunk: the output stays empty.
      EXPECT_TRUE(Rebuild(cut, "REC_none_1.avi", out, repair::PrepareResult::RebuildFailed).empty());
      continue;
    }
    const std::vector<uint8_t> f = Rebuild(cut, "REC_" + std::to_string(at) + "_1.avi", out);
    ASSERT_GE(f.size(), 240u);
    EXPECT_EQ(ReadLe32(&f[48]), static_cast<uint32_t>(frames));
    EXPECT_EQ(ReadLe32(&f[140]), static_cast<uint32_t>(frames));
    EXPECT_EQ(ReadLe32(&f[4]), f.size() - 8);
    ExpectIndexMatchesChunks(f);
    const repair::SilentTrackValues v = repair::ComputeSilentTrack(static_cast<uint32_t>(frames), 1, 30);
    int blocks = 0;
    for (const auto& c : fixtures::WalkMovi(f)) blocks += c.id == avi::FourCc("01wb");
    EXPECT_EQ(blocks, v.blocks);
    EXPECT_EQ(fixtures::DecodeFrames(out), frames);
  }
}

TEST_F(RoundTrip, CutRecordingsWithSoundKeepSoundAndTelemetry) {
  const std::vector<uint8_t> whole = testsupport::ReadAll(aac);
  for (const size_t at : CutPoints(whole, 6)) {
    SCOPED_TRACE("cut at " + std::to_string(at));
    const std::vector<uint8_t> cut = CutLikePowerLoss(whole, at);
    const int frames = CompleteVideoChunks(cut);
    if (frames == 0) continue;
    fs::path out;
    const std::vector<uint8_t> f = Rebuild(cut, "EVT_" + std::to_string(at) + "_1.avi", out);
    EXPECT_EQ(ReadLe32(&f[48]), static_cast<uint32_t>(frames));
    ExpectIndexMatchesChunks(f);
    FileByteSource source(out);
    avi::AviReader reader(source);
    ASSERT_TRUE(reader.Open());
    EXPECT_TRUE(reader.HasIndex());
    EXPECT_EQ(reader.Audio().kind, avi::AudioKind::Aac);
    EXPECT_EQ(reader.TelemetryStream(), 2);
    EXPECT_GT(reader.CountChunks(avi::ChunkKind::Text), 0u);
    EXPECT_EQ(fixtures::DecodeFrames(out), frames);
  }
}

TEST_F(RoundTrip, TwoCameraRecordingsKeepBothCameras) {
  const std::vector<uint8_t> whole = testsupport::ReadAll(two);
  for (const size_t at : CutPoints(whole, 4)) {
    SCOPED_TRACE("cut at " + std::to_string(at));
    const std::vector<uint8_t> cut = CutLikePowerLoss(whole, at);
    const int frames = CompleteVideoChunks(cut);
    if (frames < 2) continue;
    fs::path out;
    const std::vector<uint8_t> f = Rebuild(cut, "REC_" + std::to_string(at) + "_2.avi", out);
    EXPECT_EQ(ReadLe32(&f[48]), static_cast<uint32_t>(frames));
    ExpectIndexMatchesChunks(f);
    FileByteSource source(out);
    avi::AviReader reader(source);
    ASSERT_TRUE(reader.Open());
    ASSERT_EQ(reader.CameraCount(), 2);
    EXPECT_EQ(reader.Cameras()[0].frameCount + reader.Cameras()[1].frameCount, frames);
    EXPECT_EQ(reader.Cameras()[0].frameCount - reader.Cameras()[1].frameCount, frames % 2);
    for (const avi::CameraInfo& camera : reader.Cameras())
      EXPECT_EQ(fixtures::DecodeCameraFrames(out, camera.id), camera.frameCount) << "camera " << camera.id;
  }
}

TEST_F(RoundTrip, IntactRecordingWithoutSoundGetsTruncTenthsOfSilence) {
  fs::path out;
  const std::vector<uint8_t> whole = testsupport::ReadAll(silent);
  const std::vector<uint8_t> f = Rebuild(whole, "REC_intact_1.avi", out);
  EXPECT_EQ(out.filename().string(), "REC_intact_1.avi_AddAudio.avi");
  int blocks = 0;
  for (const auto& c : fixtures::WalkMovi(f)) blocks += c.id == avi::FourCc("01wb");
  EXPECT_EQ(blocks, 30) << "3 s: trunc(3 x 10)";
  EXPECT_EQ(ReadLe32(&f[4]), ReadLe32(&whole[4]) + 30 * 4434 + 100);
  ExpectIndexMatchesChunks(f);
  EXPECT_EQ(fixtures::DecodeFrames(out), 90);
}

}  // namespace
