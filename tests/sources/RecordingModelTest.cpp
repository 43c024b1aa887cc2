// The recording set: names to types and times, order, listings and row lookups.

#include <gtest/gtest.h>

#include <string>

#include "sources/MemoryRecordingList.h"
#include "sources/RecordingCollection.h"

namespace {

bool FakeLabels(int number, std::string& text) {
  text = "label" + std::to_string(number);
  return true;
}

bool NoLanguageLibrary(int, std::string& text) {
  text.clear();
  return false;
}

RecordingEntry Entry(const std::string& name, uint64_t sizeKiB = 1) {
  RecordingEntry entry;
  entry.folderIndex = 1;
  entry.fileName = name;
  entry.path = "/rec/" + name;
  entry.sizeKiB = sizeKiB;
  RecordingCollection::ParseRecordingName(name, entry);
  return entry;
}

// Records the calls a listing makes, in order.
class CallLog final : public RecordingList {
 public:
  void SetRedraw(bool on) override { calls += on ? "redraw-on " : "redraw-off "; }
  void DeleteAllItems() override { calls += "delete "; }
  void InsertRow(int row, const RecordingRow&) override { calls += "insert" + std::to_string(row) + " "; }
  std::string calls;
};

class RecordingModel : public ::testing::Test {
 protected:
  RecordingModel() { set.languageLookup = &FakeLabels; }
  RecordingCollection set;
  MemoryRecordingList list;
};

// --- construction ---

TEST_F(RecordingModel, StartsEmptyWithNoSourceAndTheFixedLabels) {
  EXPECT_EQ(set.sourceKind, kSourceNone);
  EXPECT_EQ(set.selectedSource, -1);
  EXPECT_EQ(set.sortMode, 1);
  EXPECT_FALSE(set.device.IsOpen());
  EXPECT_EQ(set.device.Block(), nullptr);
  EXPECT_EQ(set.ownerWindow, nullptr);
  EXPECT_EQ(set.folderItemLabel, "내 컴퓨터에서 찾기");
  EXPECT_EQ(set.defaultExtension, "avi");
  EXPECT_EQ(set.EntryCount(), 0);
  for (uint8_t present : set.typePresent) EXPECT_EQ(present, 0);
}

// --- card folders and extensions ---

TEST_F(RecordingModel, SecondAddCardFolderWithTheSameNameAddsNothing) {
  EXPECT_TRUE(set.AddCardFolder("NORMAL"));
  EXPECT_TRUE(set.AddCardFolder("INFINITE"));
  EXPECT_FALSE(set.AddCardFolder("NORMAL"));
  EXPECT_TRUE(set.AddCardFolder("normal"));  // case-sensitive
  ASSERT_EQ(set.cardFolders.size(), 3u);
  EXPECT_EQ(set.cardFolders[0].name, "NORMAL");
  EXPECT_STREQ(set.cardFolders[0].narrowName, "NORMAL");
  EXPECT_EQ(set.cardFolders[1].name, "INFINITE");
}

TEST_F(RecordingModel, CardFolderNarrowNameIsCutTo63CharactersAtACharacterBoundary) {
  const std::string ascii(80, 'A');
  EXPECT_TRUE(set.AddCardFolder(ascii));
  EXPECT_EQ(std::string(set.cardFolders[0].narrowName), std::string(63, 'A'));
  // 31 two-byte characters are 62 bytes; the 32nd would end past byte 63.
  std::string accented;
  for (int i = 0; i < 40; ++i) accented += "\xC3\xA9";
  EXPECT_TRUE(set.AddCardFolder(accented));
  EXPECT_EQ(std::string(set.cardFolders[1].narrowName).size(), 62u);
}

TEST_F(RecordingModel, AddExtensionStoresLowerCaseOnceAndRefusesEmpty) {
  EXPECT_FALSE(set.AddExtension(""));
  EXPECT_TRUE(set.AddExtension("AVI"));
  EXPECT_FALSE(set.AddExtension("avi"));
  EXPECT_FALSE(set.AddExtension("Avi"));
  ASSERT_EQ(set.extensions.size(), 1u);
  EXPECT_EQ(set.extensions[0], "avi");
}

TEST_F(RecordingModel, AdmissionComparesTheTextAfterTheLastDotInLowerCase) {
  set.AddExtension("AVI");
  EXPECT_FALSE(set.IsAdmissibleName(""));
  EXPECT_TRUE(set.IsAdmissibleName("REC_20120315_134501_2.avi"));
  EXPECT_TRUE(set.IsAdmissibleName("REC.AVI"));
  EXPECT_TRUE(set.IsAdmissibleName("a.b.Avi"));
  EXPECT_FALSE(set.IsAdmissibleName("a.avi.txt"));
  EXPECT_FALSE(set.IsAdmissibleName("movie.mp4"));
  EXPECT_FALSE(set.IsAdmissibleName("trailingdot."));
  // Without a dot the whole name is the extension.
  EXPECT_TRUE(set.IsAdmissibleName("AVI"));
  EXPECT_FALSE(set.IsAdmissibleName("recording"));
}

// --- names to times ---

TEST(RecordingName, FixedPositionsGiveDateAndTimeWhateverTheSeparators) {
  RecordingEntry entry = Entry("REC#20120315x134501_2.avi");
  EXPECT_EQ(entry.recordTime.year, 2012);
  EXPECT_EQ(entry.recordTime.month, 3);
  EXPECT_EQ(entry.recordTime.day, 15);
  EXPECT_EQ(entry.recordTime.hour, 13);
  EXPECT_EQ(entry.recordTime.minute, 45);
  EXPECT_EQ(entry.recordTime.second, 1);
  EXPECT_EQ(entry.recordTime.dayOfWeek, 0);
  EXPECT_EQ(entry.recordTime.milliseconds, 0);
}

TEST(RecordingName, FileTimeCountsHundredNanosecondsSince1601) {
  // 2012-03-15 13:45:01 is 1331819101 s after 1970; 1970 is 11644473600 s after 1601.
  EXPECT_EQ(Entry("REC_20120315_134501_2.avi").fileTime, (1331819101LL + 11644473600LL) * 10000000LL);
  EXPECT_EQ(Entry("REC_16010101_000000_1.avi").fileTime, 0);  // the epoch itself
  EXPECT_EQ(Entry("REC_16010102_000000_1.avi").fileTime, 86400LL * 10000000LL);
}

TEST(RecordingName, InvalidCalendarTimeGivesFileTimeZero) {
  EXPECT_EQ(Entry("REC_20120230_134501_2.avi").fileTime, 0);  // 30 February
  EXPECT_EQ(Entry("REC_20121301_000000_2.avi").fileTime, 0);  // month 13
  EXPECT_EQ(Entry("REC_20120315_240000_2.avi").fileTime, 0);  // hour 24
  EXPECT_EQ(Entry("REC_16001231_235959_2.avi").fileTime, 0);  // before 1601
  EXPECT_NE(Entry("REC_20120229_000000_2.avi").fileTime, 0);  // leap day
  EXPECT_EQ(Entry("REC_21000229_000000_2.avi").fileTime, 0);  // 2100 is no leap year
}

TEST(RecordingName, ShortNameGivesZeroForEveryMissingField) {
  RecordingEntry entry = Entry("REC_2012031");
  EXPECT_EQ(entry.recordTime.year, 2012);
  EXPECT_EQ(entry.recordTime.month, 3);
  EXPECT_EQ(entry.recordTime.day, 1);
  EXPECT_EQ(entry.recordTime.hour, 0);
  EXPECT_EQ(entry.recordTime.minute, 0);
  EXPECT_EQ(entry.recordTime.second, 0);
  EXPECT_EQ(entry.fileTime, (1330560000LL + 11644473600LL) * 10000000LL);  // 2012-03-01 00:00

  RecordingEntry empty = Entry("");
  EXPECT_EQ(empty.recordTime.year, 0);
  EXPECT_EQ(empty.fileTime, 0);
}

TEST(RecordingName, AtoiStopsAtNonDigitsAndReadsSignsAndBlanks) {
  RecordingEntry entry = Entry("REC_12ab 3-4_ 5+6x7_2.avi");
  // year "12ab" -> 12, month " 3" -> 3, day "-4" -> -4 (stored modulo 2^16),
  // hour " 5" -> 5, minute "+6" -> 6, second "x7" -> 0.
  EXPECT_EQ(entry.recordTime.year, 12);
  EXPECT_EQ(entry.recordTime.month, 3);
  EXPECT_EQ(entry.recordTime.day, static_cast<uint16_t>(-4));
  EXPECT_EQ(entry.recordTime.hour, 5);
  EXPECT_EQ(entry.recordTime.minute, 6);
  EXPECT_EQ(entry.recordTime.second, 0);
  EXPECT_EQ(entry.fileTime, 0);
}

TEST(RecordingName, PositionsCountUtf16UnitsNotBytes) {
  // A two-byte character at position 3 takes one position, not two.
  RecordingEntry entry = Entry(
      "REC\xC3\xA9"
      "20120315_134501_2.avi");
  EXPECT_EQ(entry.recordTime.year, 2012);
  EXPECT_EQ(entry.recordTime.second, 1);
  EXPECT_EQ(RecordingCollection::ChannelCountFromName("REC\xC3\xA9"
                                                      "20120315_134501_2.avi"),
            2);
}

TEST(RecordingName, BinaryGarbageNeverCrashes) {
  std::string garbage;
  for (int i = 0; i < 256; ++i) garbage.push_back(static_cast<char>(255 - i));
  RecordingEntry entry = Entry(garbage);
  EXPECT_EQ(entry.fileTime, 0);
  EXPECT_EQ(RecordingCollection::GroupOfName(garbage), kGroupUnknown);
  EXPECT_EQ(RecordingCollection::ChannelCountFromName(garbage), 0);
  Entry(std::string("\xF0\x9F", 2));  // a cut-off four-byte character
  Entry(std::string(5, '\0'));
}

TEST(RecordingName, ChannelCountIsTheCharacterAtPosition20) {
  EXPECT_EQ(RecordingCollection::ChannelCountFromName("REC_20120315_134501_2.avi"), 2);
  EXPECT_EQ(RecordingCollection::ChannelCountFromName("REC_20120315_134501_1.avi"), 1);
  EXPECT_EQ(RecordingCollection::ChannelCountFromName("REC_20120315_134501_x.avi"), 0);
  EXPECT_EQ(RecordingCollection::ChannelCountFromName("REC_20120315_134501_"), 0);
  EXPECT_EQ(RecordingCollection::ChannelCountFromName("REC_20120315_134501_23"), 2);  // one digit only
  EXPECT_EQ(RecordingCollection::ChannelCountFromName(""), 0);
}

// --- types ---

TEST(RecordingType, CodesAreTheFirstThreeCharactersCaseSensitive) {
  EXPECT_EQ(RecordingCollection::GroupOfName("REC_20120315_134501_2.avi"), kGroupNormal);
  EXPECT_EQ(RecordingCollection::GroupOfName("EVT_20120315_134501_2.avi"), kGroupEvent);
  EXPECT_EQ(RecordingCollection::GroupOfName("PRK_20120315_134501_2.avi"), kGroupParking);
  EXPECT_EQ(RecordingCollection::GroupOfName("MDI_20120315_134501_2.avi"), kGroupParking);
  EXPECT_EQ(RecordingCollection::GroupOfName("MOT_20120315_134501_2.avi"), kGroupParking);
  EXPECT_EQ(RecordingCollection::GroupOfName("PAR_20120315_134501_2.avi"), kGroupUnknown);
  EXPECT_EQ(RecordingCollection::GroupOfName("rec_20120315_134501_2.avi"), kGroupUnknown);
  EXPECT_EQ(RecordingCollection::GroupOfName("RE"), kGroupUnknown);
  EXPECT_EQ(RecordingCollection::GroupOfName("REC"), kGroupNormal);
}

// --- order ---

TEST_F(RecordingModel, SortOrdersByTheDateTimePartThenBySize) {
  set.entries = {Entry("EVT_20120315_134501_2.avi", 10), Entry("REC_20110101_000000_1.avi", 5),
                 Entry("PRK_20120315_134501_2.avi", 3), Entry("REC_20120315_134500_2.avi", 99)};
  set.SortEntries();
  ASSERT_EQ(set.EntryCount(), 4);
  EXPECT_EQ(set.EntryAt(0)->fileName, "REC_20110101_000000_1.avi");
  EXPECT_EQ(set.EntryAt(1)->fileName, "REC_20120315_134500_2.avi");
  // Same date-time part: the smaller file first, whatever the type code.
  EXPECT_EQ(set.EntryAt(2)->fileName, "PRK_20120315_134501_2.avi");
  EXPECT_EQ(set.EntryAt(3)->fileName, "EVT_20120315_134501_2.avi");
}

TEST_F(RecordingModel, SortKeyIgnoresTheTypeCodeAndTheChannelCount) {
  set.entries = {Entry("AAA_20120315_134502_1.avi", 1), Entry("ZZZ_20120315_134501_2.avi", 1)};
  set.SortEntries();
  EXPECT_EQ(set.EntryAt(0)->fileName, "ZZZ_20120315_134501_2.avi");
}

TEST_F(RecordingModel, SortComparesUtf16CodeUnitsSoSupplementaryCharactersSortBeforeHighBmp) {
  // U+1F600 is the surrogate pair D83D DE00, which sorts before U+FF10 in UTF-16 order
  // although its code point (and its UTF-8 bytes) sort after.
  set.entries = {Entry("REC_\xEF\xBC\x90", 1), Entry("REC_\xF0\x9F\x98\x80", 1)};
  set.SortEntries();
  EXPECT_EQ(set.EntryAt(0)->fileName, "REC_\xF0\x9F\x98\x80");
}

TEST_F(RecordingModel, SortInvalidatesRowsOfAnEarlierListing) {
  set.entries = {Entry("REC_20120315_134502_1.avi"), Entry("REC_20120315_134501_1.avi")};
  EXPECT_EQ(set.ListAll(list), 2);
  set.SortEntries();
  EXPECT_EQ(set.EntryForRow(0), nullptr);
}

// --- listings ---

TEST_F(RecordingModel, ListAllFillsSixColumnsPerRowInOrder) {
  set.entries = {Entry("REC_20120315_134501_2.avi"), Entry("EVT_20120316_010203_1.avi"),
                 Entry("PAR_20120317_000000_1.avi")};
  EXPECT_EQ(set.ListAll(list), 3);
  ASSERT_EQ(list.rows.size(), 3u);
  const RecordingRow expected0 = {
      "1", "2012-03-15", "13:45:01", "label133", "/rec/REC_20120315_134501_2.avi", "REC_20120315_134501_2.avi"};
  EXPECT_EQ(list.rows[0], expected0);
  EXPECT_EQ(list.rows[1][0], "2");
  EXPECT_EQ(list.rows[1][1], "2012-03-16");
  EXPECT_EQ(list.rows[1][2], "01:02:03");
  EXPECT_EQ(list.rows[1][3], "label132");
  EXPECT_EQ(list.rows[2][3], "UnKnown");
  EXPECT_EQ(set.EntryForRow(2), set.EntryAt(2));
  EXPECT_TRUE(list.redraw);
  EXPECT_EQ(list.redrawChanges, 2);
}

TEST_F(RecordingModel, ListingsRefillWithRedrawingOffAndNumberRowsFromZero) {
  set.entries = {Entry("REC_20120315_134501_2.avi"), Entry("EVT_20120315_134502_2.avi"),
                 Entry("REC_20120315_134503_2.avi")};
  CallLog all;
  set.ListAll(all);
  EXPECT_EQ(all.calls, "redraw-off delete insert0 insert1 insert2 redraw-on ");
  CallLog group;
  set.ListGroup(group, kGroupNormal);
  EXPECT_EQ(group.calls, "redraw-off delete insert0 insert1 redraw-on ");
  CallLog empty;
  set.entries.clear();
  set.ListAll(empty);
  EXPECT_EQ(empty.calls, "");
  set.ListGroup(empty, kGroupEvent);
  EXPECT_EQ(empty.calls, "redraw-off delete redraw-on ");
}

TEST_F(RecordingModel, ParkingLabelsDifferForPrkAndMotionCodes) {
  set.entries = {Entry("PRK_20120315_134501_2.avi"), Entry("MDI_20120315_134502_2.avi"),
                 Entry("MOT_20120315_134503_2.avi")};
  set.ListAll(list);
  EXPECT_EQ(list.rows[0][3], "label134");
  EXPECT_EQ(list.rows[1][3], "label210");
  EXPECT_EQ(list.rows[2][3], "label210");
  EXPECT_EQ(set.typePresent[3], 1);
  EXPECT_EQ(set.typePresent[1], 0);
}

TEST_F(RecordingModel, ListAllSetsTypePresentForTheTypesItSaw) {
  set.entries = {Entry("REC_20120315_134501_2.avi"), Entry("PAR_20120315_134501_2.avi")};
  set.ListAll(list);
  EXPECT_EQ(set.typePresent[0], 1);
  EXPECT_EQ(set.typePresent[1], 1);
  EXPECT_EQ(set.typePresent[2], 0);
  EXPECT_EQ(set.typePresent[3], 0);  // PAR is not a parking code in the list
}

TEST_F(RecordingModel, ListAllOnAnEmptySetLeavesListAndTypePresentAlone) {
  set.entries = {Entry("EVT_20120315_134501_2.avi")};
  set.ListAll(list);
  set.entries.clear();
  EXPECT_EQ(set.ListAll(list), 0);
  EXPECT_EQ(list.rows.size(), 1u);
  EXPECT_EQ(set.typePresent[2], 1);
  EXPECT_EQ(set.EntryForRow(0), nullptr);
}

TEST_F(RecordingModel, ListGroupOnEventOnlySetShowsNoNormalRowsButSetsTypePresent) {
  set.entries = {Entry("EVT_20120315_134501_2.avi"), Entry("EVT_20120315_134502_2.avi")};
  EXPECT_EQ(set.ListGroup(list, kGroupNormal), 0);
  EXPECT_TRUE(list.rows.empty());
  EXPECT_EQ(set.typePresent[0], 1);
  EXPECT_EQ(set.typePresent[1], 0);
  EXPECT_EQ(set.typePresent[2], 1);
  EXPECT_EQ(set.EntryForRow(0), nullptr);
}

TEST_F(RecordingModel, ListGroupNumbersOnlyTheRowsItShowsAndMapsThemBack) {
  set.entries = {Entry("REC_20120315_134501_2.avi"), Entry("EVT_20120315_134502_2.avi"),
                 Entry("REC_20120315_134503_2.avi"), Entry("XYZ_20120315_134504_2.avi")};
  EXPECT_EQ(set.ListGroup(list, kGroupNormal), 2);
  ASSERT_EQ(list.rows.size(), 2u);
  EXPECT_EQ(list.rows[0][0], "1");
  EXPECT_EQ(list.rows[1][0], "2");
  EXPECT_EQ(list.rows[1][5], "REC_20120315_134503_2.avi");
  EXPECT_EQ(set.EntryForRow(1), set.EntryAt(2));
  EXPECT_EQ(set.EntryForRow(2), nullptr);
  // Unknown names show only in the full listing.
  EXPECT_EQ(set.ListGroup(list, kGroupEvent), 1);
  EXPECT_EQ(set.ListGroup(list, kGroupParking), 0);
}

TEST_F(RecordingModel, ListGroupOnAnEmptySetClearsListAndTypePresent) {
  set.entries = {Entry("EVT_20120315_134501_2.avi")};
  set.ListAll(list);
  set.entries.clear();
  EXPECT_EQ(set.ListGroup(list, kGroupEvent), 0);
  EXPECT_TRUE(list.rows.empty());
  EXPECT_EQ(set.typePresent[0], 0);
  EXPECT_EQ(set.typePresent[2], 0);
}

TEST_F(RecordingModel, WithoutLanguageLibraryTheTypeColumnIsEmptyButTypesStillCount) {
  set.languageLookup = &NoLanguageLibrary;
  set.entries = {Entry("REC_20120315_134501_2.avi"), Entry("FOO_20120315_134502_2.avi")};
  EXPECT_EQ(set.ListGroup(list, kGroupNormal), 1);
  EXPECT_EQ(list.rows[0][3], "");
  EXPECT_EQ(set.typePresent[1], 1);
  set.ListAll(list);
  EXPECT_EQ(list.rows[1][3], "UnKnown");
}

TEST_F(RecordingModel, ListingAnInvalidDatePrintsTheNumbersAsStored) {
  set.entries = {Entry("REC_0000-100_999999_2.avi")};
  set.ListAll(list);
  EXPECT_EQ(list.rows[0][1], "0000-65535-00");
  EXPECT_EQ(list.rows[0][2], "99:99:99");
}

// --- lookups ---

// --- trips ---

TEST_F(RecordingModel, TripsJoinRecordingsThatStartWithinThreeSecondsOfTheTripsEnd) {
  const auto timed = [](const std::string& name, int64_t durationMs) {
    RecordingEntry entry = Entry(name);
    entry.durationMs = durationMs;
    return entry;
  };
  set.entries = {timed("REC_20240512_235800_2.avi", 57100),  // ends 23:58:57.1
                 timed("REC_20240512_235900_2.avi", 57000),  // 2.9 s later: joins; ends 23:59:57.0
                 timed("REC_20240513_000000_2.avi", 56900),  // exactly 3 s later, past midnight: joins
                 timed("REC_20240513_000100_2.avi", 60000),  // 3.1 s after 00:00:56.9: a new trip
                 timed("EVT_20240513_000140_2.avi", 30000),  // inside the normal one: joins, adds no stretch
                 timed("REC_20240513_000200_2.avi", 60000),  // where the normal one ended: joins
                 timed("PRK_20240513_000300_2.avi", 60000),  // parked at the drive's end: a trip of its own
                 timed("MOT_20240513_000400_2.avi", 20000),  // the next parking recording joins that one
                 timed("REC_20240513_010000_2.avi", 0),      // no length (cut off): its trip ends at its start
                 timed("REC_20240513_010100_2.avi", 60000),
                 timed("REC_garbage.avi", 60000),  // no time in the name: alone
                 timed("REC_20240513_010200_2.avi", 60000)};
  set.ListAll(list);
  std::vector<int> first;
  std::vector<bool> extends;
  for (const trips::TripRow& row : set.TripsOfRows()) {
    first.push_back(row.first);
    extends.push_back(row.extends);
  }
  EXPECT_EQ((std::vector<int>{0, 0, 0, 3, 3, 3, 6, 6, 8, 9, 10, 11}), first);
  EXPECT_EQ((std::vector<bool>{true, true, true, true, false, true, true, true, true, true, true, true}), extends);
  // A filtered listing groups the rows it shows: the event recording alone.
  set.ListGroup(list, kGroupEvent);
  ASSERT_EQ(set.TripsOfRows().size(), 1u);
  EXPECT_EQ(set.TripsOfRows()[0].first, 0);
}

TEST_F(RecordingModel, EntryForRowIsNullOutsideTheRows) {
  set.entries = {Entry("REC_20120315_134501_2.avi"), Entry("REC_20120315_134502_2.avi")};
  const int count = set.ListAll(list);
  EXPECT_EQ(set.EntryForRow(-1), nullptr);
  EXPECT_EQ(set.EntryForRow(count), nullptr);
  EXPECT_EQ(set.EntryForRow(count - 1), set.EntryAt(1));
}

TEST_F(RecordingModel, EntryAtIsNullOutsideTheSet) {
  set.entries = {Entry("REC_20120315_134501_2.avi")};
  EXPECT_EQ(set.EntryCount(), 1);
  EXPECT_NE(set.EntryAt(0), nullptr);
  EXPECT_EQ(set.EntryAt(-1), nullptr);
  EXPECT_EQ(set.EntryAt(1), nullptr);
}

TEST_F(RecordingModel, CurrentSourceIsNullOutsideTheSources) {
  EXPECT_EQ(set.CurrentSource(), nullptr);
  SourceEntry folderItem;
  folderItem.root = set.folderItemLabel;
  folderItem.kind = 2;
  set.sources = {SourceEntry{}, folderItem};
  set.selectedSource = 1;
  ASSERT_NE(set.CurrentSource(), nullptr);
  EXPECT_EQ(set.CurrentSource()->kind, 2);
  set.selectedSource = 2;
  EXPECT_EQ(set.CurrentSource(), nullptr);
  set.selectedSource = -1;
  EXPECT_EQ(set.CurrentSource(), nullptr);
}

}  // namespace
