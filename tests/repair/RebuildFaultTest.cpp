// The rebuild when the world goes wrong under it: a temporary folder that cannot be
// written or fills up, a recording whose reads fail or come back short half-way, a
// header that is not a recording's. Each time: a clear result, nothing half-written
// in the temporary folder, the recording itself untouched.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"
#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/FaultyByteSource.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "tools/repair/AviRebuild.h"
#include "tools/repair/RecordingRebuild.h"

namespace {

namespace fs = std::filesystem;
using testsupport::FaultyByteSource;
using testsupport::FileSizeLimit;

constexpr const char* kName = "REC_20240512_083015_1.avi";

std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) names.push_back(e.path().filename().string());
  return names;
}

class RebuildFault : public ::testing::Test {
 protected:
  // A recording without sound (so every road rebuilds it): cut off, or intact.
  fs::path Recording(bool cutOff) {
    simulator::RecordOptions options = fixtures::SmallOptions(1, 3, avi::AudioKind::None);
    if (cutOff) options.cutAt = 60000;
    const fs::path path = fixtures::Record(options, dir_ / (cutOff ? "cut.avi" : "intact.avi"));
    original_ = testsupport::ReadAll(path);
    return path;
  }
  void ExpectUntouched(const fs::path& path) { EXPECT_EQ(testsupport::ReadAll(path), original_) << path; }

  testsupport::TempFolder dir_;
  fs::path temp_ = dir_.Path() / "temp";
  std::vector<uint8_t> original_;
};

TEST_F(RebuildFault, HeaderWhoseFormIsNotAviIsRefusedNotRebuiltIntoAnUnreadableFile) {
  // Found by fuzz_rebuild: "AVI/" for "AVI " was rebuilt, and the result was a file
  // the reader (and the player) refuse, reported as rebuilt.
  for (const size_t at : {size_t{8}, size_t{20}}) {
    const fs::path in = Recording(true);
    std::vector<uint8_t> bytes = original_;
    bytes[at + 3] = '/';
    testsupport::WriteAll(in, bytes);
    FileByteSource source(in);
    const repair::PrepareOutcome r = repair::PrepareRecording(source, kName, temp_);
    EXPECT_EQ(r.result, repair::PrepareResult::RebuildFailed) << at;
    EXPECT_EQ(r.rebuild, repair::RebuildResult::BadHeader) << at;
    EXPECT_TRUE(FilesIn(temp_).empty()) << "no output, not even an empty one";
  }
}

TEST_F(RebuildFault, TemporaryFolderThatCannotBeCreatedFailsClearlyOnBothRoads) {
  // A file where the folder should be: no process, root included, can write there.
  testsupport::WriteAll(temp_, {'x'});
  const fs::path in = Recording(true);
  FileByteSource local(in);
  const repair::PrepareOutcome a = repair::PrepareRecording(local, kName, temp_);
  EXPECT_EQ(a.result, repair::PrepareResult::RebuildFailed);
  EXPECT_EQ(a.rebuild, repair::RebuildResult::CannotWrite);
  EXPECT_EQ(a.writeError, ENOTDIR) << "the reason the viewer shows";
  FaultyByteSource card(local);  // not a local file: the road through temporary copies
  const repair::PrepareOutcome b = repair::PrepareRecording(card, kName, temp_);
  EXPECT_EQ(b.result, repair::PrepareResult::CannotCreateFiles);
  EXPECT_EQ(b.writeError, ENOTDIR);
  EXPECT_EQ(FilesIn(dir_.Path()).size(), 2u) << "only the recording and the file in the way";
  ExpectUntouched(in);
}

TEST_F(RebuildFault, DiskFillingUpDuringTheRebuildLeavesNothingAndARetrySucceeds) {
  for (const bool cutOff : {true, false}) {
    SCOPED_TRACE(cutOff ? "repair" : "silent track");
    const fs::path in = Recording(cutOff);
    FileByteSource local(in);
    repair::PrepareOutcome full;
    {
      const FileSizeLimit limit(original_.size() / 2);
      full = repair::PrepareRecording(local, kName, temp_);
    }
    EXPECT_EQ(full.result, repair::PrepareResult::RebuildFailed);
    EXPECT_EQ(full.rebuild, repair::RebuildResult::CannotWrite);
    EXPECT_EQ(full.writeError, EFBIG) << "a full disk, told apart from a damaged recording";
    EXPECT_TRUE(FilesIn(temp_).empty()) << "neither the output nor its partial file";
    ExpectUntouched(in);
    // With room again the next load rebuilds it: a half-written _AddAudio.avi would
    // have been taken for a finished one and reused.
    const repair::PrepareOutcome again = repair::PrepareRecording(local, kName, temp_);
    ASSERT_EQ(again.result, repair::PrepareResult::Rebuilt);
    FileByteSource rebuilt(again.output);
    avi::AviReader reader(rebuilt);
    EXPECT_TRUE(reader.Open());
    EXPECT_FALSE(reader.IsCutOff());
    EXPECT_EQ(FilesIn(temp_), std::vector<std::string>{again.output.filename().string()});
    fs::remove_all(temp_);
  }
}

TEST_F(RebuildFault, DiskFillingUpWhileCopyingFromTheCardLeavesNoCopies) {
  const fs::path in = Recording(true);
  FileByteSource local(in);
  FaultyByteSource card(local);
  repair::PrepareOutcome r;
  {
    const FileSizeLimit limit(original_.size() / 2);
    r = repair::PrepareRecording(card, kName, temp_);
  }
  EXPECT_EQ(r.result, repair::PrepareResult::CannotCreateFiles);
  EXPECT_EQ(r.writeError, EFBIG);
  EXPECT_TRUE(FilesIn(temp_).empty()) << "no half-written _hdlr or _movi";
  ExpectUntouched(in);
}

TEST_F(RebuildFault, CardReadFailingHalfWayIsAFailureNotAShorterRecording) {
  const fs::path in = Recording(true);
  FileByteSource local(in);
  FaultyByteSource card(local, static_cast<int64_t>(original_.size() / 2));
  const repair::PrepareOutcome r = repair::PrepareRecording(card, kName, temp_);
  EXPECT_EQ(card.Failures(), 1);
  // Before: the failed read ended the body, and half the recording was "repaired".
  EXPECT_EQ(r.result, repair::PrepareResult::CannotCreateFiles);
  EXPECT_EQ(r.writeError, 0) << "the card failed, not the temporary folder";
  EXPECT_TRUE(FilesIn(temp_).empty());
  ExpectUntouched(in);
}

TEST_F(RebuildFault, RecordingEndingSoonerThanItsSizeIsRepairedUpToItsLastWholeChunk) {
  // Truncated while copied: the reads end early, as they would at a power cut.
  const fs::path in = Recording(true);
  FileByteSource local(in);
  FaultyByteSource whole(local);
  const repair::PrepareOutcome a = repair::PrepareRecording(whole, kName, temp_ / "a");
  FaultyByteSource truncated(local, FaultyByteSource::kNever, static_cast<int64_t>(original_.size() / 2));
  const repair::PrepareOutcome b = repair::PrepareRecording(truncated, kName, temp_ / "b");
  ASSERT_EQ(a.result, repair::PrepareResult::Rebuilt);
  ASSERT_EQ(b.result, repair::PrepareResult::Rebuilt);
  FileByteSource fileA(a.output), fileB(b.output);
  avi::AviReader readerA(fileA), readerB(fileB);
  ASSERT_TRUE(readerA.Open());
  ASSERT_TRUE(readerB.Open());
  EXPECT_GT(readerB.TotalFrames(), 0u);
  EXPECT_LT(readerB.TotalFrames(), readerA.TotalFrames());
  EXPECT_EQ(readerB.TotalFrames(), readerB.CountChunks(avi::ChunkKind::Video));
}

TEST_F(RebuildFault, RecordingFailingToReadInPlaceLeavesNoOutput) {
  // The local road reads the body through views of the file; a view over a failing
  // source stands for a drive pulled out during the rebuild.
  const fs::path in = Recording(true);
  FileByteSource local(in);
  repair::RecordingHead head;
  ASSERT_TRUE(repair::ReadRecordingHead(local, head));
  FaultyByteSource failing(local, static_cast<int64_t>(original_.size() / 2));
  ByteSourceView header(failing, 0, static_cast<int64_t>(head.bytes.size()));
  ByteSourceView body(failing, static_cast<int64_t>(head.bytes.size()));
  fs::create_directories(temp_);
  const fs::path out = temp_ / "out.avi";
  EXPECT_EQ(repair::RebuildRecording(out, header, body, head.noAudio, head.riffSize),
            repair::RebuildResult::CannotWrite);
  EXPECT_TRUE(FilesIn(temp_).empty());
}

}  // namespace
