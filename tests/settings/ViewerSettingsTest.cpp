#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <iterator>
#include <string>

#include "settings/ViewerSettings.h"
#include "tests/support/FaultyByteSource.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ReadOnlyFolder.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::ScopedEnv;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

const char kDefaultFile[] =
    "[DIRECTORY]\r\n"
    "ROOT_DIRECTORY=VK_BLACKBOX\r\n"
    "EVENT_DIRECTORY=MP4_EVENT\r\n"
    "CONTINUOS_DIRECTORY=MP4_INFINITE\r\n"
    "[OPTION]\r\n"
    "SAVE_DIRECTORY=\r\n"
    "PLAY_VALUE=5\r\n"
    "USE_LOG=FALSE\r\n"
    "LOG_LEVEL=3\r\n"
    "LOG_TYPE=3\r\n"
    "REAR_MIRROR=0\r\n"
    "LANGUAGE=0\r\n"
    "DEFAULT_LANGUAGE=0\r\n"
    "MODEL=0\r\n"
    "SPEED=0\r\n"
    "TIME_ZONE=\r\n"
    "MARKER_G=50\r\n"
    "[MAP]\r\n"
    "TILE_ADDRESS=https://tile.openstreetmap.org/{z}/{x}/{y}.png\r\n"
    "TILE_CREDIT=\u00A9 OpenStreetMap contributors\r\n"
    "TILE_CREDIT_LINK=https://www.openstreetmap.org/copyright\r\n"
    "TILE_REPORT_LINK=https://www.openstreetmap.org/fixthemap\r\n";

// Points the documents folder into the test folder so DefaultCaptureFolder() is known.
class ViewerSettingsFile : public ::testing::Test {
 protected:
  TempFolder dir;
  ScopedEnv home{"HOME", dir.Path().c_str()};
  ScopedEnv xdg{"XDG_CONFIG_HOME", (dir.Path() / "cfg").c_str()};
  fs::path file = dir / "option.ini";

  ViewerSettings ReadText(const std::string& text) {
    WriteBytes(file, text);
    ViewerSettings s;
    EXPECT_TRUE(ReadSettings(file, s));
    return s;
  }
};

TEST_F(ViewerSettingsFile, DefaultsAreWrittenAsTheTwentyTwoCrLfLines) {
  ViewerSettings s;
  ASSERT_TRUE(WriteSettings(file, s));
  EXPECT_EQ(kDefaultFile, ReadBytes(file));
}

TEST_F(ViewerSettingsFile, EveryFieldIsWrittenInItsLine) {
  ViewerSettings s;
  s.saveDirectory = "/media/caps dir";
  s.playValue = 10;
  s.rearMirror = true;
  s.language = 7;
  s.defaultLanguage = 3;
  s.model = 2;
  s.speedInMiles = true;
  s.timeZone = "Europe/Berlin";
  s.markerThreshold = 75;
  s.tileAddress = "http://tiles.example/{z}/{x}/{y}.png\nTILE_CREDIT=smuggled";
  s.tileCredit = "Example maps";
  s.tileCreditLink = "";
  s.tileReportLink = "https://example.org/report";
  ASSERT_TRUE(WriteSettings(file, s));
  EXPECT_EQ(
      "[DIRECTORY]\r\nROOT_DIRECTORY=VK_BLACKBOX\r\nEVENT_DIRECTORY=MP4_EVENT\r\n"
      "CONTINUOS_DIRECTORY=MP4_INFINITE\r\n[OPTION]\r\nSAVE_DIRECTORY=/media/caps dir\r\n"
      "PLAY_VALUE=10\r\nUSE_LOG=FALSE\r\nLOG_LEVEL=3\r\nLOG_TYPE=3\r\nREAR_MIRROR=1\r\n"
      "LANGUAGE=7\r\nDEFAULT_LANGUAGE=3\r\nMODEL=2\r\nSPEED=1\r\nTIME_ZONE=Europe/Berlin\r\n"
      "MARKER_G=75\r\n[MAP]\r\nTILE_ADDRESS=http://tiles.example/{z}/{x}/{y}.png\r\nTILE_CREDIT=Example maps\r\n"
      "TILE_CREDIT_LINK=\r\nTILE_REPORT_LINK=https://example.org/report\r\n",
      ReadBytes(file));
  // Read back, the map section comes back as written; the cut-off line smuggled nothing.
  ViewerSettings back;
  ASSERT_TRUE(ReadSettings(file, back));
  EXPECT_EQ("http://tiles.example/{z}/{x}/{y}.png", back.tileAddress);
  EXPECT_EQ("Example maps", back.tileCredit);
  EXPECT_EQ("", back.tileCreditLink);
  EXPECT_EQ("https://example.org/report", back.tileReportLink);
  EXPECT_EQ("Europe/Berlin", back.timeZone);
  EXPECT_EQ(75, back.markerThreshold);
}

TEST_F(ViewerSettingsFile, RoundTripKeepsOptionsAndRewritesConstantLines) {
  ReadText(
      "junk line\nROOT_DIRECTORY=ELSEWHERE\nSAVE_DIRECTORY=/x/y\nPLAY_VALUE=3\n"
      "REAR_MIRROR=1\nLANGUAGE=4\nDEFAULT_LANGUAGE=9\nMODEL=0\nSPEED=1\nUSE_LOG=TRUE\n");
  ViewerSettings s;
  ASSERT_TRUE(ReadSettings(file, s));
  ASSERT_TRUE(WriteSettings(file, s));
  ViewerSettings again;
  ASSERT_TRUE(ReadSettings(file, again));
  EXPECT_EQ("/x/y", again.saveDirectory);
  EXPECT_EQ(3, again.playValue);
  EXPECT_TRUE(again.rearMirror);
  EXPECT_EQ(4, again.language);
  EXPECT_EQ(9, again.defaultLanguage);
  EXPECT_EQ(0, again.model);
  EXPECT_TRUE(again.speedInMiles);
  const std::string bytes = ReadBytes(file);
  EXPECT_NE(std::string::npos, bytes.find("ROOT_DIRECTORY=VK_BLACKBOX\r\n"));
  EXPECT_NE(std::string::npos, bytes.find("USE_LOG=FALSE\r\n"));
}

TEST_F(ViewerSettingsFile, EmptySaveDirectoryBecomesTheCreatedDefaultFolder) {
  const ViewerSettings s = ReadText("SAVE_DIRECTORY=\r\n");
  EXPECT_EQ((dir.Path() / "Documents" / "CAM_CAPTURE").string(), s.saveDirectory);
  EXPECT_TRUE(fs::is_directory(dir.Path() / "Documents" / "CAM_CAPTURE"));
}

TEST_F(ViewerSettingsFile, DefaultCaptureFolderIsMadeForANewUserWithoutDocuments) {
  // A fresh home folder has no Documents yet: a one-level create left the capture
  // folder missing and the first capture failed.
  ASSERT_FALSE(fs::exists(dir.Path() / "Documents"));
  const std::string folder = DefaultCaptureFolder();
  EXPECT_EQ((dir.Path() / "Documents" / "CAM_CAPTURE").string(), folder);
  EXPECT_TRUE(fs::is_directory(folder));
  // An existing folder is kept as it is, with what it holds.
  WriteBytes(fs::path(folder) / "keep.jpg", "x");
  EXPECT_EQ(folder, DefaultCaptureFolder());
  EXPECT_EQ("x", ReadBytes(fs::path(folder) / "keep.jpg"));
}

TEST_F(ViewerSettingsFile, DefaultCaptureFolderFollowsTheUsersDocumentsEntry) {
  fs::create_directories(dir.Path() / "cfg");
  WriteBytes(dir.Path() / "cfg" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente/Eigene\"\n");
  const std::string folder = DefaultCaptureFolder();
  EXPECT_EQ((dir.Path() / "Dokumente" / "Eigene" / "CAM_CAPTURE").string(), folder);
  EXPECT_TRUE(fs::is_directory(folder));
}

TEST_F(ViewerSettingsFile, MirrorIsOnlyOneButSpeedIsAnythingButZero) {
  ViewerSettings s = ReadText("REAR_MIRROR=2\nSPEED=2\n");
  EXPECT_FALSE(s.rearMirror);
  EXPECT_TRUE(s.speedInMiles);
  ASSERT_TRUE(WriteSettings(file, s));
  EXPECT_NE(std::string::npos, ReadBytes(file).find("\r\nSPEED=1\r\n"));
  s = ReadText("REAR_MIRROR=1\nSPEED=0\n");
  EXPECT_TRUE(s.rearMirror);
  EXPECT_FALSE(s.speedInMiles);
}

TEST_F(ViewerSettingsFile, BlanksAroundTheEqualSignHideTheKey) {
  const ViewerSettings s = ReadText("PLAY_VALUE = 9\nLANGUAGE= 4\n");
  EXPECT_EQ(5, s.playValue);  // the key "PLAY_VALUE " matches nothing
  EXPECT_EQ(4, s.language);   // a leading blank in a number is skipped by atoi
}

TEST_F(ViewerSettingsFile, TabsAndBackspacesAroundKeysAndValuesAreTrimmed) {
  const ViewerSettings s = ReadText("\tPLAY_VALUE\t=\b8\t\r\n\bSAVE_DIRECTORY=\t/a b \t\n");
  EXPECT_EQ(8, s.playValue);
  EXPECT_EQ("/a b ", s.saveDirectory);
}

TEST_F(ViewerSettingsFile, LowerCaseKeysAndSectionLinesAreIgnored) {
  const ViewerSettings s = ReadText("play_value=9\n[PLAY_VALUE=8]\nLanguage=3\n");
  EXPECT_EQ(5, s.playValue);
  EXPECT_EQ(0, s.language);
}

TEST_F(ViewerSettingsFile, NumbersConvertLikeAtoi) {
  const ViewerSettings s = ReadText("PLAY_VALUE=12abc\nLANGUAGE=+3\nMODEL=x\nDEFAULT_LANGUAGE=99\n");
  EXPECT_EQ(12, s.playValue);
  EXPECT_EQ(3, s.language);
  EXPECT_EQ(0, s.model);
  EXPECT_EQ(99, s.defaultLanguage);
}

// A language outside the table left every label blank, and was written back at exit;
// a jump step of 0 or less made Rewind and Fast forward stand still or turn round; a
// model outside the list left the dialog without one and the report without a title.
TEST_F(ViewerSettingsFile, ALanguageWithoutALibraryAStepBelowOneAndAnUnknownModelFallBack) {
  for (const char* language : {"-7", "12", "99", "2147483647", "-2147483648"}) {
    ViewerSettings s = ReadText(std::string("LANGUAGE=") + language + "\nDEFAULT_LANGUAGE=6\n");
    EXPECT_EQ(6, s.language) << language << ": the default language";
    s = ReadText(std::string("DEFAULT_LANGUAGE=") + language + "\nLANGUAGE=" + language + "\n");
    EXPECT_EQ(0, s.language) << language << ": English when the default has no library either";
    EXPECT_EQ(std::stoi(language), s.defaultLanguage) << "kept as the file has it";
  }
  // The language comes back from the default whichever line comes first.
  EXPECT_EQ(9, ReadText("LANGUAGE=12\nDEFAULT_LANGUAGE=9\n").language);
  EXPECT_EQ(11, ReadText("LANGUAGE=11\nDEFAULT_LANGUAGE=12\n").language);
  for (const char* step : {"0", "-3", "-2147483648"})
    EXPECT_EQ(5, ReadText(std::string("PLAY_VALUE=") + step).playValue);
  EXPECT_EQ(1, ReadText("PLAY_VALUE=1\n").playValue);
  EXPECT_EQ(2147483647, ReadText("PLAY_VALUE=2147483647\n").playValue) << "a long step ends at the recording's end";
  // A marker threshold below a car at rest would mark every moment.
  for (const char* threshold : {"19", "0", "-50", "401", "x"})
    EXPECT_EQ(50, ReadText(std::string("MARKER_G=") + threshold).markerThreshold) << threshold;
  EXPECT_EQ(20, ReadText("MARKER_G=20\n").markerThreshold);
  EXPECT_EQ(400, ReadText("MARKER_G=400\n").markerThreshold);
  // A model the dialog's list does not hold (it has one) is the default model.
  for (const char* model : {"2147483647", "-1", "1", "-2147483648"})
    EXPECT_EQ(0, ReadText(std::string("MODEL=") + model + "\n").model) << model;
  EXPECT_EQ(0, ReadText("MODEL=0\n").model);
}

TEST_F(ViewerSettingsFile, ANamedPipeIsRefusedWithoutWaitingForAWriter) {
  const fs::path pipe = dir / "option.ini";
  ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0600));
  ViewerSettings s;
  s.playValue = 9;
  platform::OpenFailure failure;
  EXPECT_FALSE(ReadSettings(pipe, s, &failure));  // an open that waited would hang the suite
  EXPECT_EQ(S_IFIFO, failure.refusedKind);
  EXPECT_EQ("is a named pipe (FIFO), not a file", platform::DescribeOpenFailure(failure));
  EXPECT_EQ(9, s.playValue);
}

TEST_F(ViewerSettingsFile, LaterLinesOverrideAndMissingKeysKeepTheirValues) {
  WriteBytes(file, "PLAY_VALUE=2\nPLAY_VALUE=7\n");
  ViewerSettings s;
  s.language = 5;
  s.saveDirectory = "/kept";
  ASSERT_TRUE(ReadSettings(file, s));
  EXPECT_EQ(7, s.playValue);
  EXPECT_EQ(5, s.language);
  EXPECT_EQ("/kept", s.saveDirectory);
}

TEST_F(ViewerSettingsFile, ValueMayContainFurtherEqualSigns) {
  EXPECT_EQ("/a=b", ReadText("SAVE_DIRECTORY=/a=b\n").saveDirectory);
}

TEST_F(ViewerSettingsFile, MissingFileFailsAndKeepsTheRecord) {
  ViewerSettings s;
  s.playValue = 9;
  EXPECT_FALSE(ReadSettings(dir / "absent.ini", s));
  EXPECT_FALSE(ReadSettings(dir.Path(), s));
  EXPECT_FALSE(ReadSettings(fs::path(), s));
  EXPECT_FALSE(ReadSettings("/dev/zero", s)) << "a device is no settings file";
  EXPECT_EQ(9, s.playValue);
}

TEST_F(ViewerSettingsFile, WritingIntoAMissingFolderFailsWithoutCreatingIt) {
  EXPECT_FALSE(WriteSettings(dir / "config" / "option.ini", ViewerSettings{}));
  EXPECT_FALSE(fs::exists(dir / "config"));
  EXPECT_FALSE(WriteSettings(fs::path(), ViewerSettings{}));
}

TEST_F(ViewerSettingsFile, AFullDiskKeepsTheOldFileWhole) {
  // Before, the file was truncated first and a full disk left it half-written.
  WriteBytes(file, kDefaultFile);
  ViewerSettings changed;
  changed.saveDirectory = std::string(4000, 'd');
  int error = 0;
  {
    const testsupport::FileSizeLimit limit(100);
    EXPECT_FALSE(WriteSettings(file, changed, &error));
  }
  EXPECT_EQ(EFBIG, error);
  EXPECT_EQ(ReadBytes(file), kDefaultFile);
  EXPECT_EQ(1, std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator())) << "no partial file";
  EXPECT_TRUE(WriteSettings(file, changed, &error));
  EXPECT_EQ(0, error);
  EXPECT_EQ(ReadText(ReadBytes(file)).saveDirectory, changed.saveDirectory);
}

TEST_F(ViewerSettingsFile, AReadOnlyFolderIsAFailureWithItsReason) {
  WriteBytes(file, kDefaultFile);
  ViewerSettings changed;
  changed.playValue = 3;
  int error = 0;
  {
    const testsupport::ReadOnlyFolder readOnly(dir.Path());
    EXPECT_FALSE(WriteSettings(file, changed, &error));
  }
  EXPECT_EQ(EACCES, error);
  EXPECT_EQ(ReadBytes(file), kDefaultFile);
}

TEST_F(ViewerSettingsFile, WritingThroughALinkReplacesTheFileItNames) {
  WriteBytes(dir / "real.ini", kDefaultFile);
  fs::create_symlink(dir / "real.ini", file);
  ViewerSettings changed;
  changed.playValue = 15;
  ASSERT_TRUE(WriteSettings(file, changed));
  EXPECT_TRUE(fs::is_symlink(file));
  EXPECT_EQ(ReadText(ReadBytes(dir / "real.ini")).playValue, 15);
}

TEST_F(ViewerSettingsFile, LongCaptureFolderSurvivesTheRoundTrip) {
  ViewerSettings s;
  s.saveDirectory = "/" + std::string(600, 'd') + "/LANGUAGE=5";
  ASSERT_TRUE(WriteSettings(file, s));
  ViewerSettings back;
  ASSERT_TRUE(ReadSettings(file, back));
  EXPECT_EQ(s.saveDirectory, back.saveDirectory);
  EXPECT_EQ(0, back.language);
}

TEST_F(ViewerSettingsFile, AnOverlongLineIsDroppedWholeNotSplitIntoLines) {
  const ViewerSettings s = ReadText("SAVE_DIRECTORY=" + std::string(20000, 'x') + "LANGUAGE=3\nPLAY_VALUE=2\n");
  EXPECT_EQ("", s.saveDirectory);
  EXPECT_EQ(0, s.language);
  EXPECT_EQ(2, s.playValue);
}

TEST_F(ViewerSettingsFile, NewlineInsideTheFolderCannotInjectAKey) {
  ViewerSettings s;
  s.saveDirectory = "/a\r\nLANGUAGE=9";
  ASSERT_TRUE(WriteSettings(file, s));
  ViewerSettings back;
  ASSERT_TRUE(ReadSettings(file, back));
  EXPECT_EQ("/a", back.saveDirectory);
  EXPECT_EQ(0, back.language);
}

TEST_F(ViewerSettingsFile, BinaryGarbageNeitherCrashesNorSetsAnything) {
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage.push_back(static_cast<char>((i * 37 + 11) % 256));
  garbage += std::string("PLAY\0_VALUE=9\n", 14);
  ViewerSettings s = ReadText(garbage);
  EXPECT_EQ(5, s.playValue);
  s = ReadText(std::string("PLAY_VALUE=3\0junk\n", 18));
  EXPECT_EQ(3, s.playValue);
}

TEST(ViewerSettingsPaths, SettingsFileIsOptionIniInTheConfigFolder) {
  ScopedEnv config("TARVO_CONFIG_DIR", "/somewhere/config");
  EXPECT_EQ(fs::path("/somewhere/config/option.ini"), SettingsFilePath());
}

TEST(ViewerSettingsPaths, NoDocumentsFolderGivesAnEmptyCaptureFolder) {
  ScopedEnv home("HOME", nullptr);
  ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
  EXPECT_EQ("", DefaultCaptureFolder());
}

TEST(ViewerSettingsRecord, TheProcessRecordStartsWithTheDefaults) {
  const ViewerSettings& s = TheViewerSettings();
  EXPECT_EQ(&s, &TheViewerSettings());
  EXPECT_EQ(5, s.playValue);
  EXPECT_EQ(0, s.language);
  EXPECT_FALSE(s.rearMirror);
  EXPECT_FALSE(s.speedInMiles);
}

}  // namespace
