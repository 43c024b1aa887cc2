#include <gtest/gtest.h>

#include <string>

#include "device/DeviceClock.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

std::tm Time(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

class TimeCfg : public ::testing::Test {
 protected:
  TempFolder dir;
  std::filesystem::path file = dir / "time.cfg";
  DeviceClock clock = MakeDeviceClock();
};

TEST_F(TimeCfg, ListsHoldTheirRangesAsFixedWidthTexts) {
  EXPECT_EQ(20, clock.year.Count());
  EXPECT_EQ("2011", clock.year.entries.front());
  EXPECT_EQ("2030", clock.year.entries.back());
  EXPECT_EQ("01", clock.month.entries.front());
  EXPECT_EQ("12", clock.month.entries.back());
  EXPECT_EQ(31, clock.day.Count());
  EXPECT_EQ("00", clock.hour.entries.front());
  EXPECT_EQ("23", clock.hour.entries.back());
  EXPECT_EQ(60, clock.minute.Count());
  EXPECT_EQ("59", clock.second.entries.back());
  EXPECT_EQ(-1, clock.year.selected);
}

TEST_F(TimeCfg, SeventhOfMarchTwentyTwelveIsWrittenAsTwoCrLfLines) {
  SetClockToTime(clock, Time(2012, 3, 7, 9, 5, 30));
  ASSERT_TRUE(WriteTimeCfg(file, clock));
  EXPECT_EQ("12/03/07\r\n09/05/30\r\n", ReadBytes(file));
}

TEST_F(TimeCfg, ReadBackSelectsTheEntriesOfTheFile) {
  WriteBytes(file, "30/12/31\r\n23/59/58\r\n");
  ASSERT_TRUE(ReadTimeCfg(file, clock));
  EXPECT_EQ("2030", clock.year.SelectedText());
  EXPECT_EQ("12", clock.month.SelectedText());
  EXPECT_EQ("31", clock.day.SelectedText());
  EXPECT_EQ("23", clock.hour.SelectedText());
  EXPECT_EQ("59", clock.minute.SelectedText());
  EXPECT_EQ("58", clock.second.SelectedText());
}

TEST_F(TimeCfg, AYearWithoutEntryLeavesTheYearListUnchanged) {
  SetClockToTime(clock, Time(2020, 6, 6, 6, 6, 6));
  WriteBytes(file, "35/01/01\n10/10/10\n");
  ASSERT_TRUE(ReadTimeCfg(file, clock));
  EXPECT_EQ("2020", clock.year.SelectedText());
  EXPECT_EQ("01", clock.month.SelectedText());
  EXPECT_EQ("01", clock.day.SelectedText());
  EXPECT_EQ("10", clock.hour.SelectedText());
}

TEST_F(TimeCfg, OutOfRangeFieldsLeaveTheirListsUnchanged) {
  SetClockToTime(clock, Time(2015, 5, 5, 5, 5, 5));
  WriteBytes(file, "16/13/32\n24/60/61\n");
  ASSERT_TRUE(ReadTimeCfg(file, clock));
  EXPECT_EQ("2016", clock.year.SelectedText());
  EXPECT_EQ("05", clock.month.SelectedText());
  EXPECT_EQ("05", clock.day.SelectedText());
  EXPECT_EQ("05", clock.hour.SelectedText());
  EXPECT_EQ("05", clock.minute.SelectedText());
  EXPECT_EQ("05", clock.second.SelectedText());
}

TEST_F(TimeCfg, MissingSecondLineEmptiesTheTimeLists) {
  SetClockToTime(clock, Time(2015, 5, 5, 5, 5, 5));
  WriteBytes(file, "14/02/03\r\n");
  ASSERT_TRUE(ReadTimeCfg(file, clock));
  EXPECT_EQ("2014", clock.year.SelectedText());
  EXPECT_EQ(-1, clock.hour.selected);
  EXPECT_EQ(-1, clock.minute.selected);
  EXPECT_EQ(-1, clock.second.selected);
  ASSERT_TRUE(WriteTimeCfg(file, clock));
  EXPECT_EQ("14/02/03\r\n//\r\n", ReadBytes(file));
}

TEST_F(TimeCfg, ShortLinesChangeOnlyTheFieldsTheyHold) {
  SetClockToTime(clock, Time(2015, 5, 5, 5, 5, 5));
  WriteBytes(file, "18/0\n1\n");
  ASSERT_TRUE(ReadTimeCfg(file, clock));
  EXPECT_EQ("2018", clock.year.SelectedText());
  EXPECT_EQ("01", clock.month.SelectedText()) << "\"0\" begins the first entry 01";
  EXPECT_EQ("05", clock.day.SelectedText());
  EXPECT_EQ("10", clock.hour.SelectedText()) << "\"1\" begins the entry 10";
  EXPECT_EQ("05", clock.minute.SelectedText());
}

TEST_F(TimeCfg, MissingFileChangesNothing) {
  SetClockToTime(clock, Time(2013, 1, 2, 3, 4, 5));
  EXPECT_FALSE(ReadTimeCfg(dir / "absent.cfg", clock));
  EXPECT_FALSE(ReadTimeCfg(dir.Path(), clock));
  EXPECT_FALSE(ReadTimeCfg("/dev/zero", clock));
  EXPECT_EQ("2013", clock.year.SelectedText());
  EXPECT_EQ("05", clock.second.SelectedText());
}

TEST_F(TimeCfg, EmptyFileChangesNothing) {
  SetClockToTime(clock, Time(2013, 1, 2, 3, 4, 5));
  WriteBytes(file, "");
  EXPECT_TRUE(ReadTimeCfg(file, clock));
  EXPECT_EQ("2013", clock.year.SelectedText());
  EXPECT_EQ("03", clock.hour.SelectedText());
}

TEST_F(TimeCfg, GarbageNeverCrashesAndKeepsSelectionsValid) {
  for (int seed = 1; seed < 30; ++seed) {
    std::string bytes;
    unsigned state = static_cast<unsigned>(seed);
    for (int i = 0; i < 600; ++i) {
      state = state * 1103515245u + 12345u;
      bytes.push_back(static_cast<char>((state >> 16) & 0xFF));
    }
    WriteBytes(file, bytes);
    DeviceClock c = MakeDeviceClock();
    EXPECT_TRUE(ReadTimeCfg(file, c));
    EXPECT_LT(c.year.selected, c.year.Count());
    EXPECT_LT(c.second.selected, c.second.Count());
  }
}

TEST_F(TimeCfg, YearOutsideTheListKeepsTheYearWhenSettingTheTime) {
  SetClockToTime(clock, Time(2040, 8, 9, 10, 11, 12));
  EXPECT_EQ(-1, clock.year.selected);
  EXPECT_EQ("08", clock.month.SelectedText());
  ASSERT_TRUE(WriteTimeCfg(file, clock));
  EXPECT_EQ("/08/09\r\n10/11/12\r\n", ReadBytes(file));
}

TEST_F(TimeCfg, NowSelectsAnEntryInEveryTimeList) {
  SetClockToNow(clock);
  EXPECT_NE(-1, clock.month.selected);
  EXPECT_NE(-1, clock.day.selected);
  EXPECT_NE(-1, clock.hour.selected);
  EXPECT_NE(-1, clock.second.selected);
}

TEST_F(TimeCfg, WritingIntoAMissingFolderFails) { EXPECT_FALSE(WriteTimeCfg(dir / "no" / "time.cfg", clock)); }

}  // namespace
