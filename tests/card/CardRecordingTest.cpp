// Card recordings on their way to the player: straight from the card, or rebuilt.

#include <gtest/gtest.h>

#include "sources/CardRecording.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"
#include "tests/card/CardTestSupport.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

using namespace kovrtest;
using namespace testsupport;
using namespace cardtest;

namespace {

class CardRecordingOpen : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareCollection(set_);
    image_ = MakeFormattedCard(temp_.Path());
    ASSERT_FALSE(image_.empty());
    tempFolder_ = temp_.Path() / "temp";
    recordings_ = temp_.Path() / "recorded";
    fs::create_directories(recordings_);
  }

  // Puts a recording on the card (cut = never closed) and opens the card as a source.
  const RecordingEntry* PutAndOpen(const fs::path& rec, const std::string& folder, bool close = true) {
    {
      Card card(image_);
      if (card.Put(folder, rec.filename().string(), ReadAll(rec), close, 65536) <= 0) return nullptr;
    }
    SourceEntry source;
    source.kind = kSourceCard;
    std::snprintf(source.physicalPath, sizeof source.physicalPath, "%s", image_.c_str());
    if (!set_.OpenCard(source)) return nullptr;
    for (int i = 0; i < set_.EntryCount(); ++i)
      if (set_.EntryAt(i)->fileName == rec.filename().string()) return set_.EntryAt(i);
    return nullptr;
  }

  TempFolder temp_;
  RecordingCollection set_;
  std::string image_;
  fs::path tempFolder_, recordings_;
};

TEST_F(CardRecordingOpen, IntactRecordingWithSoundPlaysFromTheCardUncopied) {
  const fs::path rec = Record(recordings_, "REC_20240101_120000_2.avi", "--cameras 2 --audio aac");
  ASSERT_FALSE(rec.empty());
  const RecordingEntry* entry = PutAndOpen(rec, "NORMAL");
  ASSERT_NE(nullptr, entry);
  const repair::PrepareOutcome o = PrepareCardRecording(set_.device.Block(), *entry, tempFolder_);
  EXPECT_EQ(repair::PrepareResult::PlayDirectly, o.result);
  EXPECT_FALSE(fs::exists(tempFolder_)) << "nothing is copied for an intact recording with sound";
}

TEST_F(CardRecordingOpen, CutOffRecordingIsRebuiltFromTheCard) {
  const fs::path rec =
      Record(recordings_, "EVT_20240101_120000_2.avi", "--cameras 2 --audio aac --type EVT --cut-at 150000");
  ASSERT_FALSE(rec.empty());
  const RecordingEntry* entry = PutAndOpen(rec, "EVENT", /*close=*/false);
  ASSERT_NE(nullptr, entry);
  const repair::PrepareOutcome o = PrepareCardRecording(set_.device.Block(), *entry, tempFolder_);
  ASSERT_EQ(repair::PrepareResult::Rebuilt, o.result);
  EXPECT_EQ(tempFolder_ / "EVT_20240101_120000_2.avi_REPAIR.avi", o.output);
  // The temporary body holds exactly what followed the header on the card.
  FileByteSource cut;
  ASSERT_TRUE(cut.Open(rec));
  avi::AviReader original(cut);
  ASSERT_TRUE(original.Open());
  EXPECT_TRUE(original.IsCutOff());
  FileByteSource rebuiltFile;
  ASSERT_TRUE(rebuiltFile.Open(o.output));
  avi::AviReader rebuilt(rebuiltFile);
  ASSERT_TRUE(rebuilt.Open());
  EXPECT_FALSE(rebuilt.IsCutOff());
  EXPECT_TRUE(rebuilt.HasIndex());
  EXPECT_EQ(static_cast<uint32_t>(rebuilt.CountChunks(avi::ChunkKind::Video)), rebuilt.TotalFrames());
  EXPECT_EQ(fs::file_size(rec) - fs::file_size(tempFolder_ / "EVT_20240101_120000_2.avi_hdlr"),
            fs::file_size(tempFolder_ / "EVT_20240101_120000_2.avi_movi"));
}

TEST_F(CardRecordingOpen, SoundlessRecordingIsRebuiltOnceAndThenReused) {
  const fs::path rec = Record(recordings_, "PRK_20240101_120000_1.avi", "--cameras 1 --audio none --type PRK");
  ASSERT_FALSE(rec.empty());
  const RecordingEntry* entry = PutAndOpen(rec, "PARKING");
  ASSERT_NE(nullptr, entry);
  const repair::PrepareOutcome first = PrepareCardRecording(set_.device.Block(), *entry, tempFolder_);
  ASSERT_EQ(repair::PrepareResult::Rebuilt, first.result);
  EXPECT_EQ(tempFolder_ / "PRK_20240101_120000_1.avi_AddAudio.avi", first.output);
  FileByteSource out;
  ASSERT_TRUE(out.Open(first.output));
  avi::AviReader reader(out);
  ASSERT_TRUE(reader.Open());
  EXPECT_GE(reader.AudioStream(), 0) << "a silent track was added";
  const repair::PrepareOutcome second = PrepareCardRecording(set_.device.Block(), *entry, tempFolder_);
  EXPECT_EQ(repair::PrepareResult::Reused, second.result);
}

TEST_F(CardRecordingOpen, FileGoneFromTheCardIsNotReadable) {
  const fs::path rec = Record(recordings_, "REC_20240101_120000_1.avi", "--cameras 1 --audio none");
  ASSERT_FALSE(rec.empty());
  const RecordingEntry* entry = PutAndOpen(rec, "NORMAL");
  ASSERT_NE(nullptr, entry);
  RecordingEntry stale = *entry;
  stale.cardFileNumber += 50;
  EXPECT_EQ(repair::PrepareResult::NotReadable, PrepareCardRecording(set_.device.Block(), stale, tempFolder_).result);
  EXPECT_EQ(repair::PrepareResult::NotReadable, PrepareCardRecording(nullptr, *entry, tempFolder_).result);
}

TEST_F(CardRecordingOpen, HostileCardNameStaysInsideTheTemporaryFolder) {
  const fs::path rec = Record(recordings_, "REC_20240101_120000_1.avi", "--cameras 1 --audio none --cut-at 90000");
  ASSERT_FALSE(rec.empty());
  {
    Card card(image_);
    ASSERT_GT(card.Put("NORMAL", "placeholder", ReadAll(rec), false), 0);
  }
  // Another writer left a record named ".." (the library itself never writes one).
  const Geometry g = ReadGeometry(image_);
  std::vector<unsigned char> r = ReadBytesAt(image_, g.directoryStart, 128);
  std::memset(r.data(), 0, 98);
  std::memcpy(r.data(), "..", 2);
  PutLe32(r.data() + 124, Crc32(r.data(), 124));
  WriteBytesAt(image_, g.directoryStart, r.data(), r.size());
  SourceEntry source;
  source.kind = kSourceCard;
  std::snprintf(source.physicalPath, sizeof source.physicalPath, "%s", image_.c_str());
  ASSERT_TRUE(set_.OpenCard(source));
  ASSERT_EQ(1, set_.EntryCount());
  EXPECT_EQ("..", set_.EntryAt(0)->fileName);
  const repair::PrepareOutcome o = PrepareCardRecording(set_.device.Block(), *set_.EntryAt(0), tempFolder_);
  ASSERT_EQ(repair::PrepareResult::Rebuilt, o.result);
  const std::string inside = fs::weakly_canonical(o.output).string();
  EXPECT_EQ(0u, inside.find(fs::weakly_canonical(tempFolder_).string() + "/")) << inside;
  for (const auto& item : fs::directory_iterator(temp_.Path()))
    EXPECT_TRUE(item.is_directory() || item.path().extension() == ".img") << item.path();
}

}  // namespace
