// CPlayer: opening, closing, the conversions to milliseconds, the calls without a
// graph, and calls from another thread while an open runs.

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "GraphInspector.h"
#include "PlaybackTestSupport.h"
#include "platform/Registry.h"
#include "playback/AudioOutput.h"
#include "playback/CPlayer.h"
#include "playback/GstSupport.h"
#include "playback/StreamParseSource.h"
#include "sources/avi/FileByteSource.h"

using namespace playback;
using namespace playback_test;
using Clock = std::chrono::steady_clock;

namespace {

class Player : public ::testing::Test {
 protected:
  TestChannelWindow front{320, 180};
  TestChannelWindow rear{192, 108};
  CPlayer player;
};

// A recording that takes its time: every read waits a little, as a slow card reader
// or a busy disk would.
class SlowByteSource final : public ByteSource {
 public:
  explicit SlowByteSource(const std::filesystem::path& path) { file_.Open(path); }
  int64_t Size() const override { return file_.Size(); }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t count) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    return file_.ReadAt(offset, buffer, count);
  }

 private:
  FileByteSource file_;
};

}  // namespace

TEST_F(Player, ConstructionSetsTheSourceOptionAndNoGraph) {
  EXPECT_TRUE(player.sourceOption());
  EXPECT_FALSE(player.useBrightnessFilter());
  EXPECT_EQ(player.channelCount(), 0);
  EXPECT_EQ(player.Graph(), nullptr);
  EXPECT_EQ(player.state(), kStateEmpty);
}

TEST_F(Player, ConstructionWritesUsingDShowUnderTheMachineKey) {
  platform::Registry machine(platform::RegistryHive::kLocalMachine);
  EXPECT_EQ(machine.File().parent_path(), ScratchFolder() / "config");
  EXPECT_EQ(machine.GetDword("SOFTWARE\\Nevroc", "usingDShow"), std::optional<std::uint32_t>(1));
}

TEST_F(Player, AttachingWindowsMakesAnIdleGraphAndRecordsTheirSizes) {
  player.AttachWindows(&front, &rear);
  EXPECT_EQ(player.channelCount(), 2);
  ASSERT_NE(player.Graph(), nullptr);
  EXPECT_EQ(player.state(), kStateEmpty);
  EXPECT_TRUE(player.Graph()->ready());
  EXPECT_EQ(player.channelRect(0).width, 320);
  EXPECT_EQ(player.channelRect(1).height, 108);
  EXPECT_EQ(player.channelRect(2).width, 0);
  EXPECT_EQ(player.Graph()->Play(), kVfwEWrongState);
  EXPECT_FALSE(player.Play());
}

TEST_F(Player, WithoutAGraphTheCallsAnswerAsTheViewerExpects) {
  EXPECT_TRUE(player.Seek(1000));
  EXPECT_TRUE(player.SetVolume(50));
  EXPECT_FALSE(player.SetRate(1.5f));
  EXPECT_EQ(player.GetPosition(), 0u);
  EXPECT_EQ(player.GetDuration(), 0u);
  EXPECT_FALSE(player.Play());
  EXPECT_FALSE(player.SetBrightness(10));
  EXPECT_EQ(player.videoChannels(), 0);
  EXPECT_EQ(player.TelemetrySource(), nullptr);
  CapturedImage image;
  EXPECT_TRUE(player.GrabFrame(0, &image));
  EXPECT_EQ(image.width, 0);
  EXPECT_TRUE(player.Close());
}

TEST_F(Player, OpenNeedsAFirstWindowAndAPath) {
  EXPECT_FALSE(player.Open(Recording("two-pcm").string()));
  player.AttachWindows(&front, &rear);
  EXPECT_FALSE(player.Open(""));
  EXPECT_FALSE(player.Opening());
}

TEST_F(Player, OpenLeavesTheRecordingStoppedOnItsFirstPicture) {
  player.AttachWindows(&front, &rear);
  player.SetSourceOption(false);
  ASSERT_TRUE(player.Open(Recording("two-pcm").string()));
  const std::shared_ptr<CPlaybackGraph> graph = player.Graph();
  ASSERT_NE(graph, nullptr);
  EXPECT_EQ(player.state(), kStateStopped);
  EXPECT_EQ(player.videoChannels(), 2);
  EXPECT_EQ(graph->path(), Recording("two-pcm").string());
  EXPECT_GE(front.Frames(), 1);
  // Milliseconds are the graph's 100-ns units divided by 10000, remainder dropped.
  std::int64_t duration = 0;
  ASSERT_EQ(graph->GetDuration(&duration), kSOk);
  EXPECT_EQ(player.GetDuration(), static_cast<std::uint64_t>(duration / 10000));
  EXPECT_EQ(player.duration(), duration);
  EXPECT_TRUE(player.Seek(1234));
  // Until the seek's picture arrives the position is the target; after it, the
  // pipeline's own answer, which is the same.
  EXPECT_EQ(player.GetPosition(), 1234u);
  EXPECT_TRUE(player.WaitUntilSettled(std::chrono::seconds(5)));
  EXPECT_EQ(player.GetPosition(), 1234u);
  CapturedImage image;
  EXPECT_TRUE(player.GrabFrame(1, &image));
  EXPECT_EQ(image.width, 192);
}

TEST_F(Player, OpeningASecondFileTearsTheFirstDown) {
  player.AttachWindows(&front, &rear);
  ASSERT_TRUE(player.Open(Recording("four-aac").string()));
  ASSERT_TRUE(player.Play());
  const std::shared_ptr<CPlaybackGraph> first = player.Graph();
  ASSERT_TRUE(player.Open(Recording("one-aac").string()));
  EXPECT_NE(player.Graph(), first);
  // The first graph was torn down by the open, not merely forgotten.
  EXPECT_EQ(Elements(*first).pipeline(), nullptr);
  EXPECT_EQ(first->state(), kStateStopped);
  EXPECT_EQ(player.videoChannels(), 1);
  EXPECT_EQ(player.state(), kStateStopped);
  EXPECT_EQ(player.GetPosition(), 0u);
}

TEST_F(Player, AFileTheSourceRejectsFailsTheOpenAndLeavesNoGraph) {
  player.AttachWindows(&front, &rear);
  ASSERT_TRUE(player.Open(Recording("two-pcm").string()));
  const auto junk = ScratchFolder() / "rejected.avi";
  std::ofstream(junk) << "not a recording";
  EXPECT_FALSE(player.Open(junk.string()));
  EXPECT_EQ(player.Graph(), nullptr);
  EXPECT_EQ(player.channelRect(0).width, 0);
  EXPECT_EQ(player.GetDuration(), 0u);
  EXPECT_FALSE(player.Opening());
}

TEST_F(Player, AGraphThatCannotAddAConverterFailsTheOpen) {
  // Without the colour converter the build stops with a COM failure code, not the
  // engine's own: a failure all the same, and nothing half built is kept.
  EnsureGStreamer();
  GstRegistry* registry = gst_registry_get();
  GstPluginFeature* converter = gst_registry_lookup_feature(registry, "videoconvert");
  ASSERT_NE(converter, nullptr);
  gst_registry_remove_feature(registry, converter);
  player.AttachWindows(&front, &rear);
  const bool opened = player.Open(Recording("two-pcm").string());
  gst_registry_add_feature(registry, converter);
  gst_object_unref(converter);
  EXPECT_FALSE(opened);
  EXPECT_EQ(player.Graph(), nullptr);
  EXPECT_EQ(player.state(), kStateEmpty);
  EXPECT_FALSE(player.Opening());
  // With the converter back the same recording opens.
  EXPECT_TRUE(player.Open(Recording("two-pcm").string()));
  EXPECT_TRUE(Failed(kEngineFailure));
  EXPECT_TRUE(Failed(kEFail));
  EXPECT_FALSE(Failed(kSOk));
}

TEST_F(Player, CloseTearsTheGraphDownEvenWhileAnotherThreadHoldsIt) {
  player.AttachWindows(&front, &rear);
  ASSERT_TRUE(player.Open(Recording("two-pcm").string()));
  ASSERT_TRUE(player.Play());
  const std::shared_ptr<CPlaybackGraph> held = player.Graph();
  EXPECT_TRUE(player.Close());
  EXPECT_EQ(player.Graph(), nullptr);
  EXPECT_EQ(Elements(*held).pipeline(), nullptr);
  EXPECT_EQ(held->Play(), kEPointer);
}

TEST_F(Player, TelemetryOutlivesACloseOnAnotherThread) {
  player.AttachWindows(&front, &rear);
  ASSERT_TRUE(player.Open(Recording("two-pcm").string()));
  const std::shared_ptr<TelemetryRecordSource> records = player.TelemetrySource();
  ASSERT_NE(records, nullptr);
  player.Close();
  // The reader keeps its source: it reads on to the end instead of into freed memory.
  char buffer[1024];
  int count = 0;
  for (;;) {
    std::int32_t size = sizeof buffer, time = 0;
    const int result = records->ReadTelemetryRecord(buffer, &size, &time);
    if (result == 38) break;
    ASSERT_EQ(result, 0);
    ++count;
  }
  EXPECT_GT(count, 10);
}

TEST_F(Player, SliderCallsDuringASlowOpenReturnAtOnceAndReachTheNewGraph) {
  player.AttachWindows(&front, &rear);
  const auto file = Recording("long");
  SetCardByteSourceFactory([file](void*, std::int32_t, const std::string&) {
    return std::unique_ptr<ByteSource>(std::make_unique<SlowByteSource>(file));
  });
  int card = 0;  // any non-null handle: the factory above answers for it
  std::atomic<bool> opened{false};
  std::atomic<bool> done{false};
  std::thread worker([&] {
    opened = player.Open("REC_20240512_083015_2.avi", {&card, 7});
    done = true;
  });
  while (!player.Opening() && !done) std::this_thread::yield();

  // The window thread's calls while the open runs, as a user moving the speed and
  // brightness sliders and the volume would make them.
  Clock::duration longest{};
  int calls = 0;
  int duringOpen = 0;
  while (!done) {
    const auto start = Clock::now();
    const bool opening = player.Opening();
    player.SetRate(calls % 2 ? 2.0f : 1.5f);
    player.SetBrightness(calls % 2 ? 100 : -100);
    player.SetVolume(calls % 2 ? 39 : 49);
    player.GetPosition();
    player.state();
    longest = std::max(longest, Clock::now() - start);
    if (opening) ++duringOpen;
    ++calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  worker.join();
  SetCardByteSourceFactory(nullptr);
  ASSERT_TRUE(opened.load());
  EXPECT_GT(duringOpen, 5) << "the open was too quick to overlap the calls";
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(longest).count(), 50);
  // The last values asked for reached the new graph.
  const std::shared_ptr<CPlaybackGraph> graph = player.Graph();
  ASSERT_NE(graph, nullptr);
  const bool odd = (calls - 1) % 2 != 0;
  EXPECT_FLOAT_EQ(graph->rate(), odd ? 2.0f : 1.5f);
  EXPECT_EQ(graph->state(), kStateStopped);
  AudioControl* audio = AudioControlOf(Elements(*graph).audioRenderer());
  ASSERT_NE(audio, nullptr);
  EXPECT_EQ(audio->Volume(), odd ? -408 : -309);
}

TEST_F(Player, OpensOnAWorkerWhileTheWindowThreadPlaysWithTheSliders) {
  player.AttachWindows(&front, &rear);
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) {
      EXPECT_TRUE(player.Open(Recording(i % 2 ? "one-aac" : "two-pcm").string()));
      player.Play();
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
  EXPECT_EQ(player.videoChannels(), 2);
  EXPECT_EQ(player.state(), kStateRunning);
}
