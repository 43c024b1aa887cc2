// Building and tearing down the media graph: element names, chains per window,
// the sound path, the first picture and what a refused file leaves behind.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "GraphInspector.h"
#include "PlaybackTestSupport.h"
#include "playback/AudioOutput.h"
#include "playback/CPlaybackGraph.h"
#include "playback/GstSupport.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"
#include "telemetry/LoadTelemetry.h"
#include "telemetry/TelemetrySamples.h"

using namespace playback;
using namespace playback_test;

namespace {

std::set<std::string> ElementsOf(CPlaybackGraph& graph) {
  std::set<std::string> names;
  if (!Elements(graph).pipeline()) return names;
  GstIterator* it = gst_bin_iterate_elements(GST_BIN(Elements(graph).pipeline()));
  GValue item = G_VALUE_INIT;
  while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
    names.insert(ElementName(GST_ELEMENT(g_value_get_object(&item))));
    g_value_reset(&item);
  }
  g_value_unset(&item);
  gst_iterator_free(it);
  return names;
}

bool Linked(GstElement* element, const char* pad) {
  GstPad* p = gst_element_get_static_pad(element, pad);
  const bool linked = p && gst_pad_is_linked(p);
  if (p) gst_object_unref(p);
  return linked;
}

// The source pad feeding a decoder bin.
std::string FeedOf(GstElement* decoder) {
  GstPad* in = gst_element_get_static_pad(decoder, "sink");
  GstPad* peer = in ? gst_pad_get_peer(in) : nullptr;
  const std::string name = PadName(peer);
  if (peer) gst_object_unref(peer);
  if (in) gst_object_unref(in);
  return name;
}

class GraphBuild : public ::testing::Test {
 protected:
  TestChannelWindow front{320, 180};
  TestChannelWindow rear{192, 108};
};

}  // namespace

TEST_F(GraphBuild, TwoCamerasGetNumberedRenderersAndTheMultiChannelAudioDecoder) {
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  ASSERT_EQ(graph.Build(Recording("two-aac").string()), kSOk);
  EXPECT_EQ(ElementsOf(graph),
            (std::set<std::string>{"VKStreamParseFilter", "CoreAAC Decoder", "DirectSound Audio Renderer",
                                   "FFDShow Decoder1", "Color Space Convertor 1", "Mixing Renderer9-1",
                                   "FFDShow Decoder2", "Color Space Convertor 2", "Mixing Renderer9-2"}));
  EXPECT_EQ(graph.videoChannels(), 2);
  EXPECT_EQ(graph.built(), 1);
  // Channel n receives the n-th video pad.
  EXPECT_EQ(FeedOf(Elements(graph).decoder(0)), "Video1");
  EXPECT_EQ(FeedOf(Elements(graph).decoder(1)), "Video2");
  EXPECT_TRUE(Linked(Elements(graph).audioDecoder(), "src"));
}

TEST_F(GraphBuild, OneCameraGetsTheSingleChannelNames) {
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  ASSERT_EQ(graph.Build(Recording("one-aac").string()), kSOk);
  EXPECT_EQ(ElementsOf(graph),
            (std::set<std::string>{"VKStreamParseFilter", "COREAAC AUDIO", "DirectSound Audio Renderer",
                                   "FFDShow Decoder1", "Color Space Convertor 1", "Mixing Renderer9"}));
  EXPECT_EQ(graph.videoChannels(), 1);
  EXPECT_EQ(Elements(graph).renderer(1), nullptr);
}

TEST_F(GraphBuild, FourCamerasBuildOnlyTheChainsOfTheTwoWindows) {
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  ASSERT_EQ(graph.Build(Recording("four-aac").string()), kSOk);
  EXPECT_EQ(graph.videoChannels(), 4);
  EXPECT_NE(Elements(graph).renderer(0), nullptr);
  EXPECT_NE(Elements(graph).renderer(1), nullptr);
  EXPECT_EQ(Elements(graph).renderer(2), nullptr);
  EXPECT_EQ(Elements(graph).renderer(3), nullptr);
  EXPECT_EQ(ElementsOf(graph).count("Mixing Renderer9-3"), 0u);
  // The sound still connects although more video pads than attempts come first.
  EXPECT_TRUE(Linked(Elements(graph).audioDecoder(), "sink"));
  EXPECT_TRUE(Linked(Elements(graph).audioDecoder(), "src"));
  EXPECT_EQ(graph.state(), kStateStopped);
  EXPECT_GE(front.Frames(), 1);
  EXPECT_GE(rear.Frames(), 1);
}

TEST_F(GraphBuild, PcmSoundGoesStraightToTheAudioRendererWithoutADecoder) {
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  ASSERT_EQ(graph.Build(Recording("two-pcm").string()), kSOk);
  EXPECT_EQ(Elements(graph).audioDecoder(), nullptr);
  ASSERT_NE(Elements(graph).audioRenderer(), nullptr);
  EXPECT_TRUE(Linked(Elements(graph).audioRenderer(), "sink"));
  EXPECT_EQ(ElementsOf(graph).count("CoreAAC Decoder"), 0u);
}

TEST_F(GraphBuild, NoSoundMeansNoAudioElements) {
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  ASSERT_EQ(graph.Build(Recording("two-none").string()), kSOk);
  EXPECT_EQ(Elements(graph).audioDecoder(), nullptr);
  EXPECT_EQ(Elements(graph).audioRenderer(), nullptr);
  EXPECT_EQ(graph.SetVolume(-4), kENotImpl);
}

TEST_F(GraphBuild, WithoutAnAudioDeviceTheSoundIsDroppedAndTheGraphStillPlays) {
  // A named output that does not exist stands for a machine without sound.
  ::setenv("TARVO_AUDIO_SINK", "no-such-audio-output", 1);
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  const HResult built = graph.Build(Recording("two-aac").string());
  ::setenv("TARVO_AUDIO_SINK", "null", 1);
  ASSERT_EQ(built, kSOk);
  ASSERT_NE(AudioControlOf(Elements(graph).audioRenderer()), nullptr);
  EXPECT_FALSE(AudioControlOf(Elements(graph).audioRenderer())->HasDevice());
  std::int64_t duration = 0;
  ASSERT_EQ(graph.GetDuration(&duration), kSOk);
  ASSERT_EQ(graph.SetPosition(duration - 3000000), kSOk);
  ASSERT_EQ(graph.Play(), kSOk);
  const int before = front.Frames();
  EXPECT_TRUE(front.WaitForFrames(before + 3, 3000));
  EXPECT_EQ(graph.LastError(), "");
}

TEST_F(GraphBuild, StoppedOnTheFirstPictureOfEveryChannel) {
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  ASSERT_EQ(graph.Build(Recording("two-pcm").string()), kSOk);
  EXPECT_EQ(graph.state(), kStateStopped);
  ASSERT_GE(front.Frames(), 1);
  ASSERT_GE(rear.Frames(), 1);
  EXPECT_EQ(front.Last().timestamp, 0);
  EXPECT_EQ(front.Last().width, 320);
  EXPECT_EQ(rear.Last().width, 192);
  EXPECT_EQ(rear.Last().height, 108);
  std::int64_t position = -1;
  ASSERT_EQ(graph.GetPosition(&position), kSOk);
  EXPECT_EQ(position, 0);
  // The pictures came from streaming threads, never from the thread that built.
  EXPECT_EQ(front.FramesOnOwner(), 0);
}

TEST_F(GraphBuild, AFileTheSourceRefusesFailsTheBuildWithTheEngineCode) {
  const auto junk = ScratchFolder() / "refused.avi";
  std::ofstream(junk) << "RIFF....AVI but nothing after";
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  EXPECT_EQ(graph.Build(junk.string()), kEngineFailure);
  EXPECT_EQ(graph.Build(""), kEngineFailure);
  EXPECT_EQ(graph.state(), kStateEmpty);
}

TEST_F(GraphBuild, ABuildOfANewFileTearsTheOldGraphDownFirst) {
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  ASSERT_EQ(graph.Build(Recording("four-aac").string()), kSOk);
  ASSERT_EQ(graph.Build(Recording("one-aac").string()), kSOk);
  EXPECT_EQ(graph.videoChannels(), 1);
  EXPECT_EQ(ElementsOf(graph).count("Mixing Renderer9-1"), 0u);
  EXPECT_EQ(ElementsOf(graph).count("Mixing Renderer9"), 1u);
}

TEST_F(GraphBuild, TeardownReleasesEveryElementAndLeavesStopped) {
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  ASSERT_EQ(graph.Build(Recording("two-aac").string()), kSOk);
  ASSERT_EQ(graph.Play(), kSOk);
  graph.Teardown();
  EXPECT_EQ(Elements(graph).pipeline(), nullptr);
  EXPECT_EQ(Elements(graph).source(), nullptr);
  EXPECT_EQ(Elements(graph).audioRenderer(), nullptr);
  EXPECT_EQ(Elements(graph).audioDecoder(), nullptr);
  for (int i = 0; i < kMaxChannels; ++i) {
    EXPECT_EQ(Elements(graph).renderer(i), nullptr);
    EXPECT_EQ(Elements(graph).decoder(i), nullptr);
    EXPECT_EQ(Elements(graph).converter(i), nullptr);
  }
  EXPECT_EQ(graph.state(), kStateStopped);
  EXPECT_EQ(graph.built(), 0);
  // No picture reaches a window after its graph went.
  const int frames = front.Frames();
  EXPECT_FALSE(front.WaitForFrames(frames + 1, 200));
}

namespace {

// Counts the finalisation of watched objects: an object that is never finalised was
// leaked by whoever held the last reference.
struct FinalisedCount {
  int count = 0;
  void Watch(gpointer object) {
    g_object_weak_ref(
        G_OBJECT(object), [](gpointer self, GObject*) { ++static_cast<FinalisedCount*>(self)->count; }, this);
  }
};

}  // namespace

TEST_F(GraphBuild, ResetAfterABuildReleasesThePipelineAndEveryElement) {
  FinalisedCount finalised;
  {
    CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
    graph.Reset(false, true);
    ASSERT_EQ(graph.Build(Recording("two-aac").string()), kSOk);
    ASSERT_EQ(graph.Play(), kSOk);
    int watched = 0;
    for (GstElement* e : {Elements(graph).pipeline(), Elements(graph).source(), Elements(graph).audioDecoder(),
                          Elements(graph).audioRenderer()}) {
      finalised.Watch(e);
      ++watched;
    }
    for (int i = 0; i < 2; ++i) {
      for (GstElement* e : {Elements(graph).renderer(i), Elements(graph).decoder(i), Elements(graph).converter(i),
                            Elements(graph).brightness(i)}) {
        finalised.Watch(e);
        ++watched;
      }
    }
    graph.Reset(false, false);
    EXPECT_EQ(finalised.count, watched);
    EXPECT_EQ(graph.state(), kStateEmpty);
    EXPECT_EQ(Elements(graph).pipeline(), nullptr);
    // The graph is usable again after the reset.
    ASSERT_EQ(graph.Build(Recording("one-aac").string()), kSOk);
    EXPECT_EQ(graph.videoChannels(), 1);
  }
}

TEST_F(GraphBuild, AFailedBuildReleasesWhatItAddedWhenTheGraphGoes) {
  FinalisedCount finalised;
  const auto junk = ScratchFolder() / "not-a-recording.avi";
  std::ofstream(junk) << "RIFF but not really";
  {
    CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
    graph.Reset(false, false);
    EXPECT_EQ(graph.Build(junk.string()), kEngineFailure);
    ASSERT_NE(Elements(graph).pipeline(), nullptr);
    finalised.Watch(Elements(graph).pipeline());
    finalised.Watch(Elements(graph).source());
  }
  EXPECT_EQ(finalised.count, 2);
}

TEST_F(GraphBuild, TheBrightnessStageIsInsertedOnlyWithItsOption) {
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, true);
  ASSERT_EQ(graph.Build(Recording("two-pcm").string()), kSOk);
  EXPECT_EQ(ElementsOf(graph).count("Nevroc Brightness 1"), 1u);
  EXPECT_EQ(ElementsOf(graph).count("Nevroc Brightness 2"), 1u);
  EXPECT_GE(rear.Frames(), 1);
}

TEST_F(GraphBuild, LoadTelemetryThroughThePlayingGraphGivesExactlyWhatTheReaderGives) {
  const auto file = Recording("long");
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  EXPECT_EQ(graph.TelemetrySource(), nullptr);
  ASSERT_EQ(graph.Build(file.string()), kSOk);
  // The viewer reads the records once playback has started.
  ASSERT_EQ(graph.Play(), kSOk);
  TelemetrySamples viaGraph;
  LoadTelemetry(graph.TelemetrySource().get(), viaGraph);

  FileByteSource bytes;
  ASSERT_TRUE(bytes.Open(file));
  avi::AviReader reader(bytes);
  ASSERT_TRUE(reader.Open());
  avi::AviTelemetrySource direct(reader);
  TelemetrySamples viaReader;
  LoadTelemetry(&direct, viaReader);

  ASSERT_GT(viaReader.gpsSamples.size(), 3u);
  ASSERT_GT(viaReader.gsensorSamples.size(), 30u);
  ASSERT_EQ(viaGraph.gpsSamples.size(), viaReader.gpsSamples.size());
  ASSERT_EQ(viaGraph.gsensorSamples.size(), viaReader.gsensorSamples.size());
  for (std::size_t i = 0; i < viaReader.gpsSamples.size(); ++i) {
    const CGPSData& a = viaGraph.gpsSamples[i];
    const CGPSData& b = viaReader.gpsSamples[i];
    EXPECT_EQ(a.recordTime, b.recordTime) << i;
    EXPECT_EQ(a.valid, b.valid) << i;
    EXPECT_EQ(a.latitude, b.latitude) << i;
    EXPECT_EQ(a.longitude, b.longitude) << i;
    EXPECT_EQ(a.speed, b.speed) << i;
    EXPECT_EQ(a.course, b.course) << i;
    EXPECT_EQ(a.timestamp, b.timestamp) << i;
  }
  for (std::size_t i = 0; i < viaReader.gsensorSamples.size(); ++i) {
    const CGSensorData& a = viaGraph.gsensorSamples[i];
    const CGSensorData& b = viaReader.gsensorSamples[i];
    EXPECT_EQ(a.recordTime, b.recordTime) << i;
    EXPECT_EQ(a.x, b.x) << i;
    EXPECT_EQ(a.y, b.y) << i;
    EXPECT_EQ(a.z, b.z) << i;
  }
  // Reading the records did not disturb playback.
  EXPECT_EQ(graph.state(), kStateRunning);
  const int frames = front.Frames();
  EXPECT_TRUE(front.WaitForFrames(frames + 3, 2000));
}

TEST_F(GraphBuild, CurrentImageFollowsTheRequestedChannels) {
  CPlaybackGraph graph(1, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  ASSERT_EQ(graph.Build(Recording("two-pcm").string()), kSOk);
  CapturedImage image;
  EXPECT_TRUE(graph.GetCurrentImage(0, &image));
  EXPECT_EQ(image.width, 320);
  EXPECT_EQ(image.height, 180);
  EXPECT_EQ(image.pixels.size(), 320u * 180u * 4u);
  // One channel requested: the second channel is not grabbed.
  EXPECT_FALSE(graph.GetCurrentImage(1, &image));
  EXPECT_FALSE(graph.GetCurrentImage(4, &image));
}

// A repaint converts the last picture again only for a window whose size changed;
// one that holds it at its size just paints again (the main window asks on every
// layout pass).
TEST_F(GraphBuild, RepaintConvertsTheLastPictureAgainOnlyForAResizedWindow) {
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  ASSERT_EQ(graph.Build(Recording("two-pcm").string()), kSOk);
  const int frontFrames = front.Frames(), rearFrames = rear.Frames();
  ASSERT_EQ(frontFrames, 1);
  EXPECT_EQ(graph.RepaintAll(), kSOk);
  EXPECT_EQ(front.Frames(), frontFrames);
  EXPECT_EQ(rear.Frames(), rearFrames);
  EXPECT_EQ(front.Repaints(), 1);
  EXPECT_EQ(rear.Repaints(), 1);
  front.SetClientSize(160, 90);
  EXPECT_EQ(graph.RepaintChannel1(), kSOk);
  EXPECT_EQ(front.Frames(), frontFrames + 1);
  EXPECT_EQ(front.Last().width, 160);
  EXPECT_EQ(front.Last().height, 90);
  EXPECT_EQ(graph.RepaintAll(), kSOk);
  EXPECT_EQ(front.Frames(), frontFrames + 1);
  EXPECT_EQ(rear.Frames(), rearFrames);
  EXPECT_EQ(front.Repaints(), 3);
  EXPECT_EQ(rear.Repaints(), 2);
}

// The picture a paused sink shows comes to it again when playing starts, and once
// more when a new rate starts a segment from its place; handed to the window each
// time, a recording of 30 pictures showed 31 (and one more per pause or rate).
TEST_F(GraphBuild, EveryPictureReachesTheWindowOnceAcrossPlayPauseAndRates) {
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  ASSERT_EQ(graph.Build(Recording("two-pcm").string()), kSOk);
  ASSERT_TRUE(graph.WaitUntilSettled(std::chrono::seconds(5)));
  // A rate chosen before playing starts from the first picture, on screen already.
  ASSERT_EQ(graph.ChangeRate(2.0f), kSOk);
  ASSERT_EQ(graph.Play(), kSOk);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  ASSERT_EQ(graph.Pause(), kSOk);
  ASSERT_TRUE(graph.WaitUntilSettled(std::chrono::seconds(5)));
  ASSERT_EQ(graph.Play(), kSOk);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  ASSERT_EQ(graph.Pause(), kSOk);
  ASSERT_TRUE(graph.WaitUntilSettled(std::chrono::seconds(5)));
  ASSERT_EQ(graph.ChangeRate(1.0f), kSOk);
  ASSERT_EQ(graph.Play(), kSOk);
  std::int64_t position = 0, duration = 0;
  ASSERT_EQ(graph.GetDuration(&duration), kSOk);
  for (int i = 0; i < 250 && position < duration; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(graph.GetPosition(&position), kSOk);
  }
  ASSERT_EQ(position, duration);
  for (TestChannelWindow* window : {&front, &rear}) {
    const std::vector<std::int64_t> stamps = window->Stamps();
    std::string shown;
    for (const std::int64_t stamp : stamps) shown += std::to_string(stamp) + " ";
    // A late picture may be dropped on a busy machine; none may come twice.
    EXPECT_LE(stamps.size(), 30u) << shown;
    EXPECT_GE(stamps.size(), 20u) << shown;
    int again = 0;
    for (std::size_t i = 1; i < stamps.size(); ++i) again += stamps[i] <= stamps[i - 1] ? 1 : 0;
    EXPECT_EQ(again, 0) << shown;
  }
}

// A screen hidden by the channel view, or with its window minimised, costs no
// conversions; shown again, a repaint brings it the picture of now, not an old one.
TEST_F(GraphBuild, AHiddenWindowGetsNoPicturesUntilARepaintAfterItIsShown) {
  rear.SetShown(false);
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  ASSERT_EQ(graph.Build(Recording("two-pcm").string()), kSOk);
  ASSERT_EQ(graph.Play(), kSOk);
  ASSERT_TRUE(front.WaitForFrames(8, 5000));
  ASSERT_EQ(graph.Pause(), kSOk);
  ASSERT_TRUE(graph.WaitUntilSettled(std::chrono::seconds(5)));
  EXPECT_EQ(rear.Frames(), 0);
  EXPECT_EQ(graph.RepaintAll(), kSOk);
  EXPECT_EQ(rear.Frames(), 0);
  // Captures read the decoded picture, not the window's.
  CapturedImage capture;
  ASSERT_TRUE(graph.GetCurrentImage(1, &capture));
  EXPECT_EQ(capture.width, 192);
  rear.SetShown(true);
  EXPECT_EQ(graph.RepaintAll(), kSOk);
  ASSERT_EQ(rear.Frames(), 1);
  EXPECT_EQ(rear.Last().width, 192);
  EXPECT_GT(rear.Last().timestamp, 0);
  EXPECT_NEAR(static_cast<double>(rear.Last().timestamp), static_cast<double>(front.Last().timestamp), 1400000.0);
}

TEST_F(GraphBuild, PicturesComeAtTheWindowsSizeAndCapturesAtTheCamerasSize) {
  TestChannelWindow small{160, 90};
  CPlaybackGraph graph(2, &small, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  ASSERT_EQ(graph.Build(Recording("two-pcm").string()), kSOk);
  EXPECT_EQ(small.Last().width, 160);
  EXPECT_EQ(small.Last().height, 90);
  EXPECT_EQ(small.Last().stride, 160 * 4);
  CapturedImage full;
  ASSERT_TRUE(graph.GetCurrentImage(0, &full));
  EXPECT_EQ(full.width, 320);
  EXPECT_EQ(full.height, 180);
  // A window larger than the picture gets the picture's own size and stretches it.
  small.SetClientSize(1000, 50);
  ASSERT_EQ(graph.RepaintAll(), kSOk);
  EXPECT_EQ(small.Last().width, 320);
  EXPECT_EQ(small.Last().height, 50);
  // The scaled picture is the picture: its mean colour stays close to the full one.
  const playback::VideoFrame shown = small.Last();
  for (int c = 0; c < 3; ++c) {
    const double a = MeanOf(full.pixels.data(), 320, 320 * 4, 0, 0, 320, 180, c);
    const double b = MeanOf(shown.pixels.get(), shown.width, shown.stride, 0, 0, shown.width, shown.height, c);
    EXPECT_NEAR(a, b, 6.0) << c;
  }
}

TEST_F(GraphBuild, ACutOffRecordingPlaysWhatWasWrittenAndEnds) {
  CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  ASSERT_EQ(graph.Build(Recording("cut").string()), kSOk);
  EXPECT_EQ(graph.videoChannels(), 2);
  std::int64_t duration = 0;
  ASSERT_EQ(graph.GetDuration(&duration), kSOk);
  EXPECT_GT(duration, 0);
  EXPECT_LT(duration, 20000000);
  ASSERT_EQ(graph.Play(), kSOk);
  std::int64_t position = 0;
  for (int waited = 0; waited < 4000 && position != duration; waited += 20) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(graph.GetPosition(&position), kSOk);
  }
  EXPECT_EQ(position, duration);
  EXPECT_EQ(graph.state(), kStateRunning);
  EXPECT_EQ(graph.LastError(), "");
}
