// tarvo-tool rebuild on files of other muxers, cut as a power loss or an interrupted
// copy leaves them: GStreamer plays the rebuilt file with every complete picture.

#include <gtest/gtest.h>

#include "sources/avi/AviFormat.h"
#include "tests/conformance/ForeignCorpus.h"
#include "tests/support/FileBytes.h"

namespace {

namespace fs = std::filesystem;
using corpus::Bytes;
using corpus::kSamples;
using corpus::Sample;

size_t CompletePictures(const std::vector<corpus::Chunk>& chunks, size_t end) {
  size_t n = 0;
  for (const corpus::Chunk& c : chunks)
    n += avi::KindOfChunkId(c.id) == avi::ChunkKind::Video && c.offset + 8 + c.size <= end;
  return n;
}

// Rebuilds `in`; GStreamer must then demux and decode `pictures` pictures from it,
// and tarvo-tool must find it whole, with the sound it names.
void ExpectRebuiltWith(const fs::path& in, size_t pictures, const std::string& sound) {
  const fs::path out = corpus::Scratch("rebuilt.avi");
  fs::remove(out);
  const corpus::ToolRun run = corpus::Tool("rebuild '" + in.string() + "' '" + out.string() + "'");
  ASSERT_EQ(run.code, 0) << run.out;
  const corpus::ToolRun info = corpus::Tool("info '" + out.string() + "'");
  EXPECT_EQ(corpus::InfoField(info.out, "state"), "intact") << info.out;
  EXPECT_EQ(corpus::InfoField(info.out, "index"), "present");
  const std::string has = corpus::InfoField(info.out, "sound");
  EXPECT_EQ(has.substr(0, has.find(',')), sound);
  EXPECT_EQ(corpus::AviDemux(out).frames, static_cast<int>(pictures)) << "demuxed";
  EXPECT_EQ(corpus::DecodedFrames(out), static_cast<int>(pictures)) << "decoded";
}

TEST(RepairConformance, CutCopiesOfEveryMuxerFileRebuildWithEveryCompletePicture) {
  for (const Sample& s : kSamples) {
    SCOPED_TRACE(s.name);
    const Bytes whole = testsupport::ReadAll(corpus::SamplePath(s));
    const std::vector<corpus::Chunk> chunks = corpus::MoviChunks(whole);
    for (const size_t at : {chunks[chunks.size() / 2].offset + 5, corpus::MoviEnd(whole)}) {
      for (const bool zeroed : {true, false}) {
        SCOPED_TRACE(std::to_string(at) + (zeroed ? " power cut" : " truncated"));
        const fs::path in =
            corpus::WriteScratch("cut.avi", zeroed ? corpus::PowerCut(whole, at) : corpus::Truncated(whole, at));
        // A recording without sound gets the silent track.
        ExpectRebuiltWith(in, CompletePictures(chunks, at), s.sound_ ? s.sound_ : "PCM");
      }
    }
  }
}

TEST(RepairConformance, UnfinishedLayoutsAndOpenDmlFormsRebuildWhole) {
  const Bytes h264 = testsupport::ReadAll(corpus::SamplePath(kSamples[corpus::kH264BFramesAac]));
  const Bytes mp3 = testsupport::ReadAll(corpus::SamplePath(kSamples[corpus::kH264Mp3]));
  const size_t all = corpus::kSampleSeconds * corpus::kFps;
  // No index: what GStreamer cannot read without one (pads left out) it plays once rebuilt.
  ExpectRebuiltWith(corpus::WriteScratch("rec.avi", corpus::InRecLists(h264, false)), all, "AAC");
  ExpectRebuiltWith(corpus::WriteScratch("pads.avi", corpus::WithoutPadBytes(mp3)), all, "MP3");
  // OpenDML cut in its second form: the pictures of both forms up to the cut.
  const Bytes odml = corpus::AsOpenDml(h264, 40);
  const size_t cut = odml.size() * 3 / 5;
  const size_t pictures = CompletePictures(corpus::MoviChunks(odml), cut);
  ASSERT_GT(pictures, 20u);
  ExpectRebuiltWith(corpus::WriteScratch("odml-cut.avi", corpus::Truncated(odml, cut)), pictures, "AAC");
}

TEST(RepairConformance, SoundOnlyLeftIsNoRebuildAndIntactFilesGetTheCameraDecision) {
  // Cut before the first picture is whole: sound chunks only. Before, such a file
  // was "repaired" into a file of sound alone, with exit status 0.
  const Bytes mjpeg = testsupport::ReadAll(corpus::SamplePath(kSamples[corpus::kMjpegAac]));
  const std::vector<corpus::Chunk> chunks = corpus::MoviChunks(mjpeg);
  size_t firstPicture = 0;
  while (avi::KindOfChunkId(chunks[firstPicture].id) != avi::ChunkKind::Video) ++firstPicture;
  ASSERT_GT(firstPicture, 0u) << "the muxer writes sound first";
  const fs::path in =
      corpus::WriteScratch("sound-only.avi", corpus::PowerCut(mjpeg, chunks[firstPicture].offset + 100));
  const fs::path out = corpus::Scratch("out.avi");
  const corpus::ToolRun run = corpus::Tool("rebuild '" + in.string() + "' '" + out.string() + "'");
  EXPECT_EQ(run.code, 1);
  EXPECT_FALSE(fs::exists(out));
  // Intact with sound: nothing to do. Intact without sound: the silent track, 3 s.
  const corpus::ToolRun withSound =
      corpus::Tool("rebuild '" + corpus::SamplePath(kSamples[corpus::kMjpegAac]).string() + "' '" + out.string() + "'");
  EXPECT_EQ(withSound.code, 0);
  EXPECT_NE(withSound.out.find("intact and has sound"), std::string::npos) << withSound.out;
  EXPECT_FALSE(fs::exists(out));
  ExpectRebuiltWith(corpus::SamplePath(kSamples[corpus::kMpeg4Silent]), corpus::kSampleSeconds * corpus::kFps, "PCM");
  const corpus::ToolRun info = corpus::Tool("info '" + corpus::Scratch("rebuilt.avi").string() + "'");
  EXPECT_NE(info.out.find("sound: PCM, 22050 Hz, 1 channel, 30 chunks"), std::string::npos) << info.out;
}

}  // namespace
