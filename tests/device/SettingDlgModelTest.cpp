// The settings dialog's rules without its widgets: start-up, model and card choice,
// Default, the vehicle voltage, the clock box and what OK writes.

#include <gtest/gtest.h>

#include "device/SettingDlgModel.h"
#include "settings/LanguageLibrary.h"
#include "tests/device/DefaultSetupCfg.h"
#include "tests/device/DeviceTestSupport.h"

using namespace devicetest;

namespace {

std::string FakeText(int number) { return "S" + std::to_string(number); }

class SettingModel : public ::testing::Test {
 protected:
  SettingModel() {
    viewer.saveDirectory = (temp / "captures").string();
    viewer.playValue = 7;
    viewer.rearMirror = true;
    fs::create_directories(temp / "card");
    card.root = (temp / "card").string() + "/";
    card.physicalPath = (temp / "card.img").string();
    card.label = "CAM";
  }
  void Start(int modelIndex = 0) {
    viewer.model = modelIndex;
    model.Startup(viewer, {card});
  }
  // Every device choice moved off its default, so a reset shows.
  void ChangeDeviceHalf() {
    model.device.accTriggerLevel.Select(6);
    model.device.recVideoQuality.Select(0);
    model.device.recAudioEnable = false;
    model.device.spkVol.Select(0);
    model.device.videoChannels.Select(0);
    model.VehicleVoltage(true);
    model.device.batteryCutOffVolt.Select(6);
    model.device.powerOffTimer.Select(3);
    model.device.lcdOffTime.Select(4);
  }

  testsupport::TempFolder temp;
  ViewerSettings viewer;
  device::CardEntry card;
  device::CardFilePaths files;
  device::SettingDlgModel model{FakeText, files};
};

TEST_F(SettingModel, StartupSelectsTheModelAndShowsDefaultsAndTheViewerOptions) {
  Start();
  EXPECT_EQ(0, model.ModelIndex());
  EXPECT_EQ("Tarvo", model.device.modelName);
  EXPECT_EQ("Tarvo", files.volumeLabel);
  EXPECT_EQ(3, model.device.accTriggerLevel.selected);
  EXPECT_EQ("11.9V", model.device.batteryCutOffVolt.SelectedText());
  EXPECT_EQ(std::vector<std::string>({"S214", "S215", "S216", "S217", "S220"}), model.device.lcdOffTime.entries);
  EXPECT_FALSE(model.clockBox);
  EXPECT_GE(model.clock.year.selected, 0) << "the clock lists show the current time";
  EXPECT_EQ(std::vector<std::string>({"S232", "S230"}), model.parkingMode.entries);
  EXPECT_EQ(std::vector<std::string>({"S243", "S244"}), model.drivingAlert.entries);
  EXPECT_EQ(viewer.saveDirectory, model.saveDirectory);
  EXPECT_EQ(7, model.jumpStep);
  EXPECT_EQ("7", model.jumpStepText);
  EXPECT_TRUE(model.rearMirror);
  EXPECT_EQ(-1, model.selectedCard) << "no card is chosen until the user chooses one";
  ASSERT_EQ(1u, model.cards.size());
}

TEST_F(SettingModel, OtherModelLeavesTheModelListEmptyAndReadsNothing) {
  WriteSetupCfg(fs::path(card.root) / "setup.cfg", MakeDefaultDeviceSettings(FakeText));
  Start(3);
  EXPECT_EQ(-1, model.ModelIndex());
  EXPECT_EQ("", model.device.modelName);
  EXPECT_TRUE(model.device.lcdOffTime.entries.empty());
  EXPECT_EQ(std::vector<std::string>({"Level 1", "Level 2", "Level 3", "Level 4", "Level 5"}),
            model.device.spkVol.entries);
  EXPECT_EQ(std::vector<std::string>({"S172", "S170"}), model.device.recVideoQuality.entries);
  EXPECT_EQ(-1, model.device.accTriggerLevel.selected) << "no defaults for another model";
  model.CardChosen(0);
  EXPECT_EQ(-1, model.device.accTriggerLevel.selected) << "setup.cfg must not be read";
  const std::string before = ReadAll(fs::path(card.root) / "setup.cfg");
  model.WriteCardFiles();
  EXPECT_EQ(before, ReadAll(fs::path(card.root) / "setup.cfg")) << "setup.cfg must not be written";
  // Another model's cut-off list has string 155 and four voltages.
  model.VehicleVoltage(false);
  EXPECT_EQ(std::vector<std::string>({"S155", "11.5V", "11.7V", "11.9V", "12.1V"}),
            model.device.batteryCutOffVolt.entries);
}

TEST_F(SettingModel, CardWithoutSetupCfgResetsTheDeviceHalfOnly) {
  Start();
  ChangeDeviceHalf();
  model.saveDirectory = "/elsewhere";
  model.JumpStep(9);
  model.rearMirror = false;
  model.CardChosen(0);
  EXPECT_EQ(3, model.device.accTriggerLevel.selected);
  EXPECT_EQ(2, model.device.recVideoQuality.selected);
  EXPECT_TRUE(model.device.recAudioEnable);
  EXPECT_EQ(3, model.device.spkVol.selected);
  EXPECT_EQ(1, model.device.videoChannels.selected);
  EXPECT_EQ(CarVoltage::k12V, model.device.carBatteryVolt);
  EXPECT_EQ("11.9V", model.device.batteryCutOffVolt.SelectedText());
  EXPECT_EQ(1, model.device.powerOffTimer.selected);
  EXPECT_EQ(1, model.device.lcdOffTime.selected);
  EXPECT_EQ("/elsewhere", model.saveDirectory);
  EXPECT_EQ("9", model.jumpStepText);
  EXPECT_FALSE(model.rearMirror);
  EXPECT_EQ(fs::path(card.root) / "setup.cfg", files.setupCfg);
  EXPECT_EQ(fs::path(card.root) / "time.cfg", files.timeCfg);
}

TEST_F(SettingModel, CardFilesAreReadSetupCfgThenTimeCfg) {
  WriteAll(fs::path(card.root) / "setup.cfg",
           "Product Name            : Tarvo\r\nH/W Version             : V1.0.0\r\n"
           "S/W Version             : V2.31\r\nAcc Trigger Level       : 5\r\n"
           "REC Video Qulity        : 1\r\nREC Audio Enable        : 0\r\n"
           "SPK Vol                 : 0\r\nVideo Channles          : 1\r\n"
           "Car Battery Volt        : 1\r\nBattery CutOff Volt     : 6\r\n");
  WriteAll(fs::path(card.root) / "time.cfg", "30/12/31\r\n23/59/58\r\n");
  Start();
  model.CardChosen(0);
  EXPECT_EQ("V2.31", model.device.softwareVersion);
  EXPECT_EQ(5, model.device.accTriggerLevel.selected);
  EXPECT_EQ(0, model.device.recVideoQuality.selected);
  EXPECT_FALSE(model.device.recAudioEnable);
  EXPECT_EQ("S236", model.device.spkVol.SelectedText());
  EXPECT_EQ(CarVoltage::k24V, model.device.carBatteryVolt);
  EXPECT_EQ("24.4V", model.device.batteryCutOffVolt.SelectedText());
  EXPECT_EQ(1, model.device.powerOffTimer.selected) << "missing lines keep the defaults";
  EXPECT_EQ("2030", model.clock.year.SelectedText());
  EXPECT_EQ("23", model.clock.hour.SelectedText());
  EXPECT_EQ("58", model.clock.second.SelectedText());
  EXPECT_FALSE(model.clockBox) << "reading time.cfg does not check the clock box";
}

TEST_F(SettingModel, VoltageChangeKeepsTheCutOffPosition) {
  Start();
  ASSERT_EQ("11.9V", model.device.batteryCutOffVolt.SelectedText());
  model.VehicleVoltage(true);
  EXPECT_EQ("23.8V", model.device.batteryCutOffVolt.SelectedText());
  model.device.batteryCutOffVolt.selected = -1;
  model.VehicleVoltage(false);
  EXPECT_EQ("S155", model.device.batteryCutOffVolt.SelectedText()) << "no selection keeps the first entry";
}

TEST_F(SettingModel, DefaultResetsBothHalvesButTheSuppressFlagOnlyOnce) {
  EnvScope env;
  UseHome(env, temp.Path());
  Start();
  ChangeDeviceHalf();
  model.saveDirectory = "/elsewhere";
  model.JumpStep(2);
  model.CardChosen(-1);  // no card: device defaults only
  EXPECT_EQ(3, model.device.accTriggerLevel.selected);
  EXPECT_EQ("/elsewhere", model.saveDirectory);
  model.Default();
  EXPECT_EQ((temp / "Documents" / "CAM_CAPTURE").string(), model.saveDirectory);
  EXPECT_EQ(5, model.jumpStep);
  EXPECT_EQ("5", model.jumpStepText);
  EXPECT_FALSE(model.rearMirror);
}

TEST_F(SettingModel, OkWritesSetupCfgAndTimeCfgByteForByteOnlyWithACard) {
  Start();
  model.WriteCardFiles();
  EXPECT_FALSE(fs::exists(fs::path(card.root) / "setup.cfg")) << "no card chosen: nothing is written";
  model.CardChosen(0);
  model.ClockBox(true);
  std::tm time{};
  time.tm_year = 2012 - 1900;
  time.tm_mon = 2;
  time.tm_mday = 7;
  time.tm_hour = 9;
  time.tm_min = 5;
  time.tm_sec = 30;
  SetClockToTime(model.clock, time);
  model.WriteCardFiles();
  EXPECT_EQ(kDefaultSetupCfg, ReadAll(fs::path(card.root) / "setup.cfg"));
  EXPECT_EQ("12/03/07\r\n09/05/30\r\n", ReadAll(fs::path(card.root) / "time.cfg"));
  fs::remove(fs::path(card.root) / "time.cfg");
  model.ClockBox(false);
  model.WriteCardFiles();
  EXPECT_FALSE(fs::exists(fs::path(card.root) / "time.cfg")) << "the clock file needs the clock box";
}

TEST_F(SettingModel, StoredOptionsKeepTheLanguageAndTheSpeedUnitTheViewerRunsWith) {
  viewer.language = 6;
  viewer.speedInMiles = true;
  Start();
  EXPECT_EQ(6, model.language);
  model.saveDirectory = "/captures";
  model.JumpStep(3);
  model.rearMirror = true;
  ViewerSettings stored = viewer;
  stored.defaultLanguage = 4;
  const fs::path ini = temp / "option.ini";
  model.StoreViewerOptions(stored, ini);
  FreeLanguageLibrary(stored);
  EXPECT_EQ(
      "[DIRECTORY]\r\nROOT_DIRECTORY=VK_BLACKBOX\r\nEVENT_DIRECTORY=MP4_EVENT\r\n"
      "CONTINUOS_DIRECTORY=MP4_INFINITE\r\n[OPTION]\r\nSAVE_DIRECTORY=/captures\r\nPLAY_VALUE=3\r\n"
      "USE_LOG=FALSE\r\nLOG_LEVEL=3\r\nLOG_TYPE=3\r\nREAR_MIRROR=1\r\nLANGUAGE=6\r\nDEFAULT_LANGUAGE=4\r\n"
      "MODEL=0\r\nSPEED=1\r\nTIME_ZONE=\r\nMARKER_G=50\r\n[MAP]\r\nTILE_ADDRESS=https://tile.openstreetmap.org/{z}/{x}/"
      "{y}.png\r\n"
      "TILE_CREDIT=\u00A9 OpenStreetMap contributors\r\nTILE_CREDIT_LINK=https://www.openstreetmap.org/copyright\r\n"
      "TILE_REPORT_LINK=https://www.openstreetmap.org/fixthemap\r\n",
      ReadAll(ini));
  // A language chosen in the dialog is the one stored.
  model.language = 2;
  model.StoreViewerOptions(stored, ini);
  FreeLanguageLibrary(stored);
  EXPECT_EQ(2, stored.language);
  EXPECT_NE(std::string::npos, ReadAll(ini).find("LANGUAGE=2\r\n"));
  EXPECT_NE(std::string::npos, ReadAll(ini).find("SPEED=1\r\n"));
}

TEST_F(SettingModel, NewCardListKeepsTheChosenCardWhileItIsThere) {
  Start();
  model.CardChosen(0);
  device::CardEntry other = card;
  other.root = "/media/u/OTHER/";
  other.physicalPath = "/dev/sdz";
  model.CardsChanged({other, card});
  EXPECT_EQ(1, model.selectedCard);
  model.CardsChanged({other});
  EXPECT_EQ(-1, model.selectedCard);
  EXPECT_EQ(nullptr, model.SelectedCard());
}

TEST_F(SettingModel, ModelChangeReadsTheCardAgain) {
  Start(3);
  model.CardChosen(0);
  WriteAll(fs::path(card.root) / "setup.cfg",
           "Product Name            : Tarvo\r\nH/W Version             : V1.0.0\r\n"
           "S/W Version             : V1.07\r\nAcc Trigger Level       : 1\r\n");
  model.ModelChosen(0);
  EXPECT_EQ("Tarvo", model.device.modelName);
  EXPECT_EQ(1, model.device.accTriggerLevel.selected);
  EXPECT_EQ("V1.07", model.device.softwareVersion);
}

}  // namespace
