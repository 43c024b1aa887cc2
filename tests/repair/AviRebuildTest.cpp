// Byte-level behaviour of the repair and the silent-track insertion on recordings
// built chunk by chunk, so that every size and position is known.

#include <gtest/gtest.h>

#include "sources/avi/AviFormat.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"
#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "tools/repair/AviRebuild.h"
#include "tools/repair/RecordingRebuild.h"
#include "tools/repair/SilentTrack.h"
#include "tools/simulator/AviWriter.h"

namespace {

using avi::ReadLe32;
using fixtures::FourCcString;
using testsupport::ReadAll;
namespace fs = std::filesystem;

constexpr const char* kName = "REC_20240512_083015_1.avi";

struct Chunk {
  std::string id;
  std::vector<uint8_t> data;
};

std::vector<uint8_t> Video(uint8_t nal, size_t size) {
  std::vector<uint8_t> d(size, 0x55);
  const uint8_t head[5] = {0, 0, 0, 1, nal};
  for (size_t i = 0; i < std::min<size_t>(5, size); ++i) d[i] = head[i];
  return d;
}

std::vector<uint8_t> Text(int32_t ms, size_t recordSize) {
  std::vector<uint8_t> d(4 + recordSize, 7);
  avi::WriteLe32(d.data(), static_cast<uint32_t>(ms));
  d[4] = 'M';
  return d;
}

simulator::AviLayout Layout(avi::AudioKind audio) {
  simulator::AviLayout l;
  l.cameraCount = 1;
  l.framesPerSecond = 30;
  l.width = 160;
  l.height = 90;
  l.audio = audio;
  l.audioSampleRate = 22050;
  l.audioChannels = 1;
  l.audioBytesPerSecond = 8000;
  l.audioConfig = {0x13, 0x88};
  return l;
}

// cutAt < 0: a clean close; otherwise the power cut at that byte (INT64_MAX: no cut
// into the chunks, just no index and zero sizes).
fs::path Write(const fs::path& path, const simulator::AviLayout& layout, const std::vector<Chunk>& chunks,
               int64_t cutAt) {
  simulator::AviWriter w;
  EXPECT_TRUE(w.Create(path, layout));
  for (const Chunk& c : chunks)
    EXPECT_TRUE(w.AddChunk(avi::MakeFourCc(c.id[0], c.id[1], c.id[2], c.id[3]), c.data.data(),
                           static_cast<uint32_t>(c.data.size()), true));
  EXPECT_TRUE(cutAt < 0 ? w.Finish() : w.FinishCutOff(cutAt));
  return path;
}

repair::PrepareOutcome Prepare(const fs::path& input, const fs::path& temp, const std::string& name = kName) {
  FileByteSource source(input);
  return repair::PrepareRecording(source, name, temp);
}

size_t HeaderEnd(const std::vector<uint8_t>& f) { return 20 + ReadLe32(&f[16]); }

// Stream lists of a header as (fccType of its strh).
std::vector<std::string> StreamTypes(const std::vector<uint8_t>& f) {
  std::vector<std::string> types;
  size_t pos = 32 + ReadLe32(&f[28]);
  while (pos + 32 <= HeaderEnd(f)) {
    const uint32_t size = ReadLe32(&f[pos + 4]);
    types.push_back(FourCcString(ReadLe32(&f[pos + 20])));
    pos += 8 + size;
  }
  return types;
}

// Every index entry names the chunk at its offset with its even-rounded size.
void ExpectIndexMatchesChunks(const std::vector<uint8_t>& f) {
  const auto chunks = fixtures::WalkMovi(f);
  const auto index = fixtures::ReadIndex(f);
  ASSERT_EQ(index.size(), chunks.size());
  const int64_t moviCode = static_cast<int64_t>(HeaderEnd(f)) + 8;
  for (size_t i = 0; i < chunks.size(); ++i) {
    EXPECT_EQ(index[i].id, chunks[i].id) << i;
    EXPECT_EQ(int64_t{index[i].offset}, chunks[i].offset - moviCode) << i;
    EXPECT_EQ(index[i].size, chunks[i].size + (chunks[i].size & 1)) << i;
  }
}

TEST(AviRebuild, SixtySecondRecordingGetsBlocksAfterFrames4_7_10AndOneAppended) {
  testsupport::TempFolder dir;
  std::vector<Chunk> chunks;
  for (int k = 0; k < 1800; ++k) {
    chunks.push_back({"00dc", Video(k % 30 == 0 ? 0x67 : 0x41, 6)});
    if (k % 30 == 29) chunks.push_back({"01tx", Text(k / 30 * 1000, 4)});
  }
  const fs::path in = Write(dir / kName, Layout(avi::AudioKind::None), chunks, -1);
  const std::vector<uint8_t> before = ReadAll(in);
  const repair::PrepareOutcome r = Prepare(in, dir / "temp");
  ASSERT_EQ(r.result, repair::PrepareResult::Rebuilt);
  EXPECT_EQ(r.output, dir / "temp" / (std::string(kName) + "_AddAudio.avi"));
  EXPECT_EQ(ReadAll(in), before) << "the source is only read";

  const std::vector<uint8_t> f = ReadAll(r.output);
  const uint32_t riff = ReadLe32(&before[4]);
  EXPECT_EQ(ReadLe32(&f[4]), riff + 600 * 4434 + 100);
  EXPECT_EQ(ReadLe32(&f[4]), f.size() - 8);
  EXPECT_EQ(ReadLe32(&f[16]), ReadLe32(&before[16]) + 100);
  EXPECT_EQ(ReadLe32(&f[56]), 3u);
  EXPECT_EQ(FourCcString(ReadLe32(&f[232])), "auds");
  EXPECT_EQ(ReadLe32(&f[264]), 1323000u) << "L = K x 2205";
  EXPECT_EQ(StreamTypes(f), (std::vector<std::string>{"vids", "auds", "txts"}));
  const size_t moviIn = HeaderEnd(before), moviOut = HeaderEnd(f);
  EXPECT_EQ(ReadLe32(&f[moviOut + 4]), ReadLe32(&before[moviIn + 4]) + 600 * 4418);

  std::vector<int> framesBeforeBlock;
  int frames = 0, texts = 0;
  for (const fixtures::WalkedChunk& c : fixtures::WalkMovi(f)) {
    const std::string id = FourCcString(c.id);
    if (id == "00dc") {
      ++frames;
    } else if (id == "01wb") {
      framesBeforeBlock.push_back(frames);
      EXPECT_EQ(c.size, 4410u);
    } else if (id == "02tx") {
      ++texts;
    } else {
      ADD_FAILURE() << "unexpected chunk " << id;
    }
  }
  EXPECT_EQ(frames, 1800);
  EXPECT_EQ(texts, 60);
  ASSERT_EQ(framesBeforeBlock.size(), 600u);
  EXPECT_EQ(std::vector<int>(framesBeforeBlock.begin(), framesBeforeBlock.begin() + 4),
            (std::vector<int>{4, 7, 10, 13}));
  // 3 x 333 is 999: every block leaves the clock 1 lower, so now and then a block
  // waits for a fourth frame; the 599 interleaved blocks end before frame 1800.
  for (size_t i = 1; i < 599; ++i) {
    const int gap = framesBeforeBlock[i] - framesBeforeBlock[i - 1];
    EXPECT_TRUE(gap == 3 || gap == 4) << i << ": " << gap;
  }
  EXPECT_LT(framesBeforeBlock[598], 1800);
  EXPECT_EQ(framesBeforeBlock[599], 1800) << "the last block follows the final chunk";
  EXPECT_EQ(fixtures::WalkMovi(f).back().id, avi::FourCc("01wb"));

  ExpectIndexMatchesChunks(f);
  const auto index = fixtures::ReadIndex(f);
  EXPECT_EQ(index.size(), 1860u + 600u);
  for (const auto& e : index) {
    const std::string id = FourCcString(e.id);
    if (id == "01wb") {
      EXPECT_EQ(e.flags, 0u);
    } else if (id == "02tx") {
      EXPECT_EQ(e.flags, 0x10u);
    }
  }
  EXPECT_EQ(index[0].flags, 0x10u);
  EXPECT_EQ(index[1].flags, 0u);
  // Silent means zero bytes.
  const auto firstBlock = fixtures::WalkMovi(f)[4];
  ASSERT_EQ(FourCcString(firstBlock.id), "01wb");
  for (size_t i = 0; i < 4410; ++i) ASSERT_EQ(f[firstBlock.offset + 8 + i], 0) << i;
}

TEST(AviRebuild, IntactRecordingWithoutSoundIsRebuiltOnceThenReused) {
  testsupport::TempFolder dir;
  std::vector<Chunk> chunks;
  for (int k = 0; k < 40; ++k) chunks.push_back({"00dc", Video(k % 30 ? 0x41 : 0x67, 10)});
  const fs::path in = Write(dir / kName, Layout(avi::AudioKind::None), chunks, -1);
  ASSERT_EQ(Prepare(in, dir / "temp").result, repair::PrepareResult::Rebuilt);
  const fs::path out = dir / "temp" / (std::string(kName) + "_AddAudio.avi");
  const std::vector<uint8_t> first = ReadAll(out);
  testsupport::WriteAll(dir / "temp" / (std::string(kName) + "_movi"), {});
  const repair::PrepareOutcome again = Prepare(in, dir / "temp");
  EXPECT_EQ(again.result, repair::PrepareResult::Reused);
  EXPECT_EQ(again.output, out);
  EXPECT_EQ(ReadAll(out), first);
  // K = trunc(40/30 x 10) = 13 blocks.
  int blocks = 0;
  for (const auto& c : fixtures::WalkMovi(first)) blocks += FourCcString(c.id) == "01wb";
  EXPECT_EQ(blocks, 13);
}

TEST(AviRebuild, IntactRecordingWithSoundIsNeverCopied) {
  testsupport::TempFolder dir;
  const fs::path in = Write(dir / kName, Layout(avi::AudioKind::Aac),
                            {{"00dc", Video(0x67, 8)}, {"01wb", {1, 2, 3}}, {"02tx", Text(0, 4)}}, -1);
  const repair::PrepareOutcome r = Prepare(in, dir / "temp");
  EXPECT_EQ(r.result, repair::PrepareResult::PlayDirectly);
  EXPECT_FALSE(fs::exists(dir / "temp"));
}

TEST(AviRebuild, OddChunksKeepTheirPadBytesAndTheIndexCountsThem) {
  testsupport::TempFolder dir;
  const std::vector<Chunk> chunks = {
      {"00dc", Video(0x67, 7)}, {"01tx", Text(0, 5)}, {"00dc", Video(0x41, 6)}, {"00dc", Video(0x41, 11)}};
  const fs::path whole = Write(dir / "whole.avi", Layout(avi::AudioKind::None), chunks, INT64_MAX);
  const int64_t size = static_cast<int64_t>(fs::file_size(whole));
  // Cut inside the last chunk: three complete chunks remain.
  const fs::path in = Write(dir / kName, Layout(avi::AudioKind::None), chunks, size - 4);
  const std::vector<uint8_t> before = ReadAll(in);
  const repair::PrepareOutcome r = Prepare(in, dir / "temp");
  ASSERT_EQ(r.result, repair::PrepareResult::Rebuilt);
  EXPECT_EQ(r.output, dir / "temp" / (std::string(kName) + "_REPAIR.avi"));
  EXPECT_EQ(ReadAll(in), before);
  const std::vector<uint8_t> f = ReadAll(r.output);
  const auto index = fixtures::ReadIndex(f);
  ASSERT_EQ(index.size(), 3u);
  EXPECT_EQ(FourCcString(index[0].id), "00dc");
  EXPECT_EQ(index[0].offset, 4u);
  EXPECT_EQ(index[0].size, 8u);
  EXPECT_EQ(FourCcString(index[1].id), "02tx");
  EXPECT_EQ(index[1].offset, 4u + 8 + 8);
  EXPECT_EQ(index[1].size, 10u);
  EXPECT_EQ(index[2].offset, 4u + 8 + 8 + 8 + 10);
  ExpectIndexMatchesChunks(f);
  const auto walked = fixtures::WalkMovi(f);
  EXPECT_EQ(walked[0].size, 7u) << "the chunk header keeps its odd size";
  EXPECT_EQ(f[walked[0].offset + 8 + 7], 0) << "pad byte copied";
  // Counts: V = 2, C = 3, B = 16 + 18 + 14 = 48, t = 2/30 s so K = 0.
  EXPECT_EQ(ReadLe32(&f[48]), 2u);
  EXPECT_EQ(ReadLe32(&f[140]), 2u);
  const uint32_t s = ReadLe32(&before[16]);
  EXPECT_EQ(ReadLe32(&f[16]), s + 100);
  EXPECT_EQ(ReadLe32(&f[HeaderEnd(f) + 4]), 48u + 4);
  EXPECT_EQ(ReadLe32(&f[4]), 16u * 3 + s + (48 + 4) + 28 + 100);
  EXPECT_EQ(ReadLe32(&f[4]), f.size() - 8);
}

TEST(AviRebuild, KeyFramesAreIdrOrSpsVideoAndStreamTwoChunks) {
  testsupport::TempFolder dir;
  const std::vector<Chunk> chunks = {{"00dc", Video(0x65, 8)}, {"00dc", Video(0x67, 8)}, {"00dc", Video(0x41, 8)},
                                     {"00dc", Video(0x06, 8)}, {"00dc", {0, 0, 0, 1}},   {"01wb", {1, 2}},
                                     {"02tx", Text(0, 4)},     {"00dc", Video(0x25, 8)}};
  const fs::path in = Write(dir / kName, Layout(avi::AudioKind::Aac), chunks, INT64_MAX);
  const repair::PrepareOutcome r = Prepare(in, dir / "temp");
  ASSERT_EQ(r.result, repair::PrepareResult::Rebuilt);
  const auto index = fixtures::ReadIndex(ReadAll(r.output));
  ASSERT_EQ(index.size(), 8u);
  const uint32_t expected[] = {0x10, 0x10, 0, 0, 0, 0, 0x10, 0x10};
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(index[i].flags, expected[i]) << i;
}

TEST(AviRebuild, CutOffRecordingWithSoundKeepsEveryStreamList) {
  testsupport::TempFolder dir;
  std::vector<Chunk> chunks;
  for (int k = 0; k < 30; ++k) {
    chunks.push_back({"00dc", Video(k ? 0x41 : 0x67, 12)});
    chunks.push_back({"01wb", std::vector<uint8_t>(9, 1)});
    if (k % 10 == 0) chunks.push_back({"02tx", Text(k * 33, 4)});
  }
  const fs::path in = Write(dir / kName, Layout(avi::AudioKind::Aac), chunks, INT64_MAX);
  const std::vector<uint8_t> before = ReadAll(in);
  const repair::PrepareOutcome r = Prepare(in, dir / "temp");
  ASSERT_EQ(r.result, repair::PrepareResult::Rebuilt);
  const std::vector<uint8_t> f = ReadAll(r.output);
  EXPECT_EQ(StreamTypes(f), (std::vector<std::string>{"vids", "auds", "txts"}));
  EXPECT_EQ(ReadLe32(&f[16]), ReadLe32(&before[16])) << "the list size counts exactly what is written";
  EXPECT_EQ(ReadLe32(&f[56]), 3u);
  EXPECT_EQ(ReadLe32(&f[4]), f.size() - 8);
  ExpectIndexMatchesChunks(f);
  FileByteSource source(r.output);
  avi::AviReader reader(source);
  ASSERT_TRUE(reader.Open());
  EXPECT_EQ(reader.TelemetryStream(), 2);
  EXPECT_EQ(reader.CountChunks(avi::ChunkKind::Text), 3u);
  EXPECT_EQ(reader.CountChunks(avi::ChunkKind::Audio), 30u);
}

TEST(AviRebuild, ScanStopsAtAGarbageSizeOrAForeignId) {
  testsupport::TempFolder dir;
  const std::vector<Chunk> chunks = {{"00dc", Video(0x67, 8)}, {"01tx", Text(0, 4)}, {"00dc", Video(0x41, 8)}};
  for (const std::string& tail : {std::string("00dc\xF0\xFF\xFF\x7F"), std::string("JUNK\x04\0\0\0abcd", 12)}) {
    const fs::path in = Write(dir / kName, Layout(avi::AudioKind::None), chunks, INT64_MAX);
    std::vector<uint8_t> bytes = ReadAll(in);
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    const std::vector<uint8_t> more = {'0', '0', 'd', 'c', 8, 0, 0, 0, 0, 0, 0, 1, 0x41, 0, 0, 0};
    bytes.insert(bytes.end(), more.begin(), more.end());
    testsupport::WriteAll(in, bytes);
    const repair::PrepareOutcome r = Prepare(in, dir / "temp");
    ASSERT_EQ(r.result, repair::PrepareResult::Rebuilt);
    const std::vector<uint8_t> f = ReadAll(r.output);
    EXPECT_EQ(fixtures::ReadIndex(f).size(), 3u);
    EXPECT_EQ(ReadLe32(&f[48]), 2u);
    ExpectIndexMatchesChunks(f);
  }
}

TEST(AviRebuild, NoCompleteChunkLeavesAnEmptyOutput) {
  testsupport::TempFolder dir;
  const std::vector<Chunk> chunks = {{"00dc", Video(0x67, 100)}};
  const fs::path whole = Write(dir / "w.avi", Layout(avi::AudioKind::None), chunks, INT64_MAX);
  const fs::path in =
      Write(dir / kName, Layout(avi::AudioKind::None), chunks, static_cast<int64_t>(fs::file_size(whole)) - 50);
  const repair::PrepareOutcome r = Prepare(in, dir / "temp");
  EXPECT_EQ(r.result, repair::PrepareResult::RebuildFailed);
  EXPECT_EQ(r.rebuild, repair::RebuildResult::NoChunks);
  EXPECT_EQ(fs::file_size(r.output), 0u);
}

TEST(AviRebuild, GarbageHeaderEndsCleanly) {
  testsupport::TempFolder dir;
  std::vector<uint8_t> bytes(400, 0xAB);
  avi::WriteLe32(&bytes[4], 0);
  avi::WriteLe32(&bytes[16], 200);
  testsupport::WriteAll(dir / kName, bytes);
  const repair::PrepareOutcome r = Prepare(dir / kName, dir / "temp");
  EXPECT_EQ(r.result, repair::PrepareResult::RebuildFailed);
  EXPECT_EQ(r.rebuild, repair::RebuildResult::BadHeader);
  avi::WriteLe32(&bytes[16], 0x7FFFFFFF);  // a header list far past the end
  testsupport::WriteAll(dir / kName, bytes);
  EXPECT_EQ(Prepare(dir / kName, dir / "temp").result, repair::PrepareResult::NotReadable);
  testsupport::WriteAll(dir / kName, {'R', 'I', 'F', 'F'});
  EXPECT_EQ(Prepare(dir / kName, dir / "temp").result, repair::PrepareResult::NotReadable);
}

TEST(AviRebuild, TemporaryNamesStayInsideTheTemporaryFolder) {
  const fs::path temp = "/tmp/t";
  for (const std::string name : {"../../etc/passwd", "a/../../b.avi", "..", "", "/abs/x.avi", "c\\..\\d"}) {
    const fs::path p = repair::TemporaryPath(temp, name, repair::kHeaderSuffix);
    EXPECT_EQ(p.parent_path(), temp) << name;
    EXPECT_EQ(p.filename().string().find('/'), std::string::npos) << name;
    EXPECT_NE(p.filename(), "..") << name;
  }
  EXPECT_EQ(repair::TemporaryPath(temp, "REC_1.avi", repair::kRepairSuffix), temp / "REC_1.avi_REPAIR.avi");
  const std::string longName(400, 'x');
  EXPECT_LT(repair::TemporaryPath(temp, longName, repair::kAddAudioSuffix).filename().string().size(), 255u);
}

TEST(AviRebuild, RecordingNamedWithDotsAndSlashesIsRebuiltInsideTheTemporaryFolder) {
  testsupport::TempFolder dir;
  const fs::path in = Write(dir / "in.avi", Layout(avi::AudioKind::None), {{"00dc", Video(0x67, 8)}}, INT64_MAX);
  fs::create_directories(dir / "a" / "temp");
  const repair::PrepareOutcome r = Prepare(in, dir / "a" / "temp", "../../escape.avi");
  ASSERT_EQ(r.result, repair::PrepareResult::Rebuilt);
  EXPECT_EQ(r.output.parent_path(), dir / "a" / "temp");
  size_t outside = 0;
  for (const auto& e : fs::directory_iterator(dir.Path())) outside += e.path().filename() != "a" && e.path() != in;
  EXPECT_EQ(outside, 0u);
}

}  // namespace
