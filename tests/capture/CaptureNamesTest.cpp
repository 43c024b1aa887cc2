// Capture file names, the local time they carry and the capture folder.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <filesystem>

#include "settings/ViewerSettings.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"
#include "tools/capture/CaptureFolder.h"
#include "tools/capture/CaptureNames.h"
#include "tools/capture/LocalTime.h"

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::ScopedEnv;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

LocalTime At(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  return {year, month, day, hour, minute, second, millisecond};
}

TEST(CaptureNames, TheRecordingAndTheMillisecondStampNameBothTracks) {
  const CaptureFileNames names = MakeCaptureFileNames("/caps", "rec01.avi", At(2012, 5, 6, 7, 8, 9, 10));
  EXPECT_EQ("/caps/rec01-2012-05-06-07h08m09s010(Track1).jpg", names.track1);
  EXPECT_EQ("/caps/rec01-2012-05-06-07h08m09s010(Track2).jpg", names.track2);
}

TEST(CaptureNames, StampPadsEveryFieldAndKeepsThreeMillisecondDigits) {
  EXPECT_EQ("2024-12-31-23h59m59s999", CaptureStamp(At(2024, 12, 31, 23, 59, 59, 999)));
  EXPECT_EQ("0999-01-02-03h04m05s000", CaptureStamp(At(999, 1, 2, 3, 4, 5, 0)));
}

TEST(CaptureNames, OnlyTheLastExtensionGoesAndALeadingDotStays) {
  EXPECT_EQ("REC_20240512_083015_2", CaptureBaseName("REC_20240512_083015_2.avi"));
  EXPECT_EQ("a.b", CaptureBaseName("a.b.avi"));
  EXPECT_EQ("noext", CaptureBaseName("noext"));
  EXPECT_EQ("x", CaptureBaseName("x."));
  EXPECT_EQ(".avi", CaptureBaseName(".avi"));
  EXPECT_EQ("", CaptureBaseName(""));
}

TEST(CaptureNames, ACardNameCannotLeadOutOfTheCaptureFolder) {
  EXPECT_EQ(".._.._etc_passwd", CaptureBaseName("../../etc/passwd.avi"));
  EXPECT_EQ("a_b", CaptureBaseName("a\\b.avi"));
  EXPECT_EQ("line_break", CaptureBaseName("line\nbreak.avi"));
  EXPECT_EQ("cut_short", CaptureBaseName(std::string("cut\0short.avi", 13)));
  for (const std::string hostile : {"..", "../x.avi", "/abs/path.avi", "a/../../b.avi", "./.", "..\\..\\w.avi"}) {
    const CaptureFileNames names = MakeCaptureFileNames("/caps", hostile, At(2012, 5, 6, 7, 8, 9, 10));
    for (const std::string& name : {names.track1, names.track2}) {
      const fs::path path(name);
      EXPECT_EQ(fs::path("/caps"), path.lexically_normal().parent_path()) << hostile << " gave " << name;
      EXPECT_NE("..", path.filename().string()) << hostile;
    }
  }
}

class LocalClock : public ::testing::Test {
 protected:
  void SetUp() override { ::tzset(); }
  void TearDown() override { ::tzset(); }
  ScopedEnv tz{"TZ", "UTC"};
};

TEST_F(LocalClock, TheTimePointIsBrokenDownToTheMillisecond) {
  ::tzset();
  // 2012-05-06 07:08:09.010 UTC.
  const auto when = std::chrono::system_clock::time_point(std::chrono::milliseconds(1336288089010LL));
  const LocalTime t = ToLocalTime(when);
  EXPECT_EQ(2012, t.year);
  EXPECT_EQ(5, t.month);
  EXPECT_EQ(6, t.day);
  EXPECT_EQ(7, t.hour);
  EXPECT_EQ(8, t.minute);
  EXPECT_EQ(9, t.second);
  EXPECT_EQ(10, t.millisecond);
}

TEST_F(LocalClock, AMomentBefore1970BorrowsASecondInsteadOfANegativeMillisecond) {
  ::tzset();
  const LocalTime t = ToLocalTime(std::chrono::system_clock::time_point(std::chrono::milliseconds(-1)));
  EXPECT_EQ("1969-12-31-23h59m59s999", CaptureStamp(t));
}

TEST_F(LocalClock, TheZoneMovesTheHour) {
  ScopedEnv seoul("TZ", "Asia/Seoul");
  ::tzset();
  const LocalTime t = ToLocalTime(std::chrono::system_clock::time_point(std::chrono::milliseconds(1336288089010LL)));
  EXPECT_EQ(16, t.hour);
  EXPECT_EQ(10, t.millisecond);
}

TEST_F(LocalClock, TheViewersZoneWinsOverTheMachinesOnBothSidesOfDaylightSaving) {
  ::tzset();
  ViewerSettings& settings = TheViewerSettings();
  const std::string saved = settings.timeZone;
  settings.timeZone = "America/New_York";
  // 10 March 2024: 07:00 UTC is 03:00 EDT; a second before, 01:59:59 EST.
  const auto change = std::chrono::system_clock::time_point(std::chrono::seconds(1710054000));
  EXPECT_EQ("2024-03-10-01h59m59s000", CaptureStamp(ToLocalTime(change - std::chrono::seconds(1))));
  EXPECT_EQ("2024-03-10-03h00m00s000", CaptureStamp(ToLocalTime(change)));
  // A name the system does not know leaves the machine's clock (UTC here).
  settings.timeZone = "Nowhere/Town";
  EXPECT_EQ("2024-03-10-07h00m00s000", CaptureStamp(ToLocalTime(change)));
  settings.timeZone = saved;
}

// The folder: the documents folder of a home of the test's own.
class CaptureFolder : public ::testing::Test {
 protected:
  TempFolder dir;
  ScopedEnv home{"HOME", (dir / "home").c_str()};
  ScopedEnv xdg{"XDG_CONFIG_HOME", nullptr};
  fs::path settingsFile = dir / "option.ini";
  fs::path defaultFolder = dir / "home" / "Documents" / "CAM_CAPTURE";
};

TEST_F(CaptureFolder, AnExistingFolderIsUsedAndTheSettingsStayUnwritten) {
  fs::create_directories(dir / "mine");
  ViewerSettings settings;
  settings.saveDirectory = (dir / "mine").string();
  EXPECT_EQ((dir / "mine").string(), ResolveCaptureFolder(settings, settingsFile));
  EXPECT_EQ((dir / "mine").string(), settings.saveDirectory);
  EXPECT_FALSE(fs::exists(settingsFile));
  EXPECT_FALSE(fs::exists(defaultFolder));
}

TEST_F(CaptureFolder, AMissingFolderBecomesTheDefaultMadeForAFreshHomeAndIsSaved) {
  ASSERT_FALSE(fs::exists(dir / "home"));
  ViewerSettings settings;
  settings.saveDirectory = (dir / "gone").string();
  settings.playValue = 3;
  EXPECT_EQ(defaultFolder.string(), ResolveCaptureFolder(settings, settingsFile));
  EXPECT_TRUE(fs::is_directory(defaultFolder));
  EXPECT_EQ(defaultFolder.string(), settings.saveDirectory);
  ViewerSettings saved;
  ASSERT_TRUE(ReadSettings(settingsFile, saved));
  EXPECT_EQ(defaultFolder.string(), saved.saveDirectory);
  EXPECT_EQ(3, saved.playValue);
  EXPECT_FALSE(fs::exists(dir / "gone"));
}

TEST_F(CaptureFolder, AnEmptySettingOrAFileInsteadOfAFolderIsReplacedToo) {
  ViewerSettings empty;
  EXPECT_EQ(defaultFolder.string(), ResolveCaptureFolder(empty, settingsFile));
  WriteBytes(dir / "plain.txt", "not a folder");
  ViewerSettings file;
  file.saveDirectory = (dir / "plain.txt").string();
  EXPECT_EQ(defaultFolder.string(), ResolveCaptureFolder(file, settingsFile));
  EXPECT_EQ("not a folder", ReadBytes(dir / "plain.txt"));
}

TEST_F(CaptureFolder, WithoutAHomeThereIsNoFolderRatherThanTheRoot) {
  ScopedEnv noHome("HOME", nullptr);
  ViewerSettings settings;
  settings.saveDirectory = (dir / "gone").string();
  EXPECT_EQ("", ResolveCaptureFolder(settings, settingsFile));
}

}  // namespace
