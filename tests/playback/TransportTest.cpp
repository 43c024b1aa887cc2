// The transport: the state table, rates, the end of a recording, seeking, volume,
// brightness and the rear mirror, on real recordings through real pipelines.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <map>
#include <thread>
#include <vector>

#include "GraphInspector.h"
#include "PlaybackTestSupport.h"
#include "playback/AudioOutput.h"
#include "playback/CPlaybackGraph.h"
#include "playback/CPlayer.h"
#include "playback/ChannelSink.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"

using namespace playback;
using namespace playback_test;

namespace {

constexpr std::int64_t kFrame = 666667;  // one picture at 15 fps, 100-ns units

class Transport : public ::testing::Test {
 protected:
  void Open(const char* kind) {
    graph = std::make_unique<CPlaybackGraph>(2, &front, &rear, nullptr, nullptr);
    graph->Reset(false, false);
    ASSERT_EQ(graph->Build(Recording(kind).string()), kSOk);
    ASSERT_EQ(graph->state(), kStateStopped);
  }
  std::int64_t Position() {
    std::int64_t p = -1;
    EXPECT_EQ(graph->GetPosition(&p), kSOk);
    return p;
  }
  std::int64_t Duration() {
    std::int64_t d = -1;
    EXPECT_EQ(graph->GetDuration(&d), kSOk);
    return d;
  }
  // A seek and its picture: the graph returns from the seek at once and shows the
  // picture for it a moment later.
  bool SeekAndSettle(std::int64_t target) {
    return graph->SetPosition(target) == kSOk && graph->WaitUntilSettled(std::chrono::seconds(5));
  }
  // Waits for the end of the data; false after `ms` milliseconds.
  bool WaitForEnd(int ms) {
    for (int waited = 0; waited < ms; waited += 20) {
      if (Position() == Duration()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  TestChannelWindow front{320, 180};
  TestChannelWindow rear{192, 108};
  std::unique_ptr<CPlaybackGraph> graph;
};

}  // namespace

TEST(TransportStates, AGraphNotSetUpAnswersMinusOneToEverything) {
  CPlaybackGraph graph(2, nullptr, nullptr, nullptr, nullptr);
  std::int64_t t = 0;
  EXPECT_EQ(graph.Play(), kNotReady);
  EXPECT_EQ(graph.Pause(), kNotReady);
  EXPECT_EQ(graph.Stop(), kNotReady);
  EXPECT_EQ(graph.SetPosition(0), kNotReady);
  EXPECT_EQ(graph.GetPosition(&t), kNotReady);
  EXPECT_EQ(graph.GetDuration(&t), kNotReady);
}

TEST(TransportStates, AnEmptyGraphRefusesPlayAndStopAndIgnoresPause) {
  CPlaybackGraph graph(2, nullptr, nullptr, nullptr, nullptr);
  graph.Reset(false, false);
  EXPECT_EQ(graph.state(), kStateEmpty);
  EXPECT_EQ(graph.Play(), kVfwEWrongState);
  EXPECT_EQ(graph.Pause(), kSOk);
  EXPECT_EQ(graph.Stop(), kVfwEWrongState);
  EXPECT_EQ(graph.state(), kStateEmpty);
}

TEST_F(Transport, TheStateTableFromStoppedThroughRunningAndPaused) {
  Open("two-pcm");
  // Stopped: pause has no effect, stop is refused, play runs.
  EXPECT_EQ(graph->Pause(), kSOk);
  EXPECT_EQ(graph->state(), kStateStopped);
  EXPECT_EQ(graph->Stop(), kVfwEWrongState);
  EXPECT_EQ(graph->state(), kStateStopped);
  EXPECT_EQ(graph->Play(), kSOk);
  EXPECT_EQ(graph->state(), kStateRunning);
  // Running: play is refused, pause pauses.
  EXPECT_EQ(graph->Play(), kVfwEWrongState);
  EXPECT_EQ(graph->state(), kStateRunning);
  EXPECT_EQ(graph->Pause(), kSOk);
  EXPECT_EQ(graph->state(), kStatePaused);
  // Paused: pause has no effect, play runs, stop stops.
  EXPECT_EQ(graph->Pause(), kSOk);
  EXPECT_EQ(graph->state(), kStatePaused);
  EXPECT_EQ(graph->Stop(), kSOk);
  EXPECT_EQ(graph->state(), kStateStopped);
  EXPECT_EQ(graph->Play(), kSOk);
  EXPECT_EQ(graph->Stop(), kSOk);
  EXPECT_EQ(graph->state(), kStateStopped);
}

TEST_F(Transport, PausedTheClockStandsStill) {
  Open("long");
  ASSERT_EQ(graph->Play(), kSOk);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  ASSERT_EQ(graph->Pause(), kSOk);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const std::int64_t paused = Position();
  EXPECT_GT(paused, 2 * kFrame);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(Position(), paused);
}

TEST_F(Transport, RatesAreClampedToHalfAndDoubleAndOneIsKept) {
  Open("long");
  graph->ChangeRate(3.0f);
  ASSERT_EQ(graph->Play(), kSOk);
  EXPECT_EQ(graph->rate(), 2.0f);
  EXPECT_EQ(graph->AppliedRate(), 2.0);
  graph->Pause();
  graph->ChangeRate(0.1f);
  ASSERT_EQ(graph->Play(), kSOk);
  EXPECT_EQ(graph->rate(), 0.5f);
  EXPECT_EQ(graph->AppliedRate(), 0.5);
  graph->Pause();
  graph->ChangeRate(1.0f);
  ASSERT_EQ(graph->Play(), kSOk);
  EXPECT_EQ(graph->rate(), 1.0f);
  EXPECT_EQ(graph->AppliedRate(), 1.0);
  // The window's key rates beyond that range play as they are.
  for (float rate : {0.125f, 0.25f, 4.0f, 8.0f}) {
    graph->Pause();
    graph->ChangeRate(rate);
    ASSERT_EQ(graph->Play(), kSOk);
    EXPECT_EQ(graph->rate(), rate);
    EXPECT_EQ(graph->AppliedRate(), static_cast<double>(rate));
  }
}

TEST_F(Transport, DoubleRatePlaysTwiceAsFast) {
  Open("long");
  graph->ChangeRate(2.0f);
  ASSERT_EQ(graph->Play(), kSOk);
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  const std::int64_t position = Position();
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // Two seconds of recording per second, give or take start-up.
  EXPECT_GT(position, static_cast<std::int64_t>((elapsed * 2 - 0.4) * 1e7));
  EXPECT_LT(position, static_cast<std::int64_t>((elapsed * 2 + 0.2) * 1e7));
}

TEST_F(Transport, ARateSetWhilePausedWaitsForTheNextPlay) {
  CPlayer player;
  player.AttachWindows(&front, &rear);
  ASSERT_TRUE(player.Open(Recording("long").string()));
  const std::shared_ptr<CPlaybackGraph> opened = player.Graph();
  ASSERT_TRUE(player.Play());
  ASSERT_TRUE(player.Pause());
  EXPECT_TRUE(player.SetRate(2.0f));
  EXPECT_EQ(player.state(), kStatePaused);
  EXPECT_EQ(opened->AppliedRate(), 1.0);
  ASSERT_TRUE(player.Play());
  EXPECT_EQ(opened->AppliedRate(), 2.0);
  // While running, a new rate applies at once and it keeps running.
  EXPECT_TRUE(player.SetRate(0.5f));
  EXPECT_EQ(player.state(), kStateRunning);
  EXPECT_EQ(opened->AppliedRate(), 0.5);
}

TEST_F(Transport, TheEndLeavesTheGraphRunningAtTheEndPosition) {
  Open("two-pcm");
  ASSERT_TRUE(SeekAndSettle(Duration() - 4 * kFrame));
  ASSERT_EQ(graph->Play(), kSOk);
  ASSERT_TRUE(WaitForEnd(3000));
  EXPECT_EQ(graph->state(), kStateRunning);
  EXPECT_EQ(Position(), Duration());
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(Position(), Duration());
}

TEST_F(Transport, PlayAfterTheEndStartsAgainAtZero) {
  Open("two-pcm");
  ASSERT_TRUE(SeekAndSettle(Duration() - 3 * kFrame));
  ASSERT_EQ(graph->Play(), kSOk);
  ASSERT_TRUE(WaitForEnd(3000));
  ASSERT_EQ(graph->Pause(), kSOk);
  ASSERT_EQ(graph->Play(), kSOk);
  const std::int64_t restarted = Position();
  EXPECT_LT(restarted, 3 * kFrame);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_GT(Position(), restarted);
  EXPECT_LT(Position(), Duration());
}

TEST_F(Transport, SeekingLandsWithinOneFrameOfTheTargetAndKeepsTheState) {
  Open("long");
  for (std::int64_t target : {std::int64_t{34567890}, std::int64_t{12345678}, std::int64_t{50000000}}) {
    ASSERT_TRUE(SeekAndSettle(target));
    EXPECT_EQ(graph->state(), kStateStopped);
    EXPECT_LE(std::llabs(Position() - target), kFrame) << target;
    // The picture shown is the one that covers the target.
    EXPECT_LE(std::llabs(front.Last().timestamp - target), kFrame) << target;
    EXPECT_LE(std::llabs(rear.Last().timestamp - target), kFrame) << target;
  }
  ASSERT_EQ(graph->Play(), kSOk);
  ASSERT_TRUE(SeekAndSettle(20000000));
  EXPECT_EQ(graph->state(), kStateRunning);
  EXPECT_LE(std::llabs(Position() - 20000000), 2 * kFrame);
}

TEST_F(Transport, VolumeZeroIsSilenceAndNinetyNineIsMinusFour) {
  CPlayer player;
  player.AttachWindows(&front, &rear);
  ASSERT_TRUE(player.Open(Recording("two-aac").string()));
  AudioControl* audio = AudioControlOf(Elements(*player.Graph()).audioRenderer());
  ASSERT_NE(audio, nullptr);
  EXPECT_TRUE(player.SetVolume(0));
  EXPECT_EQ(audio->Volume(), -10000);
  EXPECT_TRUE(player.SetVolume(99));
  EXPECT_EQ(audio->Volume(), -4);
  EXPECT_TRUE(player.SetVolume(49));
  EXPECT_EQ(audio->Volume(), -309);
}

TEST_F(Transport, PlayCentresTheBalance) {
  Open("two-aac");
  AudioControl* audio = AudioControlOf(Elements(*graph).audioRenderer());
  ASSERT_NE(audio, nullptr);
  ASSERT_EQ(audio->PutBalance(-5000), kSOk);
  ASSERT_EQ(graph->Play(), kSOk);
  EXPECT_EQ(audio->Balance(), 0);
}

TEST_F(Transport, BrightnessVisiblyChangesTheGrabbedPicture) {
  Open("long");
  ASSERT_TRUE(SeekAndSettle(20000000));
  CapturedImage before, brighter, darker;
  ASSERT_TRUE(graph->GetCurrentImage(0, &before));
  ASSERT_EQ(graph->SetBrightness(255), kSOk);
  ASSERT_TRUE(SeekAndSettle(20000000));
  ASSERT_TRUE(graph->GetCurrentImage(0, &brighter));
  ASSERT_EQ(graph->SetBrightness(-255), kSOk);
  ASSERT_TRUE(SeekAndSettle(20000000));
  ASSERT_TRUE(graph->GetCurrentImage(0, &darker));
  const double base = MeanOf(before.pixels.data(), 320, 320 * 4, 0, 0, 320, 180, 1);
  const double up = MeanOf(brighter.pixels.data(), 320, 320 * 4, 0, 0, 320, 180, 1);
  const double down = MeanOf(darker.pixels.data(), 320, 320 * 4, 0, 0, 320, 180, 1);
  EXPECT_GT(up, base + 60);
  EXPECT_LT(down, base - 40);
  // Both channels take the offset.
  CapturedImage rearDark;
  ASSERT_TRUE(graph->GetCurrentImage(1, &rearDark));
  EXPECT_LT(MeanOf(rearDark.pixels.data(), 192, 192 * 4, 0, 0, 192, 108, 1), 30);
  // Back to neutral gives the original picture again.
  ASSERT_EQ(graph->SetBrightness(0), kSOk);
  ASSERT_TRUE(SeekAndSettle(20000000));
  CapturedImage again;
  ASSERT_TRUE(graph->GetCurrentImage(0, &again));
  EXPECT_EQ(again.pixels, before.pixels);
}

// The decoder hands its pictures on in libavcodec's own buffers, which it still decodes
// the next pictures from; a brightness applied while playing must land in a copy. Had
// it brightened them in place, the pictures predicted from them after brightness went
// back to 0 would differ from the same picture decoded afresh.
TEST_F(Transport, BrightnessWhilePlayingLeavesTheDecodersOwnPicturesAlone) {
  Open("long");
  // Just after a key frame (one a second), so that what follows stays within its group.
  ASSERT_TRUE(SeekAndSettle(20500000));
  ASSERT_EQ(graph->SetBrightness(255), kSOk);
  ASSERT_EQ(graph->Play(), kSOk);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_EQ(graph->SetBrightness(0), kSOk);
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  ASSERT_EQ(graph->Pause(), kSOk);
  ASSERT_TRUE(graph->WaitUntilSettled(std::chrono::seconds(5)));
  const std::int64_t shown = ChannelSinkShownTime(Elements(*graph).renderer(0));
  ASSERT_GT(shown, 0);
  CapturedImage played, afresh;
  ASSERT_TRUE(graph->GetCurrentImage(0, &played));
  // One unit into the picture, as a frame step seeks: the same picture, decoded from
  // its key frame on.
  ASSERT_TRUE(SeekAndSettle(shown + 1));
  ASSERT_EQ(ChannelSinkShownTime(Elements(*graph).renderer(0)), shown + 1);
  ASSERT_TRUE(graph->GetCurrentImage(0, &afresh));
  EXPECT_EQ(played.pixels, afresh.pixels);
}

TEST_F(Transport, TheMirrorFlipsTheRearPictureOnly) {
  Open("long");
  ASSERT_TRUE(SeekAndSettle(20000000));
  CapturedImage rearBefore, frontBefore, rearMirrored, frontAfter;
  ASSERT_TRUE(graph->GetCurrentImage(1, &rearBefore));
  ASSERT_TRUE(graph->GetCurrentImage(0, &frontBefore));
  ASSERT_EQ(graph->SetRearMirror(true), kSOk);
  ASSERT_TRUE(SeekAndSettle(20000000));
  ASSERT_TRUE(graph->GetCurrentImage(1, &rearMirrored));
  ASSERT_TRUE(graph->GetCurrentImage(0, &frontAfter));
  EXPECT_EQ(frontAfter.pixels, frontBefore.pixels);
  ASSERT_EQ(rearMirrored.width, rearBefore.width);
  const int w = rearBefore.width, h = rearBefore.height;
  long differing = 0, mirroredMismatch = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) {
        const auto a = rearBefore.pixels[static_cast<std::size_t>((y * w + x) * 4 + c)];
        const auto m = rearMirrored.pixels[static_cast<std::size_t>((y * w + (w - 1 - x)) * 4 + c)];
        const auto same = rearMirrored.pixels[static_cast<std::size_t>((y * w + x) * 4 + c)];
        if (std::abs(a - m) > 24) ++mirroredMismatch;
        if (std::abs(a - same) > 24) ++differing;
      }
  const long total = static_cast<long>(w) * h * 3;
  // The picture is not symmetric (it shows the camera's name), so mirroring changes it,
  // and the change is exactly a left-right flip (chroma rounding aside).
  EXPECT_GT(differing, total / 50);
  EXPECT_LT(mirroredMismatch, total / 200);
  // Off again restores the original.
  ASSERT_EQ(graph->SetRearMirror(false), kSOk);
  ASSERT_TRUE(SeekAndSettle(20000000));
  CapturedImage rearAgain;
  ASSERT_TRUE(graph->GetCurrentImage(1, &rearAgain));
  EXPECT_EQ(rearAgain.pixels, rearBefore.pixels);
}

TEST_F(Transport, FrameStepsLandOnTheNeighbouringPicturesOfBothCamerasAndCaptureThem) {
  Open("two-aac");
  // Where each camera's pictures are, from the recording itself.
  FileByteSource bytes;
  ASSERT_TRUE(bytes.Open(Recording("two-aac").string()));
  avi::AviReader reader(bytes);
  ASSERT_TRUE(reader.Open());
  ASSERT_EQ(reader.CameraCount(), 2);
  std::vector<std::int64_t> times;
  for (const avi::ChunkEntry& chunk : reader.Chunks())
    if (chunk.kind == avi::ChunkKind::Video && chunk.camera == reader.Cameras()[0].id) times.push_back(chunk.time);
  // 2 s at 15 fps: 66.6667 ms apart, rounded down to 100 ns; a key frame each second.
  ASSERT_EQ(times.size(), 30u);
  EXPECT_EQ(times[13], 8666666);
  EXPECT_EQ(times[15], 10000000);

  auto shown = [&](int channel) { return ChannelSinkShownTime(Elements(*graph).renderer(channel)); };
  auto capture = [&](int channel) {
    CapturedImage image;
    EXPECT_TRUE(graph->GetCurrentImage(channel, &image));
    return image.pixels;
  };
  auto step = [&](int direction) {
    if (graph->StepFrame(direction) != kSOk) return false;
    return graph->WaitUntilSettled(std::chrono::seconds(5));
  };
  // A step lands one unit (100 ns) into the picture, past the rounding of its time.
  auto landedOn = [&](int k) {
    EXPECT_EQ(Position(), times[k] + 1) << k;
    EXPECT_EQ(shown(0), times[k] + 1) << k;
    EXPECT_EQ(shown(1), times[k] + 1) << k;
  };
  // From picture 12 across the key frame at 15 to picture 18 and back, both cameras
  // on the same picture, each unlike its neighbour (the clock is drawn on it); each
  // captured again on the way back and after a seek to its middle is the same.
  ASSERT_TRUE(SeekAndSettle(times[12] + kFrame / 2));
  std::map<int, std::vector<std::uint8_t>> fronts, rears;
  fronts[12] = capture(0);
  rears[12] = capture(1);
  for (int k = 13; k <= 18; ++k) {
    ASSERT_TRUE(step(1)) << k;
    landedOn(k);
    fronts[k] = capture(0);
    rears[k] = capture(1);
    EXPECT_NE(fronts[k], fronts[k - 1]) << k;
    EXPECT_NE(rears[k], rears[k - 1]) << k;
  }
  for (int k = 17; k >= 12; --k) {
    ASSERT_TRUE(step(-1)) << k;
    landedOn(k);
    EXPECT_EQ(capture(0), fronts[k]) << k;
    EXPECT_EQ(capture(1), rears[k]) << k;
  }
  for (int k = 13; k <= 18; ++k) {
    ASSERT_TRUE(SeekAndSettle(times[k] + kFrame / 2));
    EXPECT_EQ(capture(0), fronts[k]) << k;
    EXPECT_EQ(capture(1), rears[k]) << k;
  }
  EXPECT_EQ(graph->state(), kStateStopped);
  // Steps asked faster than pictures come count from the one on its way.
  ASSERT_TRUE(SeekAndSettle(times[12] + kFrame / 2));
  ASSERT_EQ(graph->StepFrame(1), kSOk);
  ASSERT_EQ(graph->StepFrame(1), kSOk);
  ASSERT_TRUE(step(1));
  landedOn(15);
  EXPECT_EQ(capture(0), fronts[15]);
  // Nothing before the first picture or after the last; none while running.
  ASSERT_TRUE(SeekAndSettle(0));
  EXPECT_EQ(graph->StepFrame(-1), kEInvalidArg);
  ASSERT_TRUE(SeekAndSettle(times.back() + kFrame / 2));
  EXPECT_EQ(graph->StepFrame(1), kEInvalidArg);
  ASSERT_TRUE(step(-1));
  landedOn(28);
  ASSERT_EQ(graph->Play(), kSOk);
  EXPECT_EQ(graph->StepFrame(1), kVfwEWrongState);
}
