#include <gtest/gtest.h>

#include "sources/avi/AviFormat.h"
#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "tools/simulator/AviWriter.h"

namespace {

using testsupport::ReadAll;

simulator::AviLayout Layout(avi::AudioKind audio) {
  simulator::AviLayout l;
  l.cameraCount = 2;
  l.framesPerSecond = 30;
  l.width = 1920;
  l.height = 1080;
  l.audio = audio;
  l.audioSampleRate = 22050;
  l.audioChannels = 1;
  l.audioBytesPerSecond = 8000;
  l.audioConfig = {0x13, 0x88};
  return l;
}

TEST(AviWriter, FirstStreamListIs124BytesSoTheSecondTypeSitsAt232) {
  for (const avi::AudioKind audio : {avi::AudioKind::None, avi::AudioKind::Aac, avi::AudioKind::Pcm}) {
    const std::vector<uint8_t> h = simulator::BuildAviHeader(Layout(audio), {});
    ASSERT_GT(h.size(), 240u);
    EXPECT_EQ(fixtures::FourCcString(avi::ReadLe32(&h[88])), "LIST");
    EXPECT_EQ(avi::ReadLe32(&h[92]), 116u);
    EXPECT_EQ(fixtures::FourCcString(avi::ReadLe32(&h[232])), audio == avi::AudioKind::None ? "txts" : "auds");
    EXPECT_EQ(avi::ReadLe32(&h[56]), audio == avi::AudioKind::None ? 2u : 3u);
    EXPECT_EQ(avi::ReadLe32(&h[28]), 56u);
    EXPECT_EQ(avi::ReadLe32(&h[132]), 60u) << "rate = cameras x fps";
    EXPECT_EQ(avi::ReadLe32(&h[128]), 1u);
    EXPECT_EQ(avi::ReadLe32(&h[16]) + 20, h.size()) << "the header list ends the header";
  }
}

TEST(AviWriter, CleanCloseWritesCountsAndAnIndexFromTheMoviCode) {
  testsupport::TempFolder dir;
  simulator::AviWriter w;
  const simulator::AviLayout layout = Layout(avi::AudioKind::None);
  ASSERT_TRUE(w.Create(dir / "a.avi", layout));
  const uint8_t key[6] = {0, 0, 0, 1, 0x67, 0};
  const uint8_t delta[5] = {0, 0, 0, 1, 0x41};
  const uint8_t text[7] = {10, 0, 0, 0, 'M', 1, 2};
  ASSERT_TRUE(w.AddChunk(layout.VideoChunkId(), key, 6, true));
  ASSERT_TRUE(w.AddChunk(layout.TelemetryChunkId(), text, 7, true));  // odd: padded
  ASSERT_TRUE(w.AddChunk(layout.VideoChunkId(), delta, 5, false));
  ASSERT_TRUE(w.Finish());
  const std::vector<uint8_t> f = ReadAll(dir / "a.avi");
  EXPECT_EQ(avi::ReadLe32(&f[4]), f.size() - 8);
  EXPECT_EQ(avi::ReadLe32(&f[48]), 2u);
  EXPECT_EQ(avi::ReadLe32(&f[140]), 2u);
  const std::vector<fixtures::IndexEntry> index = fixtures::ReadIndex(f);
  ASSERT_EQ(index.size(), 3u);
  EXPECT_EQ(index[0].offset, 4u);
  EXPECT_EQ(index[0].flags, 0x10u);
  EXPECT_EQ(index[1].offset, 4u + 8 + 6);
  EXPECT_EQ(fixtures::FourCcString(index[1].id), "01tx");
  EXPECT_EQ(index[2].offset, 4u + 8 + 6 + 8 + 8) << "the pad byte of the odd chunk counts";
  EXPECT_EQ(index[2].flags, 0u);
  const std::vector<fixtures::WalkedChunk> chunks = fixtures::WalkMovi(f);
  ASSERT_EQ(chunks.size(), 3u);
}

TEST(AviWriter, PowerCutLeavesZeroSizesAndNoIndex) {
  testsupport::TempFolder dir;
  simulator::AviWriter w;
  const simulator::AviLayout layout = Layout(avi::AudioKind::Aac);
  ASSERT_TRUE(w.Create(dir / "cut.avi", layout));
  const uint8_t key[6] = {0, 0, 0, 1, 0x67, 0};
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(w.AddChunk(layout.VideoChunkId(), key, 6, true));
  const int64_t full = w.BytesWritten();
  ASSERT_TRUE(w.FinishCutOff(full - 3));
  const std::vector<uint8_t> f = ReadAll(dir / "cut.avi");
  ASSERT_EQ(static_cast<int64_t>(f.size()), full - 3);
  EXPECT_EQ(avi::ReadLe32(&f[4]), 0u);
  EXPECT_EQ(avi::ReadLe32(&f[48]), 0u);
  EXPECT_EQ(avi::ReadLe32(&f[140]), 0u);
  const size_t movi = 20 + avi::ReadLe32(&f[16]);
  EXPECT_EQ(avi::ReadLe32(&f[movi + 4]), 0u);
}

}  // namespace
