// Files of other muxers through the playback graph: the decoder each codec needs, the
// picture shown at a position (captured as the viewer's Capture button does)
// against GStreamer's own picture there, and a clear refusal of pictures no decoder
// here takes.

#include <gtest/gtest.h>

#include "playback/AudioOutput.h"
#include "playback/CPlaybackGraph.h"
#include "playback/CPlayer.h"
#include "tests/conformance/ForeignCorpus.h"
#include "tests/playback/GraphInspector.h"
#include "tests/playback/PlaybackTestSupport.h"
#include "tests/support/FileBytes.h"

namespace {

namespace fs = std::filesystem;
using corpus::kSamples;
using corpus::Sample;

// tarvo-tool capture's picture of `file` at `ms`.
bool Capture(const fs::path& file, int ms, corpus::Rgb& picture) {
  const fs::path out = corpus::Scratch("captures");
  fs::remove_all(out);
  const corpus::ToolRun run =
      corpus::Tool("capture '" + file.string() + "' --at " + std::to_string(ms) + " --out '" + out.string() + "'");
  EXPECT_EQ(run.code, 0) << file << " at " << ms;
  const std::string written = run.out.substr(0, run.out.find('\n'));
  return run.code == 0 && corpus::DecodeJpeg(written, picture);
}

TEST(PlaybackConformance, CaptureAtAPositionIsThePictureGStreamerShowsThere) {
  const fs::path odml = corpus::Scratch("odml.avi");
  testsupport::WriteAll(
      odml, corpus::AsOpenDml(testsupport::ReadAll(corpus::SamplePath(kSamples[corpus::kH264BFramesAac])), 40));
  struct Case {
    fs::path file;
    const char* name;
  };
  const Case cases[] = {{corpus::SamplePath(kSamples[corpus::kH264BFramesAac]), "H.264 with B-frames"},
                        {corpus::SamplePath(kSamples[corpus::kH264Pcm]), "H.264 with delimiters"},
                        {corpus::SamplePath(kSamples[corpus::kMjpegAac]), "MJPEG"},
                        {corpus::SamplePath(kSamples[corpus::kMpeg4Silent]), "MPEG-4"},
                        {odml, "OpenDML"}};
  for (const Case& c : cases) {
    // 1100 ms: a B-frame (picture 16, shown before the P-frame decoded ahead of it);
    // 2000 ms: a key frame's start; 2300 ms: inside a B-frame's time.
    for (const int ms : {1100, 2000, 2300}) {
      SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(ms));
      corpus::Rgb captured, reference, next;
      ASSERT_TRUE(Capture(c.file, ms, captured));
      ASSERT_TRUE(corpus::ReferencePicture(c.file, ms, reference));
      const int64_t nextStart = (ms * corpus::kFps / 1000 + 1) * 1000 / corpus::kFps + 1;
      ASSERT_TRUE(corpus::ReferencePicture(c.file, nextStart, next));
      const double psnr = corpus::Psnr(captured, reference);
      EXPECT_GT(psnr, 35.0);
      // The picture after it is another picture: the measure tells them apart.
      EXPECT_LT(corpus::Psnr(captured, next), psnr - 5) << "same " << psnr;
      std::printf("%s at %d ms: PSNR %.1f dB (next picture %.1f dB)\n", c.name, ms, psnr, corpus::Psnr(captured, next));
    }
  }
}

TEST(PlaybackConformance, EachCodecPlaysWithItsDecoderAndUnknownPicturesAreNamed) {
  playback_test::TestChannelWindow front, rear;
  for (const Sample& s : kSamples) {
    SCOPED_TRACE(s.name);
    playback::CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
    graph.Reset(false, false);
    const int before = front.Frames();
    ASSERT_EQ(graph.Build(corpus::SamplePath(s).string()), playback::kSOk);
    EXPECT_EQ(graph.videoChannels(), 1);
    EXPECT_GT(front.Frames(), before) << "the first picture";
    std::int64_t duration = 0;
    ASSERT_EQ(graph.GetDuration(&duration), playback::kSOk);
    EXPECT_EQ(duration, corpus::kSampleSeconds * 10000000LL);
    EXPECT_EQ(playback::Elements(graph).audioRenderer() != nullptr, s.sound_ != nullptr);
    // A second of playing: pictures keep coming and no element fails.
    ASSERT_EQ(graph.Play(), playback::kSOk);
    EXPECT_TRUE(front.WaitForFrames(front.Frames() + 10, 5000));
    EXPECT_EQ(graph.LastError(), "");
    EXPECT_EQ(graph.UnsupportedVideo(), "");
    graph.Teardown();
  }
  // IMA ADPCM, which no muxer here writes, has its decoder too; unknown sound has none.
  for (const auto& [caps, decodable] :
       {std::pair{"audio/x-adpcm,layout=dvi,block_align=1024,rate=22050,channels=1", true},
        std::pair{"audio/x-alaw,rate=8000,channels=1", false}}) {
    playback::CapsRef parsed(gst_caps_from_string(caps));
    EXPECT_EQ(playback::MakeAudioDecoder("decoder", parsed.get()) != nullptr, decodable) << caps;
  }
  // Pictures of a codec no decoder here takes: nothing built, and their code named.
  const fs::path wmv = corpus::WriteScratch(
      "wmv3.avi", corpus::WithVideoCode(testsupport::ReadAll(corpus::SamplePath(kSamples[corpus::kMjpegAac])), "WMV3"));
  playback::CPlaybackGraph graph(2, &front, &rear, nullptr, nullptr);
  graph.Reset(false, false);
  EXPECT_EQ(graph.Build(wmv.string()), playback::kEngineFailure);
  EXPECT_EQ(graph.UnsupportedVideo(), "WMV3");
  EXPECT_EQ(corpus::InfoField(corpus::Tool("info '" + wmv.string() + "'").out, "video"), "unknown (WMV3)");
}

}  // namespace
