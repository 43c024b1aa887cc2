// A card that fails under the viewer: its image cut short in the middle of a
// recording (the reads there fail, as a card with bad sectors or one pulled out
// mid-read), or removed altogether while its recordings are listed. Listing,
// copying, reading through KovrByteSource and rebuilding each fail clearly, leave
// nothing half-written and never write to the card.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "sources/CardRecording.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/KovrByteSource.h"
#include "tests/card/CardTestSupport.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

using namespace kovrtest;
using namespace testsupport;
using namespace cardtest;

namespace {

constexpr const char* kName = "REC_20240101_120000_1.avi";

std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) names.push_back(e.path().filename().string());
  return names;
}

class CardFault : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareCollection(set_);
    image_ = MakeFormattedCard(temp_.Path());
    ASSERT_FALSE(image_.empty());
    fs::create_directories(temp_.Path() / "recorded");
    // Cut off and without sound: the viewer copies it from the card to rebuild it.
    recording_ = Record(temp_.Path() / "recorded", kName, "--cameras 1 --audio none --cut-at 90000");
    ASSERT_FALSE(recording_.empty());
    bytes_ = ReadAll(recording_);
    {
      Card card(image_);
      ASSERT_GT(card.Put("NORMAL", kName, bytes_), 0);
    }
    SourceEntry source;
    source.kind = kSourceCard;
    std::snprintf(source.physicalPath, sizeof source.physicalPath, "%s", image_.c_str());
    ASSERT_TRUE(set_.OpenCard(source));
    ASSERT_EQ(set_.ListAll(list_), 1);
    // The recording is the first file of the first area (NORMAL).
    const Geometry g = ReadGeometry(image_);
    recordingStart_ = g.partitionStart + Le64(ReadBytesAt(image_, g.partitionStart, 4096).data() + 128 + 80);
    directory_ = ReadBytesAt(image_, g.directoryStart, 4096);
    directoryStart_ = g.directoryStart;
  }

  // Cuts the image `into` bytes into the recording, off a sector boundary.
  void CutImage(uint64_t into) { fs::resize_file(image_, recordingStart_ + into); }

  void ExpectCardUnwritten() { EXPECT_EQ(ReadBytesAt(image_, directoryStart_, 4096), directory_); }

  TempFolder temp_;
  RecordingCollection set_;
  MemoryRecordingList list_;
  std::string image_;
  fs::path recording_;
  std::vector<unsigned char> bytes_;
  uint64_t recordingStart_ = 0;
  uint64_t directoryStart_ = 0;
  std::vector<unsigned char> directory_;
};

TEST_F(CardFault, ImageCutInTheMiddleOfARecordingStillListsButCopiesNothingHalf) {
  const uint64_t cut = bytes_.size() / 2 + 333;
  CutImage(cut);
  // The directory was read when the card was opened: the listing stands.
  EXPECT_EQ(set_.ListAll(list_), 1);
  ASSERT_EQ(list_.rows.size(), 1u);
  EXPECT_EQ(list_.rows[0][5], kName);

  // A copy over an existing file: before, the file was emptied and half the
  // recording left in its place.
  const fs::path copy = temp_.Path() / "copy.avi";
  std::ofstream(copy) << "keep";
  EXPECT_FALSE(set_.SaveRecordingCopy(0, copy.string()));
  EXPECT_EQ(ReadAll(copy), (std::vector<unsigned char>{'k', 'e', 'e', 'p'}));
  const fs::path fresh = temp_.Path() / "fresh.avi";
  EXPECT_FALSE(set_.SaveRecordingCopy(0, fresh.string()));
  EXPECT_FALSE(fs::exists(fresh));
  EXPECT_FALSE(fs::exists(fresh.string() + ".partial"));
  ExpectCardUnwritten();
}

TEST_F(CardFault, ImageCutInTheMiddleOfARecordingReadsUpToTheCutThroughKovrByteSource) {
  const uint64_t cut = bytes_.size() / 2 + 333;
  CutImage(cut);
  const RecordingEntry* entry = set_.EntryForRow(0);
  ASSERT_NE(entry, nullptr);
  KovrByteSource source(set_.device.Block(), entry->fileName, entry->cardFileNumber);
  ASSERT_TRUE(source.IsOpen());
  EXPECT_EQ(source.Size(), static_cast<int64_t>(bytes_.size())) << "the size is the directory's";
  std::vector<unsigned char> got(bytes_.size());
  EXPECT_EQ(source.ReadAt(0, got.data(), static_cast<int64_t>(cut)), static_cast<int64_t>(cut));
  EXPECT_TRUE(std::equal(got.begin(), got.begin() + static_cast<std::ptrdiff_t>(cut), bytes_.begin()));
  // A read reaching past the cut fails; it never hands out bytes that are not there.
  EXPECT_EQ(source.ReadAt(static_cast<int64_t>(cut) - 10, got.data(), 100), -1);
  EXPECT_EQ(source.ReadAt(static_cast<int64_t>(cut) + 4096, got.data(), 100), -1);
  EXPECT_EQ(source.ReadAt(0, got.data(), 16), 16) << "the file stays readable before the cut";

  // The reader takes the chunks it can read whole and no others.
  avi::AviReader reader(source);
  ASSERT_TRUE(reader.Open());
  std::vector<uint8_t> data;
  size_t whole = 0;
  for (const avi::ChunkEntry& c : reader.Chunks()) {
    if (!reader.ReadChunk(c, data)) continue;
    ++whole;
    EXPECT_LE(c.offset + c.size, static_cast<int64_t>(cut));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), bytes_.begin() + c.offset));
  }
  EXPECT_GT(whole, 0u);
  ExpectCardUnwritten();
}

TEST_F(CardFault, ImageCutInTheMiddleOfARecordingIsNotRebuiltFromHalfOfIt) {
  CutImage(bytes_.size() / 2 + 333);
  const fs::path tempFolder = temp_.Path() / "temp";
  const repair::PrepareOutcome o = PrepareCardRecording(set_.device.Block(), *set_.EntryForRow(0), tempFolder);
  EXPECT_EQ(o.result, repair::PrepareResult::CannotCreateFiles);
  EXPECT_TRUE(FilesIn(tempFolder).empty()) << "no _hdlr, _movi or output left";
  ExpectCardUnwritten();
}

TEST_F(CardFault, ImageEmptiedUnderTheListFailsEveryReadCleanly) {
  // What a card reader shows once the card is gone: a medium of no bytes.
  fs::resize_file(image_, 0);
  EXPECT_EQ(set_.ListAll(list_), 1);
  const fs::path copy = temp_.Path() / "copy.avi";
  EXPECT_FALSE(set_.SaveRecordingCopy(0, copy.string()));
  EXPECT_FALSE(fs::exists(copy));
  EXPECT_FALSE(fs::exists(copy.string() + ".partial"));
  const fs::path tempFolder = temp_.Path() / "temp";
  EXPECT_EQ(PrepareCardRecording(set_.device.Block(), *set_.EntryForRow(0), tempFolder).result,
            repair::PrepareResult::NotReadable);
  EXPECT_TRUE(FilesIn(tempFolder).empty());
}

TEST_F(CardFault, ImageCutInsideItsDirectoryIsNotListedAtAll) {
  // A listing of half a directory would show some recordings as gone.
  set_.CloseCard();
  fs::resize_file(image_, directoryStart_ + 1000);
  RecordingCollection fresh;
  PrepareCollection(fresh);
  SourceEntry source;
  source.kind = kSourceCard;
  std::snprintf(source.physicalPath, sizeof source.physicalPath, "%s", image_.c_str());
  testing::internal::CaptureStdout();
  EXPECT_FALSE(fresh.OpenCard(source));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "KOVR drive cannot be opened\n");
  EXPECT_EQ(fresh.EntryCount(), 0);
  EXPECT_FALSE(fresh.device.IsOpen());
}

TEST_F(CardFault, ImageRemovedWhileListedKeepsTheOpenCardAndRefusesANewOpen) {
  ASSERT_EQ(::unlink(image_.c_str()), 0);
  // The open connection still holds the card, as a mounted card being pulled holds
  // its last state until closed: listing and copying go on.
  EXPECT_EQ(set_.ListAll(list_), 1);
  const fs::path copy = temp_.Path() / "copy.avi";
  ASSERT_TRUE(set_.SaveRecordingCopy(0, copy.string()));
  EXPECT_EQ(ReadAll(copy), bytes_);
  EXPECT_EQ(KovrByteSource::OpenOnCard(image_, "NORMAL", kName), nullptr);

  SourceEntry source;
  source.kind = kSourceCard;
  std::snprintf(source.physicalPath, sizeof source.physicalPath, "%s", image_.c_str());
  testing::internal::CaptureStdout();
  EXPECT_FALSE(set_.OpenCard(source));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "KOVR drive cannot be opened\n");
  // A failed open keeps the set it would have replaced, card connection included.
  EXPECT_TRUE(set_.device.IsOpen());
  EXPECT_EQ(set_.ListAll(list_), 1);
  set_.CloseCard();
  EXPECT_FALSE(set_.SaveRecordingCopy(0, (temp_.Path() / "again.avi").string()));
  EXPECT_FALSE(fs::exists(temp_.Path() / "again.avi"));
}

}  // namespace
