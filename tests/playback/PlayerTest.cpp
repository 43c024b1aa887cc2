// CPlayer: opening, closing, the conversions to milliseconds and the calls without
// a graph.

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "PlaybackTestSupport.h"
#include "platform/Registry.h"
#include "playback/CPlayer.h"

using namespace playback;
using namespace playback_test;

namespace {

class Player : public ::testing::Test {
 protected:
  TestChannelWindow front{320, 180};
  TestChannelWindow rear{192, 108};
  CPlayer player;
};

}  // namespace

TEST_F(Player, ConstructionSetsTheSourceOptionAndNoGraph) {
  EXPECT_TRUE(player.sourceOption);
  EXPECT_FALSE(player.useBrightnessFilter);
  EXPECT_EQ(player.channelCount, 0);
  EXPECT_EQ(player.graph, nullptr);
}

TEST_F(Player, ConstructionWritesUsingDShowUnderTheMachineKey) {
  platform::Registry machine(platform::RegistryHive::kLocalMachine);
  EXPECT_EQ(machine.File().parent_path(), ScratchFolder() / "config");
  EXPECT_EQ(machine.GetDword("SOFTWARE\\Nevroc", "usingDShow"), std::optional<std::uint32_t>(1));
}

TEST_F(Player, AttachingWindowsMakesAnIdleGraphAndRecordsTheirSizes) {
  player.AttachWindows(&front, &rear);
  EXPECT_EQ(player.channelCount, 2);
  ASSERT_NE(player.graph, nullptr);
  EXPECT_EQ(player.graph->state.load(), kStateEmpty);
  EXPECT_EQ(player.graph->ready.load(), 1);
  EXPECT_EQ(player.channelRect[0].width, 320);
  EXPECT_EQ(player.channelRect[1].height, 108);
  EXPECT_EQ(player.channelRect[2].width, 0);
  EXPECT_EQ(player.graph->Play(), kVfwEWrongState);
}

TEST_F(Player, WithoutAGraphTheCallsAnswerAsTheViewerExpects) {
  EXPECT_TRUE(player.Seek(1000));
  EXPECT_TRUE(player.SetVolume(50));
  EXPECT_FALSE(player.SetRate(1.5f));
  EXPECT_EQ(player.GetPosition(), 0u);
  EXPECT_EQ(player.GetDuration(), 0u);
  CapturedImage image;
  EXPECT_TRUE(player.GrabFrame(0, &image));
  EXPECT_EQ(image.width, 0);
  EXPECT_TRUE(player.Close());
}

TEST_F(Player, OpenNeedsAFirstWindowAndAPath) {
  EXPECT_FALSE(player.Open(Recording("two-pcm").string(), nullptr, -1));
  player.AttachWindows(&front, &rear);
  EXPECT_FALSE(player.Open("", nullptr, -1));
}

TEST_F(Player, OpenLeavesTheRecordingStoppedOnItsFirstPicture) {
  player.AttachWindows(&front, &rear);
  player.sourceOption = false;
  ASSERT_TRUE(player.Open(Recording("two-pcm").string(), nullptr, -1));
  ASSERT_NE(player.graph, nullptr);
  EXPECT_EQ(player.graph->state.load(), kStateStopped);
  EXPECT_EQ(player.graph->path, Recording("two-pcm").string());
  EXPECT_GE(front.Frames(), 1);
  // Milliseconds are the graph's 100-ns units divided by 10000, remainder dropped.
  std::int64_t duration = 0;
  ASSERT_EQ(player.graph->GetDuration(&duration), kSOk);
  EXPECT_EQ(player.GetDuration(), static_cast<std::uint64_t>(duration / 10000));
  EXPECT_TRUE(player.Seek(1234));
  EXPECT_EQ(player.GetPosition(), 1234u);
  CapturedImage image;
  EXPECT_TRUE(player.GrabFrame(1, &image));
  EXPECT_EQ(image.width, 192);
}

TEST_F(Player, OpeningASecondFileTearsTheFirstDown) {
  player.AttachWindows(&front, &rear);
  ASSERT_TRUE(player.Open(Recording("four-aac").string(), nullptr, -1));
  ASSERT_EQ(player.graph->Play(), kSOk);
  const CPlaybackGraph* first = player.graph.get();
  ASSERT_TRUE(player.Open(Recording("one-aac").string(), nullptr, -1));
  EXPECT_NE(player.graph.get(), first);
  EXPECT_EQ(player.graph->videoChannels.load(), 1);
  EXPECT_EQ(player.graph->state.load(), kStateStopped);
  EXPECT_EQ(player.GetPosition(), 0u);
}

TEST_F(Player, AFileTheSourceRejectsFailsTheOpenAndLeavesNoGraph) {
  player.AttachWindows(&front, &rear);
  ASSERT_TRUE(player.Open(Recording("two-pcm").string(), nullptr, -1));
  const auto junk = ScratchFolder() / "rejected.avi";
  std::ofstream(junk) << "not a recording";
  EXPECT_FALSE(player.Open(junk.string(), nullptr, -1));
  EXPECT_EQ(player.graph, nullptr);
  EXPECT_EQ(player.channelRect[0].width, 0);
  EXPECT_EQ(player.GetDuration(), 0u);
}

TEST_F(Player, CloseDestroysTheGraph) {
  player.AttachWindows(&front, &rear);
  ASSERT_TRUE(player.Open(Recording("two-pcm").string(), nullptr, -1));
  EXPECT_TRUE(player.Close());
  EXPECT_EQ(player.graph, nullptr);
}

TEST_F(Player, SliderCallsDuringAnOpenOnAnotherThreadWaitInsteadOfRacing) {
  player.AttachWindows(&front, &rear);
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) {
      EXPECT_TRUE(player.Open(Recording(i % 2 ? "one-aac" : "two-pcm").string(), nullptr, -1));
      if (player.graph) player.graph->Play();
    }
    done = true;
  });
  int calls = 0;
  while (!done) {
    player.SetRate(calls % 2 ? 2.0f : 1.0f);
    player.GetPosition();
    player.SetVolume(calls % 100);
    ++calls;
  }
  worker.join();
  EXPECT_GT(calls, 0);
  ASSERT_NE(player.graph, nullptr);
  EXPECT_EQ(player.graph->videoChannels.load(), 2);
  EXPECT_EQ(player.graph->state.load(), kStateRunning);
}
