// A local recording is rebuilt straight from its own bytes; a card recording is first
// copied into the temporary header and body files. Both roads must write the same
// bytes, and only the card road leaves those files behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "sources/avi/AviFormat.h"
#include "sources/avi/ByteSourceView.h"
#include "sources/avi/FileByteSource.h"
#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "tools/repair/AviRebuild.h"
#include "tools/repair/RecordingRebuild.h"

namespace {

namespace fs = std::filesystem;

// Stands in for a card file: any source that is not a local file, read in the small
// pieces the card library hands out.
class CardLikeSource : public ByteSource {
 public:
  explicit CardLikeSource(const fs::path& path) : file(path) {}
  int64_t Size() const override { return file.Size(); }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t count) override {
    return file.ReadAt(offset, buffer, std::min<int64_t>(count, kPiece));
  }
  static constexpr int64_t kPiece = 32 * 1024;

 private:
  FileByteSource file;
};

struct Case {
  const char* name;
  int cameras;
  double seconds;
  avi::AudioKind audio;
  double cutAt;  // share of the file; 0: intact
};

class InPlaceRebuild : public ::testing::TestWithParam<Case> {};

int64_t CountFiles(const fs::path& folder, const std::string& suffix) {
  int64_t n = 0;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    n += name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
  }
  return n;
}

TEST_P(InPlaceRebuild, LocalAndTemporaryFileRoadsWriteTheSameBytes) {
  const Case c = GetParam();
  testsupport::TempFolder dir;
  simulator::RecordOptions o = fixtures::SmallOptions(c.cameras, c.seconds, c.audio);
  const fs::path whole = fixtures::Record(o, dir / "whole.avi");
  fs::path in = whole;
  if (c.cutAt > 0) {
    o.cutAt = static_cast<int64_t>(static_cast<double>(fs::file_size(whole)) * c.cutAt) | 1;
    in = fixtures::Record(o, dir / (std::string(c.name) + ".avi"));
  }
  const std::vector<uint8_t> before = testsupport::ReadAll(in);
  const std::string name = in.filename().string();

  FileByteSource local(in);
  const repair::PrepareOutcome a = repair::PrepareRecording(local, name, dir / "local");
  ASSERT_EQ(a.result, repair::PrepareResult::Rebuilt) << repair::RebuildResultText(a.rebuild);
  EXPECT_EQ(CountFiles(dir / "local", "_hdlr") + CountFiles(dir / "local", "_movi"), 0)
      << "a local recording is not copied before its rebuild";

  CardLikeSource card(in);
  const repair::PrepareOutcome b = repair::PrepareRecording(card, name, dir / "card");
  ASSERT_EQ(b.result, repair::PrepareResult::Rebuilt) << repair::RebuildResultText(b.rebuild);
  EXPECT_EQ(a.output.filename(), b.output.filename());

  const std::vector<uint8_t> rebuilt = testsupport::ReadAll(a.output);
  ASSERT_GT(rebuilt.size(), before.size() / 2);
  EXPECT_TRUE(rebuilt == testsupport::ReadAll(b.output)) << "the two roads differ";
  EXPECT_TRUE(testsupport::ReadAll(in) == before) << "the recording is only read";

  // The card road keeps its temporary files: the head and everything after it.
  const size_t headEnd = 20 + avi::ReadLe32(&before[16]);
  const std::vector<uint8_t> header =
      testsupport::ReadAll(repair::TemporaryPath(dir / "card", name, repair::kHeaderSuffix));
  const std::vector<uint8_t> body =
      testsupport::ReadAll(repair::TemporaryPath(dir / "card", name, repair::kBodySuffix));
  EXPECT_TRUE(header == std::vector<uint8_t>(before.begin(), before.begin() + static_cast<std::ptrdiff_t>(headEnd)));
  EXPECT_TRUE(body == std::vector<uint8_t>(before.begin() + static_cast<std::ptrdiff_t>(headEnd), before.end()));

  // Views over a source that is not a file copy through reads: the same bytes again.
  ByteSourceView headerView(card, 0, static_cast<int64_t>(headEnd));
  ByteSourceView bodyView(card, static_cast<int64_t>(headEnd));
  const repair::RecordingHead head = [&] {
    repair::RecordingHead h;
    EXPECT_TRUE(repair::ReadRecordingHead(card, h));
    return h;
  }();
  const fs::path viaReads = dir / "via-reads.avi";
  ASSERT_EQ(repair::RebuildRecording(viaReads, headerView, bodyView, head.noAudio, head.riffSize),
            repair::RebuildResult::Rebuilt);
  EXPECT_TRUE(testsupport::ReadAll(viaReads) == rebuilt);
}

INSTANTIATE_TEST_SUITE_P(Recordings, InPlaceRebuild,
                         ::testing::Values(Case{"cut_with_sound", 1, 2, avi::AudioKind::Aac, 0.6},
                                           Case{"cut_without_sound", 1, 2, avi::AudioKind::None, 0.7},
                                           Case{"intact_without_sound", 1, 2, avi::AudioKind::None, 0},
                                           Case{"two_cameras_pcm_cut", 2, 2, avi::AudioKind::Pcm, 0.55}),
                         [](const ::testing::TestParamInfo<Case>& p) { return std::string(p.param.name); });

TEST(ByteSourceView, ReadsOnlyItsWindowOfTheBase) {
  testsupport::TempFolder dir;
  std::vector<uint8_t> bytes(100);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
  testsupport::WriteAll(dir / "f", bytes);
  FileByteSource file(dir / "f");

  ByteSourceView window(file, 10, 20);
  EXPECT_EQ(window.Size(), 20);
  uint8_t got[40] = {};
  EXPECT_EQ(window.ReadAt(15, got, 40), 5) << "clipped at the window's end";
  EXPECT_EQ(got[0], 25);
  EXPECT_EQ(got[4], 29);
  EXPECT_EQ(window.ReadAt(20, got, 1), 0);
  EXPECT_EQ(window.ReadAt(-1, got, 1), -1);

  ByteSourceView rest(file, 90);
  EXPECT_EQ(rest.Size(), 10);
  EXPECT_EQ(rest.ReadAt(0, got, 40), 10);
  EXPECT_EQ(got[9], 99);
  EXPECT_EQ(rest.ReadAt(std::numeric_limits<int64_t>::max(), got, 1), 0) << "no overflow past the base";

  ByteSourceView past(file, 150, 10);
  EXPECT_EQ(past.Size(), 0);
  EXPECT_EQ(past.ReadAt(0, got, 1), 0);
}

TEST(InPlaceRebuild, ShortBodyOfALocalFileEndsCleanly) {
  // A body view that promises more than the file holds (the file shrank after its
  // head was read): the scan stops at what is there and the rebuild still succeeds.
  testsupport::TempFolder dir;
  simulator::RecordOptions o = fixtures::SmallOptions(1, 1, avi::AudioKind::None);
  const fs::path whole = fixtures::Record(o, dir / "w.avi");
  o.cutAt = static_cast<int64_t>(fs::file_size(whole)) / 2;
  const fs::path in = fixtures::Record(o, dir / "cut.avi");
  FileByteSource file(in);
  repair::RecordingHead head;
  ASSERT_TRUE(repair::ReadRecordingHead(file, head));
  ByteSourceView header(file, 0, static_cast<int64_t>(head.bytes.size()));
  ByteSourceView body(file, static_cast<int64_t>(head.bytes.size()), int64_t{1} << 40);
  EXPECT_EQ(repair::RebuildRecording(dir / "out.avi", header, body, head.noAudio, head.riffSize),
            repair::RebuildResult::Rebuilt);
  const std::vector<uint8_t> f = testsupport::ReadAll(dir / "out.avi");
  EXPECT_EQ(avi::ReadLe32(&f[4]), f.size() - 8);
}

}  // namespace
