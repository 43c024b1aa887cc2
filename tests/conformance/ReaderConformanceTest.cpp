// The reader against GStreamer's demuxer on files of other muxers: frame counts,
// durations, times and key frames, whatever the layout the chunks come in.

#include <gtest/gtest.h>

#include <cmath>

#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"
#include "tests/conformance/ForeignCorpus.h"
#include "tests/support/FileBytes.h"

namespace {

namespace fs = std::filesystem;
using corpus::Bytes;

using corpus::kSamples;
using corpus::Sample;
using corpus::SamplePath;

// The picture times and key flags the reader gives the first video stream.
struct ReadVideo {
  std::vector<int64_t> times;  // 100 ns
  std::vector<bool> keys;
  bool cutOff = false;
  avi::IndexKind index = avi::IndexKind::None;
};

ReadVideo Read(const fs::path& path) {
  ReadVideo r;
  FileByteSource file(path);
  avi::AviReader reader(file);
  EXPECT_TRUE(reader.Open()) << path;
  for (const avi::ChunkEntry& c : reader.Chunks()) {
    if (c.kind != avi::ChunkKind::Video || c.stream != reader.VideoStream()) continue;
    r.times.push_back(c.time);
    r.keys.push_back(c.keyFrame);
  }
  r.cutOff = reader.IsCutOff();
  r.index = reader.Index();
  return r;
}

// What tarvo-tool info says, compared with what GStreamer's demuxer finds in `oracle`.
void ExpectInfoMatches(const fs::path& path, const corpus::Demuxed& oracle, const Sample& base, const char* state) {
  const corpus::ToolRun info = corpus::Tool("info '" + path.string() + "'");
  ASSERT_EQ(info.code, 0) << path;
  EXPECT_EQ(corpus::InfoField(info.out, "state"), state) << path;
  EXPECT_EQ(corpus::InfoField(info.out, "video"), base.codec) << path;
  EXPECT_EQ(corpus::InfoField(info.out, "cameras"), "1") << path;
  int frames = -1, width = 0, height = 0;
  ASSERT_EQ(
      std::sscanf(corpus::InfoField(info.out, "  camera 1").c_str(), "%dx%d, %d frames", &width, &height, &frames), 3)
      << info.out;
  EXPECT_EQ(width, corpus::kWidth);
  EXPECT_EQ(height, corpus::kHeight);
  EXPECT_LE(std::abs(frames - oracle.frames), 1) << path << ": avidemux has " << oracle.frames;
  const double seconds = std::atof(corpus::InfoField(info.out, "duration").c_str());
  EXPECT_LE(std::abs(seconds * 1e9 - static_cast<double>(oracle.durationNs)), static_cast<double>(corpus::kFrameNs))
      << path << ": avidemux says " << oracle.durationNs << " ns";
  const std::string sound = corpus::InfoField(info.out, "sound");
  if (base.sound_)
    EXPECT_EQ(sound.substr(0, sound.find(',')), base.sound_) << path;
  else
    EXPECT_EQ(sound, "none") << path;
}

// Times (decoding order) and key frames of the reader equal the demuxer's and the
// muxer's index.
void ExpectSameTimesAndKeys(const ReadVideo& read, const corpus::Demuxed& oracle, const std::vector<bool>& keys,
                            const fs::path& path) {
  ASSERT_EQ(read.times.size(), oracle.dts.size()) << path;
  for (size_t i = 0; i < read.times.size(); ++i) {
    ASSERT_LE(std::abs(read.times[i] * 100 - oracle.dts[i]), 1000000) << path << " picture " << i;
    ASSERT_EQ(read.keys[i], keys[i]) << path << " picture " << i;
  }
}

TEST(ReaderConformance, EveryMuxerFileReadsAsGStreamersDemuxerReadsIt) {
  for (const Sample& b : kSamples) {
    SCOPED_TRACE(b.name);
    const corpus::Demuxed oracle = corpus::AviDemux(SamplePath(b));
    ASSERT_EQ(oracle.frames, corpus::kSampleSeconds * corpus::kFps);
    ExpectInfoMatches(SamplePath(b), oracle, b, "intact");
    const ReadVideo read = Read(SamplePath(b));
    EXPECT_EQ(read.index, avi::IndexKind::Idx1);
    // Key frames: one a second, every MJPEG picture.
    std::vector<bool> keys(read.keys.size());
    for (size_t i = 0; i < keys.size(); ++i) keys[i] = b.picture == corpus::Picture::Mjpeg || i % corpus::kFps == 0;
    ExpectSameTimesAndKeys(read, oracle, keys, SamplePath(b));
  }
}

TEST(ReaderConformance, OtherLayoutsOfTheSameChunksReadTheSame) {
  struct Layout {
    const char* name;
    const Sample& base;
    Bytes (*make)(const Bytes&);
    avi::IndexKind index;
  };
  const Layout layouts[] = {
      {"rec-lists-indexed", kSamples[corpus::kH264Pcm], [](const Bytes& f) { return corpus::InRecLists(f, true); },
       avi::IndexKind::Idx1},
      {"rec-lists-scanned", kSamples[corpus::kH264BFramesAac],
       [](const Bytes& f) { return corpus::InRecLists(f, false); }, avi::IndexKind::None},
      {"pads-left-out", kSamples[corpus::kH264Mp3], corpus::WithoutPadBytes, avi::IndexKind::None},
      {"opendml", kSamples[corpus::kH264BFramesAac], [](const Bytes& f) { return corpus::AsOpenDml(f, 40); },
       avi::IndexKind::OpenDml},
      {"opendml-without-super-indexes", kSamples[corpus::kMpeg4Silent],
       [](const Bytes& f) { return corpus::AsOpenDml(f, 20, false); }, avi::IndexKind::Idx1},
  };
  for (const Layout& l : layouts) {
    SCOPED_TRACE(l.name);
    const Bytes whole = testsupport::ReadAll(SamplePath(l.base));
    const fs::path path = corpus::WriteScratch(std::string(l.name) + ".avi", l.make(whole));
    const corpus::Demuxed oracle = corpus::AviDemux(SamplePath(l.base));
    const ReadVideo base = Read(SamplePath(l.base));
    const ReadVideo read = Read(path);
    // Without an index the muxer did not finish: cut off, though every chunk is there.
    const bool unfinished = l.index == avi::IndexKind::None;
    EXPECT_EQ(read.cutOff, unfinished);
    EXPECT_EQ(read.index, l.index);
    ExpectSameTimesAndKeys(read, oracle, base.keys, path);
    ExpectInfoMatches(path, oracle, l.base, unfinished ? "cut-off" : "intact");
  }
}

TEST(ReaderConformance, CutCopiesAreCutOffWithEveryCompletePictureBeforeTheCut) {
  for (const Sample& b : kSamples) {
    SCOPED_TRACE(b.name);
    const Bytes whole = testsupport::ReadAll(SamplePath(b));
    const std::vector<corpus::Chunk> chunks = corpus::MoviChunks(whole);
    const ReadVideo full = Read(SamplePath(b));
    // Inside a chunk a third of the way in, two thirds in, and just before the index.
    for (const size_t at :
         {chunks[chunks.size() / 3].offset + 11, chunks[2 * chunks.size() / 3].offset + 3, corpus::MoviEnd(whole)}) {
      size_t complete = 0;
      for (const corpus::Chunk& c : chunks)
        complete += avi::KindOfChunkId(c.id) == avi::ChunkKind::Video && c.offset + 8 + c.size <= at;
      for (const bool zeroed : {true, false}) {
        SCOPED_TRACE(std::to_string(at) + (zeroed ? " power cut" : " truncated"));
        const fs::path path =
            corpus::WriteScratch("cut.avi", zeroed ? corpus::PowerCut(whole, at) : corpus::Truncated(whole, at));
        const ReadVideo read = Read(path);
        EXPECT_TRUE(read.cutOff);
        ASSERT_EQ(read.times.size(), complete);
        for (size_t i = 0; i < complete; ++i) {
          ASSERT_EQ(read.times[i], full.times[i]) << i;
          ASSERT_EQ(read.keys[i], full.keys[i]) << i;
        }
        const corpus::ToolRun info = corpus::Tool("info '" + path.string() + "'");
        EXPECT_EQ(corpus::InfoField(info.out, "state"), "cut-off");
        EXPECT_EQ(corpus::InfoField(info.out, "index"), "none");
      }
    }
  }
}

TEST(ReaderConformance, OpenDmlFileCutInItsSecondFormKeepsThePicturesOfBothForms) {
  const Bytes whole = testsupport::ReadAll(SamplePath(kSamples[corpus::kH264Pcm]));
  const Bytes odml = corpus::AsOpenDml(whole, 40);
  const ReadVideo full = Read(corpus::WriteScratch("odml.avi", odml));
  // Cut half-way through the second form: its index chunks are not written yet.
  const Bytes cut = corpus::Truncated(odml, odml.size() * 3 / 5);
  const ReadVideo read = Read(corpus::WriteScratch("odml-cut.avi", cut));
  EXPECT_TRUE(read.cutOff);
  EXPECT_GT(read.times.size(), 20u) << "the first form's pictures and the second's up to the cut";
  EXPECT_LT(read.times.size(), full.times.size());
  for (size_t i = 0; i < read.times.size(); ++i) {
    ASSERT_EQ(read.times[i], full.times[i]) << i;
    ASSERT_EQ(read.keys[i], full.keys[i]) << i;
  }
}

}  // namespace
