#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <iterator>
#include <string>

#include "device/DeviceSettings.h"
#include "tests/device/DefaultSetupCfg.h"
#include "tests/support/FaultyByteSource.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

// Language texts are irrelevant to the file; a fixed lookup keeps entries checkable.
std::string FakeText(int number) { return "S" + std::to_string(number); }

std::string Line(const char* label, const std::string& value) {
  std::string line = label;
  line.resize(24, ' ');
  return line + ": " + value + "\r\n";
}

class SetupCfg : public ::testing::Test {
 protected:
  TempFolder dir;
  std::filesystem::path file = dir / "setup.cfg";
  DeviceSettings settings = MakeDefaultDeviceSettings(FakeText);

  // A file of the given values in the twelve positions (fewer values, fewer lines).
  void WriteValues(const std::vector<std::string>& values) {
    const char* labels[] = {
        "Product Name",     "H/W Version",  "S/W Version",    "Acc Trigger Level", "REC Video Qulity",
        "REC Audio Enable", "SPK Vol",      "Video Channles", "Car Battery Volt",  "Battery CutOff Volt",
        "Power Off Timer",  "LCD Off Time", "Extra One",      "Extra Two"};
    std::string bytes;
    for (std::size_t i = 0; i < values.size(); ++i) bytes += Line(labels[i], values[i]);
    WriteBytes(file, bytes);
  }
  bool Read() { return ReadSetupCfg(file, settings, FakeText); }
};

TEST_F(SetupCfg, DefaultsGiveTheWorkedExampleByteForByte) {
  ASSERT_TRUE(WriteSetupCfg(file, settings));
  EXPECT_EQ(devicetest::kDefaultSetupCfg, ReadBytes(file));
}

TEST_F(SetupCfg, AFullCardKeepsTheOldFileWhole) {
  // The camera reads whatever is there: a half-written file would set it wrongly.
  WriteBytes(file, devicetest::kDefaultSetupCfg);
  settings.accTriggerLevel.Select(6);
  int error = 0;
  {
    const testsupport::FileSizeLimit limit(100);
    EXPECT_FALSE(WriteSetupCfg(file, settings, &error));
  }
  EXPECT_EQ(EFBIG, error) << "the reason the dialog shows";
  EXPECT_EQ(ReadBytes(file), devicetest::kDefaultSetupCfg);
  EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()))
      << "no partial file left";
}

TEST_F(SetupCfg, EveryLabelIsTwentySixCharactersLong) {
  ASSERT_TRUE(WriteSetupCfg(file, settings));
  const std::string bytes = ReadBytes(file);
  std::size_t start = 0;
  int lines = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    ASSERT_NE(std::string::npos, end);
    EXPECT_EQ(": ", bytes.substr(start + 24, 2)) << "line " << lines;
    EXPECT_NE(' ', bytes[start + 26]) << "line " << lines;
    start = end + 2;
    ++lines;
  }
  EXPECT_EQ(12, lines);
}

TEST_F(SetupCfg, ListsWithoutSelectionWriteMinusOneOrZero) {
  ClearDeviceSettings(settings);
  settings.carBatteryVolt = CarVoltage::kNone;
  ASSERT_TRUE(WriteSetupCfg(file, settings));
  EXPECT_EQ(
      "Product Name            : Tarvo\r\nH/W Version             : V1.0.0\r\n"
      "S/W Version             : V1.00\r\nAcc Trigger Level       : -1\r\n"
      "REC Video Qulity        : 0\r\nREC Audio Enable        : 0\r\n"
      "SPK Vol                 : -1\r\nVideo Channles          : 0\r\n"
      "Car Battery Volt        : 1\r\nBattery CutOff Volt     : -1\r\n"
      "Power Off Timer         : 0\r\nLCD Off Time            : -1\r\n",
      ReadBytes(file));
}

TEST_F(SetupCfg, NonDefaultChoicesSurviveWriteAndRead) {
  settings.accTriggerLevel.Select(6);
  settings.recVideoQuality.Select(0);
  settings.recAudioEnable = false;
  settings.spkVol.Select(0);
  settings.videoChannels.Select(0);
  settings.carBatteryVolt = CarVoltage::k24V;
  RebuildCutOffList(settings.batteryCutOffVolt, true, FakeText);
  settings.batteryCutOffVolt.Select(5);
  settings.powerOffTimer.Select(3);
  settings.lcdOffTime.Select(4);
  ASSERT_TRUE(WriteSetupCfg(file, settings));
  DeviceSettings back = MakeDefaultDeviceSettings(FakeText);
  ASSERT_TRUE(ReadSetupCfg(file, back, FakeText));
  EXPECT_EQ(6, back.accTriggerLevel.selected);
  EXPECT_EQ(0, back.recVideoQuality.selected);
  EXPECT_FALSE(back.recAudioEnable);
  EXPECT_EQ(0, back.spkVol.selected);
  EXPECT_EQ("S236", back.spkVol.SelectedText());
  EXPECT_EQ(0, back.videoChannels.selected);
  EXPECT_EQ(CarVoltage::k24V, back.carBatteryVolt);
  EXPECT_EQ("24.3V", back.batteryCutOffVolt.SelectedText());
  EXPECT_EQ("48H", back.powerOffTimer.SelectedText());
  EXPECT_EQ("S220", back.lcdOffTime.SelectedText());
}

TEST_F(SetupCfg, AShortThirdLineEndsTheParseAfterTwoLines) {
  WriteBytes(file, Line("Product Name", "Tarvo") + Line("H/W Version", "V1.0.0") + "S/W Version             :\r\n" +
                       Line("Acc Trigger Level", "6"));
  ASSERT_TRUE(Read());
  EXPECT_EQ("Tarvo", settings.cardProductName);
  EXPECT_EQ(3, settings.accTriggerLevel.selected);
  EXPECT_EQ("V1.00", settings.softwareVersion);
}

TEST_F(SetupCfg, ALabelWithAnEmptyValueIsStillALine) {
  // 26 characters and the line end make 27: usable, and the empty value reads as 0.
  WriteValues({"Tarvo", "V1.0.0", "V1.00", ""});
  ASSERT_TRUE(Read());
  EXPECT_EQ(0, settings.accTriggerLevel.selected);
}

TEST_F(SetupCfg, TwentySixCharactersWithoutLineEndEndTheParse) {
  WriteBytes(file, Line("Product Name", "Tarvo") + "Acc Trigger Level       : ");
  ASSERT_TRUE(Read());
  EXPECT_EQ("Tarvo", settings.cardProductName);
}

TEST_F(SetupCfg, OutOfRangeIndexesLeaveTheirListsUnchanged) {
  WriteValues({"Tarvo", "V1.0.0", "V1.00", "7", "4", "1", "9", "3", "0", "7", "5", "5"});
  ASSERT_TRUE(Read());
  EXPECT_EQ(3, settings.accTriggerLevel.selected);
  EXPECT_EQ(2, settings.recVideoQuality.selected);
  EXPECT_EQ(3, settings.spkVol.selected);
  EXPECT_EQ(1, settings.videoChannels.selected);
  EXPECT_EQ(-1, settings.batteryCutOffVolt.selected) << "line 8 rebuilt the list";
  EXPECT_EQ(1, settings.powerOffTimer.selected);
  EXPECT_EQ(1, settings.lcdOffTime.selected);
  WriteValues({"Tarvo", "V1.0.0", "V1.00", "-1", "0", "0", "-1", "0"});
  ASSERT_TRUE(Read());
  EXPECT_EQ(3, settings.accTriggerLevel.selected);
  EXPECT_EQ(2, settings.recVideoQuality.selected);
  EXPECT_FALSE(settings.recAudioEnable);
  EXPECT_EQ(1, settings.videoChannels.selected);
}

TEST_F(SetupCfg, FirstAndLastIndexOfEveryRangeAreAccepted) {
  WriteValues({"Tarvo", "V1.0.0", "V1.00", "0", "1", "2", "5", "1", "0", "6", "1", "0"});
  ASSERT_TRUE(Read());
  EXPECT_EQ(0, settings.accTriggerLevel.selected);
  EXPECT_EQ(0, settings.recVideoQuality.selected);
  EXPECT_TRUE(settings.recAudioEnable);
  EXPECT_EQ(5, settings.spkVol.selected);
  EXPECT_EQ(0, settings.videoChannels.selected);
  EXPECT_EQ("12.5V", settings.batteryCutOffVolt.SelectedText());
  EXPECT_EQ(0, settings.powerOffTimer.selected);
  EXPECT_EQ(0, settings.lcdOffTime.selected);
}

TEST_F(SetupCfg, TwentyFourVoltsThenSixSelectsTheHighestCutOff) {
  WriteValues({"Tarvo", "V1.0.0", "V1.00", "3", "3", "1", "3", "2", "1", "6"});
  ASSERT_TRUE(Read());
  EXPECT_EQ(CarVoltage::k24V, settings.carBatteryVolt);
  EXPECT_EQ(7, settings.batteryCutOffVolt.Count());
  EXPECT_EQ("S155", settings.batteryCutOffVolt.entries[0]);
  EXPECT_EQ("24.4V", settings.batteryCutOffVolt.SelectedText());
}

TEST_F(SetupCfg, MissingVoltageLineLeavesTheCutOffListAsItWas) {
  WriteValues({"Tarvo", "V1.0.0", "V1.00", "3", "3", "1", "3", "2"});
  ASSERT_TRUE(Read());
  EXPECT_EQ(CarVoltage::k12V, settings.carBatteryVolt);
  EXPECT_EQ("11.9V", settings.batteryCutOffVolt.SelectedText());
}

TEST_F(SetupCfg, SoftwareVersionIsAdoptedOnlyFromTheSameModel) {
  WriteValues({"Tarvo", "V1.0.0", "V2.31"});
  ASSERT_TRUE(Read());
  EXPECT_EQ("V2.31", settings.softwareVersion);
  WriteValues({"Tarvo2", "V1.0.0", "V9.99"});
  ASSERT_TRUE(Read());
  EXPECT_EQ("Tarvo2", settings.cardProductName);
  EXPECT_EQ("V1.00", settings.softwareVersion) << "not the version of the card read before";
  WriteValues({"tarvo", "V1.0.0", "V9.99"});
  ASSERT_TRUE(Read());
  EXPECT_EQ("V1.00", settings.softwareVersion) << "names compare case-sensitively";
  ASSERT_TRUE(WriteSetupCfg(file, settings));
  EXPECT_NE(std::string::npos, ReadBytes(file).find("S/W Version             : V1.00\r\n"));
}

TEST_F(SetupCfg, LeadingBlankParsesAsTheNumberAndTextAsZero) {
  WriteValues({"Tarvo", "V1.0.0", "V1.00", " 5", "abc", "\t0\t", "2x"});
  ASSERT_TRUE(Read());
  EXPECT_EQ(5, settings.accTriggerLevel.selected);
  EXPECT_EQ(2, settings.recVideoQuality.selected) << "0 is out of 1..3";
  EXPECT_FALSE(settings.recAudioEnable);
  EXPECT_EQ(2, settings.spkVol.selected);
}

TEST_F(SetupCfg, LabelsAreNotCheckedOnlyPositions) {
  WriteBytes(file, std::string(26, 'x') + "Tarvo\n" + std::string(26, 'y') + "z\n" + std::string(26, '#') + "V3\n" +
                       std::string(26, '-') + "1\n");
  ASSERT_TRUE(Read());
  EXPECT_EQ("V3", settings.softwareVersion);
  EXPECT_EQ(1, settings.accTriggerLevel.selected);
}

TEST_F(SetupCfg, LinesBeyondTwelveAreIgnored) {
  WriteValues({"Tarvo", "V1.0.0", "V1.00", "3", "3", "1", "3", "2", "0", "3", "2", "1", "9", "0"});
  ASSERT_TRUE(Read());
  EXPECT_EQ(1, settings.lcdOffTime.selected);
}

TEST_F(SetupCfg, AnOverlongLineDoesNotShiftTheLinesAfterIt) {
  WriteValues({std::string(3000, 'P'), "V1.0.0", "V1.00", "6"});
  ASSERT_TRUE(Read());
  EXPECT_EQ(255u - 26u, settings.cardProductName.size());
  EXPECT_EQ(6, settings.accTriggerLevel.selected);
}

TEST_F(SetupCfg, NulByteEndsTheTextOfItsLine) {
  WriteBytes(file, Line("Product Name", "Tarvo") + Line("H/W Version", "V1.0.0") +
                       Line("S/W Version", std::string("V1\0.77", 6)) +
                       std::string("Acc Trigger Level  \0    : 6\r\n", 29) + Line("REC Video Qulity", "1"));
  ASSERT_TRUE(Read());
  EXPECT_EQ("V1", settings.softwareVersion);
  EXPECT_EQ(3, settings.accTriggerLevel.selected) << "the NUL shortened the line: parse ends";
  EXPECT_EQ(2, settings.recVideoQuality.selected);
}

TEST_F(SetupCfg, LfOnlyLineEndsReadLikeCrLf) {
  std::string bytes = devicetest::kDefaultSetupCfg;
  for (std::size_t at; (at = bytes.find("\r\n")) != std::string::npos;) bytes.erase(at, 1);
  WriteBytes(file, bytes);
  ClearDeviceSettings(settings);
  ASSERT_TRUE(Read());
  ASSERT_TRUE(WriteSetupCfg(file, settings));
  EXPECT_EQ(devicetest::kDefaultSetupCfg, ReadBytes(file));
}

TEST_F(SetupCfg, MissingFileOrFolderFailsAndChangesNothing) {
  settings.accTriggerLevel.Select(6);
  EXPECT_FALSE(ReadSetupCfg(dir / "absent.cfg", settings, FakeText));
  EXPECT_FALSE(ReadSetupCfg(dir.Path(), settings, FakeText));
  EXPECT_FALSE(ReadSetupCfg("/dev/zero", settings, FakeText));
  EXPECT_EQ(6, settings.accTriggerLevel.selected);
}

TEST_F(SetupCfg, EmptyFileIsReadWithNothingChanged) {
  WriteBytes(file, "");
  EXPECT_TRUE(Read());
  EXPECT_EQ(3, settings.accTriggerLevel.selected);
}

TEST_F(SetupCfg, BinaryGarbageNeverCrashes) {
  for (int seed = 1; seed < 40; ++seed) {
    std::string bytes;
    unsigned state = static_cast<unsigned>(seed);
    for (int i = 0; i < 4000; ++i) {
      state = state * 1103515245u + 12345u;
      bytes.push_back(static_cast<char>((state >> 16) & 0xFF));
      if (i % 53 == 0) bytes.push_back('\n');
    }
    WriteBytes(file, bytes);
    DeviceSettings s = MakeDefaultDeviceSettings(FakeText);
    EXPECT_TRUE(ReadSetupCfg(file, s, FakeText));
    EXPECT_GE(s.accTriggerLevel.selected, -1);
    EXPECT_LT(s.accTriggerLevel.selected, s.accTriggerLevel.Count());
    EXPECT_LT(s.batteryCutOffVolt.selected, s.batteryCutOffVolt.Count());
  }
}

TEST_F(SetupCfg, WritingIntoAMissingFolderFails) { EXPECT_FALSE(WriteSetupCfg(dir / "no" / "setup.cfg", settings)); }

TEST_F(SetupCfg, ValuesWithLineBreaksCannotAddLines) {
  settings.softwareVersion = "V1\r\nAcc Trigger Level       : 0";
  ASSERT_TRUE(WriteSetupCfg(file, settings));
  EXPECT_NE(std::string::npos, ReadBytes(file).find("S/W Version             : V1\r\nAcc Trigger Level       : 3\r\n"));
}

TEST(DeviceChoices, ListsHoldTheChoicesOfTheModel) {
  const DeviceSettings s = MakeDefaultDeviceSettings(FakeText);
  EXPECT_EQ((std::vector<std::string>{"S270", "S161", "S160", "S159", "S158", "S157", "S156"}),
            s.accTriggerLevel.entries);
  EXPECT_EQ((std::vector<std::string>{"S172", "S171", "S170"}), s.recVideoQuality.entries);
  EXPECT_EQ((std::vector<std::string>{"S236", "Level 1", "Level 2", "Level 3", "Level 4", "Level 5"}),
            s.spkVol.entries);
  EXPECT_EQ((std::vector<std::string>{"S175", "S174"}), s.videoChannels.entries);
  EXPECT_EQ((std::vector<std::string>{"S155", "11.5V", "11.7V", "11.9V", "12.1V", "12.3V", "12.5V"}),
            s.batteryCutOffVolt.entries);
  EXPECT_EQ((std::vector<std::string>{"6H", "12H", "24H", "48H"}), s.powerOffTimer.entries);
  EXPECT_EQ((std::vector<std::string>{"S214", "S215", "S216", "S217", "S220"}), s.lcdOffTime.entries);
  EXPECT_EQ("11.9V", s.batteryCutOffVolt.SelectedText());
  EXPECT_EQ("12H", s.powerOffTimer.SelectedText());
}

TEST(DeviceChoices, TwentyFourVoltListHasItsOwnVoltages) {
  ChoiceList list;
  list.Add("old");
  list.selected = 0;
  RebuildCutOffList(list, true, FakeText);
  EXPECT_EQ((std::vector<std::string>{"S155", "23.0V", "23.4V", "23.8V", "24.2V", "24.3V", "24.4V"}), list.entries);
  EXPECT_EQ(-1, list.selected);
}

TEST(DeviceChoices, DefaultsResetAnEarlierCardsVersionAndChoices) {
  DeviceSettings s = MakeDefaultDeviceSettings(FakeText);
  s.softwareVersion = "V7";
  s.carBatteryVolt = CarVoltage::k24V;
  RebuildCutOffList(s.batteryCutOffVolt, true, FakeText);
  s.lcdOffTime.Select(4);
  ApplyDeviceDefaults(s, FakeText);
  EXPECT_EQ("V1.00", s.softwareVersion);
  EXPECT_EQ(CarVoltage::k12V, s.carBatteryVolt);
  EXPECT_EQ("11.9V", s.batteryCutOffVolt.SelectedText());
  EXPECT_EQ(1, s.lcdOffTime.selected);
}

TEST(DeviceChoices, VoltageClickKeepsTheCutOffPosition) {
  DeviceSettings s = MakeDefaultDeviceSettings(FakeText);
  SelectVehicleVoltage(s, true, FakeText);
  EXPECT_EQ(CarVoltage::k24V, s.carBatteryVolt);
  EXPECT_EQ("23.8V", s.batteryCutOffVolt.SelectedText());
  s.batteryCutOffVolt.selected = -1;
  SelectVehicleVoltage(s, false, FakeText);
  EXPECT_EQ(0, s.batteryCutOffVolt.selected) << "no selection keeps the first entry";
  EXPECT_EQ("S155", s.batteryCutOffVolt.SelectedText());
}

TEST(DeviceChoices, OtherModelsGetTheShortCutOffList) {
  DeviceSettings s = MakeDefaultDeviceSettings(FakeText);
  s.modelName = "";
  s.batteryCutOffVolt.Select(6);
  SelectVehicleVoltage(s, true, FakeText);
  EXPECT_EQ((std::vector<std::string>{"S155", "23.0V", "23.4V", "23.8V", "24.2V"}), s.batteryCutOffVolt.entries);
  EXPECT_EQ(-1, s.batteryCutOffVolt.selected) << "position 6 does not exist in the short list";
}

TEST(DeviceChoices, ModelRulesFillTheListsPerModel) {
  DeviceSettings s = MakeDefaultDeviceSettings(FakeText);
  ApplyModelRules(s, 1, FakeText);
  EXPECT_EQ((std::vector<std::string>{"S172", "S170"}), s.recVideoQuality.entries);
  EXPECT_EQ((std::vector<std::string>{"Level 1", "Level 2", "Level 3", "Level 4", "Level 5"}), s.spkVol.entries);
  EXPECT_EQ(0, s.lcdOffTime.Count());
  EXPECT_EQ(-1, s.spkVol.selected);
  ApplyModelRules(s, 0, FakeText);
  EXPECT_EQ((std::vector<std::string>{"S172", "S171", "S170"}), s.recVideoQuality.entries);
  EXPECT_EQ(6, s.spkVol.Count());
  EXPECT_EQ(5, s.lcdOffTime.Count());
}

TEST(ChoiceLists, SelectionStaysWithinTheEntries) {
  ChoiceList list;
  list.Add("2011");
  list.Add("2012");
  EXPECT_FALSE(list.Select(2));
  EXPECT_FALSE(list.Select(-1));
  EXPECT_EQ(-1, list.selected);
  EXPECT_EQ("", list.SelectedText());
  EXPECT_TRUE(list.SelectPrefix("2012"));
  EXPECT_EQ(1, list.selected);
  EXPECT_FALSE(list.SelectPrefix("2035"));
  EXPECT_EQ(1, list.selected);
  EXPECT_EQ(0, list.FindPrefix("201"));
}

}  // namespace
