#include <gtest/gtest.h>

#include "sources/avi/AviFormat.h"
#include "tools/repair/SilentTrack.h"

namespace {

using avi::ReadLe16;
using avi::ReadLe32;

TEST(SilentTrack, SixtySecondsAtThirtyFramesGiveD333AndSixHundredBlocks) {
  const repair::SilentTrackValues v = repair::ComputeSilentTrack(1800, 1, 30);
  EXPECT_EQ(v.seconds, 60.0);
  EXPECT_EQ(v.frameTime, 333);
  EXPECT_EQ(v.blocks, 600);
  EXPECT_EQ(v.length, 1323000);
}

TEST(SilentTrack, TwoCamerasCountBothInTheRate) {
  // 2 cameras at 30 fps: rate 60 chunks per second; 61 chunks are 1.0166 s.
  const repair::SilentTrackValues v = repair::ComputeSilentTrack(61, 1, 60);
  EXPECT_EQ(v.blocks, 10);
  EXPECT_EQ(v.frameTime, 166);
}

TEST(SilentTrack, NoFramesOrNoRateGiveNoTrackInsteadOfADivisionByZero) {
  EXPECT_EQ(repair::ComputeSilentTrack(0, 1, 30).blocks, 0);
  EXPECT_EQ(repair::ComputeSilentTrack(0, 1, 30).frameTime, 0);
  EXPECT_EQ(repair::ComputeSilentTrack(100, 1, 0).blocks, 0);
}

TEST(SilentTrack, HugeScaleOfADamagedHeaderGivesACountedTrackNotAnOverflow) {
  // 0xFFFFFFFF frames of 0xFFFFFFFF s: 1.8e20 blocks would not fit an int64.
  const repair::SilentTrackValues v = repair::ComputeSilentTrack(0xFFFFFFFFu, 0xFFFFFFFFu, 1);
  EXPECT_EQ(v.blocks, int64_t{1} << 40);
  EXPECT_EQ(v.length, (int64_t{1} << 40) * 2205);
  EXPECT_EQ(v.frameTime, int64_t{0xFFFFFFFF} * 10000);
  EXPECT_GT(v.blocks * 4434, int64_t{0xFFFFFFFF}) << "the rebuild refuses it as too large";
}

TEST(SilentTrack, StreamListBytesAreTheFixedHundred) {
  const std::vector<uint8_t> b = repair::SilentStreamList(1323000);
  ASSERT_EQ(b.size(), 100u);
  EXPECT_EQ(ReadLe32(&b[0]), avi::kList);
  EXPECT_EQ(ReadLe32(&b[4]), 92u);
  EXPECT_EQ(ReadLe32(&b[8]), avi::kStrl);
  EXPECT_EQ(ReadLe32(&b[12]), avi::kStrh);
  EXPECT_EQ(ReadLe32(&b[16]), 56u);
  EXPECT_EQ(ReadLe32(&b[20]), avi::kAuds);
  for (size_t off = 24; off < 40; off += 4) EXPECT_EQ(ReadLe32(&b[off]), 0u) << off;
  EXPECT_EQ(ReadLe32(&b[40]), 2u);        // scale
  EXPECT_EQ(ReadLe32(&b[44]), 44100u);    // rate
  EXPECT_EQ(ReadLe32(&b[48]), 0u);        // start
  EXPECT_EQ(ReadLe32(&b[52]), 1323000u);  // length
  EXPECT_EQ(ReadLe32(&b[56]), 4410u);     // suggested buffer
  EXPECT_EQ(ReadLe32(&b[60]), 0u);        // quality
  EXPECT_EQ(ReadLe32(&b[64]), 2u);        // sample size
  EXPECT_EQ(ReadLe32(&b[68]), 0u);        // frame rectangle
  EXPECT_EQ(ReadLe32(&b[72]), 0u);
  EXPECT_EQ(ReadLe32(&b[76]), avi::kStrf);
  EXPECT_EQ(ReadLe32(&b[80]), 16u);
  EXPECT_EQ(ReadLe16(&b[84]), 1);
  EXPECT_EQ(ReadLe16(&b[86]), 1);
  EXPECT_EQ(ReadLe32(&b[88]), 22050u);
  EXPECT_EQ(ReadLe32(&b[92]), 44100u);
  EXPECT_EQ(ReadLe16(&b[96]), 2);
  EXPECT_EQ(ReadLe16(&b[98]), 16);
}

TEST(SilentTrack, ClockStopsAtKBlocksEvenWhenItRunsAhead) {
  repair::SilentTrackValues v;
  v.frameTime = 2500;  // 2.5 blocks per frame: more is due than K allows
  v.blocks = 3;
  repair::AudioClock clock(v);
  for (int frame = 0; frame < 3; ++frame) {
    clock.AddVideoFrame();
    EXPECT_TRUE(clock.TakeDueBlock()) << frame;
  }
  clock.AddVideoFrame();
  EXPECT_FALSE(clock.TakeDueBlock()) << "K reached";
  EXPECT_EQ(clock.Missing(), 0);
}

TEST(SilentTrack, ClockWaitsForATenthOfASecond) {
  repair::SilentTrackValues v;
  v.frameTime = 333;
  v.blocks = 10;
  repair::AudioClock clock(v);
  for (int frame = 1; frame <= 3; ++frame) {
    clock.AddVideoFrame();
    EXPECT_FALSE(clock.TakeDueBlock()) << frame;
  }
  clock.AddVideoFrame();
  EXPECT_TRUE(clock.TakeDueBlock()) << "frame 4: 1332";
  EXPECT_EQ(clock.Missing(), 9);
}

}  // namespace
