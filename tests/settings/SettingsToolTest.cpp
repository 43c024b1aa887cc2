// The setup-cfg and option-ini subcommands of tarvo-tool, run as a user's script would.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/support/FileBytes.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

using testsupport::ReadBytes;
using testsupport::ScopedEnv;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

const char kDefaultSetupCfg[] =
    "Product Name            : Tarvo\r\nH/W Version             : V1.0.0\r\n"
    "S/W Version             : V1.00\r\nAcc Trigger Level       : 3\r\n"
    "REC Video Qulity        : 3\r\nREC Audio Enable        : 1\r\n"
    "SPK Vol                 : 3\r\nVideo Channles          : 2\r\n"
    "Car Battery Volt        : 0\r\nBattery CutOff Volt     : 3\r\n"
    "Power Off Timer         : 2\r\nLCD Off Time            : 1\r\n";

class SettingsTool : public ::testing::Test {
 protected:
  TempFolder dir;
  ScopedEnv home{"HOME", dir.Path().c_str()};
  ScopedEnv xdg{"XDG_CONFIG_HOME", (dir / "cfg").c_str()};

  // Runs tarvo-tool with `args` (already shell-safe); stdout and stderr go to files.
  // A run that waits on a named pipe is ended after 20 s (status 124).
  int Run(const std::string& args) {
    const std::string command = std::string("timeout 20 '") + TARVO_BINARY_DIR + "/bin/tarvo-tool' " + args + " >'" +
                                (dir / "out.txt").string() + "' 2>'" + (dir / "err.txt").string() + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Out() { return ReadBytes(dir / "out.txt"); }
  std::string Err() { return ReadBytes(dir / "err.txt"); }
  std::string P(const char* name) { return "'" + (dir / name).string() + "'"; }
};

TEST_F(SettingsTool, SetupCfgDefaultsWritesTheDefaultFile) {
  ASSERT_EQ(0, Run("setup-cfg defaults " + P("setup.cfg")));
  EXPECT_EQ(kDefaultSetupCfg, ReadBytes(dir / "setup.cfg"));
}

TEST_F(SettingsTool, SetupCfgNormalizeKeepsValidValuesAndDropsTheRest) {
  WriteBytes(dir / "in.cfg",
             "Product Name            : Tarvo\nH/W Version             : V9\n"
             "S/W Version             : V2.10\nAcc Trigger Level       : 9\n"
             "REC Video Qulity        : 1\nREC Audio Enable        : 0\n"
             "SPK Vol                 : 5\nVideo Channles          : 1\n"
             "Car Battery Volt        : 1\nBattery CutOff Volt     : 6\n"
             "Power Off Timer         : 4\nLCD Off Time            : 4\nMore                    : x\n");
  ASSERT_EQ(0, Run("setup-cfg normalize " + P("in.cfg") + " " + P("out.cfg")));
  EXPECT_EQ(
      "Product Name            : Tarvo\r\nH/W Version             : V1.0.0\r\n"
      "S/W Version             : V2.10\r\nAcc Trigger Level       : 3\r\n"
      "REC Video Qulity        : 1\r\nREC Audio Enable        : 0\r\n"
      "SPK Vol                 : 5\r\nVideo Channles          : 1\r\n"
      "Car Battery Volt        : 1\r\nBattery CutOff Volt     : 6\r\n"
      "Power Off Timer         : 4\r\nLCD Off Time            : 4\r\n",
      ReadBytes(dir / "out.cfg"));
}

TEST_F(SettingsTool, SetupCfgNormalizeOfAnUnreadableFileWritesTheDefaults) {
  ASSERT_EQ(0, Run("setup-cfg normalize " + P("absent.cfg") + " " + P("out.cfg")));
  EXPECT_EQ(kDefaultSetupCfg, ReadBytes(dir / "out.cfg"));
  EXPECT_NE(std::string::npos, Err().find("cannot read"));
}

TEST_F(SettingsTool, SetupCfgNormalizeSurvivesGarbage) {
  std::string garbage;
  for (int i = 0; i < 20000; ++i) garbage.push_back(static_cast<char>((i * 131 + 7) % 256));
  WriteBytes(dir / "in.cfg", garbage);
  ASSERT_EQ(0, Run("setup-cfg normalize " + P("in.cfg") + " " + P("out.cfg")));
  EXPECT_EQ(12, [&] {
    const std::string out = ReadBytes(dir / "out.cfg");
    int lines = 0;
    for (std::size_t at = 0; (at = out.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    return lines;
  }());
}

TEST_F(SettingsTool, UnwritableOutputFailsWithAMessage) {
  EXPECT_EQ(1, Run("setup-cfg defaults " + P("missing/setup.cfg")));
  EXPECT_NE(std::string::npos, Err().find("cannot write"));
  WriteBytes(dir / "option.ini", "PLAY_VALUE=3\n");
  EXPECT_EQ(1, Run("option-ini normalize " + P("option.ini") + " " + P("missing/o.ini")));
  EXPECT_NE(std::string::npos, Err().find("cannot write"));
}

TEST_F(SettingsTool, OptionIniNormalizeRewritesTheFileOverTheDefaults) {
  WriteBytes(dir / "option.ini",
             "[OPTION]\nSAVE_DIRECTORY=/caps\nSPEED=2\nREAR_MIRROR=2\njunk\n"
             "LANGUAGE=7\nPLAY_VALUE = 9\nMARKER_G=5\n");
  ASSERT_EQ(0, Run("option-ini normalize " + P("option.ini") + " " + P("out.ini")));
  EXPECT_EQ(
      "[DIRECTORY]\r\nROOT_DIRECTORY=VK_BLACKBOX\r\nEVENT_DIRECTORY=MP4_EVENT\r\n"
      "CONTINUOS_DIRECTORY=MP4_INFINITE\r\n[OPTION]\r\nSAVE_DIRECTORY=/caps\r\n"
      "PLAY_VALUE=5\r\nUSE_LOG=FALSE\r\nLOG_LEVEL=3\r\nLOG_TYPE=3\r\nREAR_MIRROR=0\r\n"
      "LANGUAGE=7\r\nDEFAULT_LANGUAGE=0\r\nMODEL=0\r\nSPEED=1\r\nTIME_ZONE=\r\nMARKER_G=50\r\n"
      "[MAP]\r\nTILE_ADDRESS=https://tile.openstreetmap.org/{z}/{x}/{y}.png\r\n"
      "TILE_CREDIT=\u00A9 OpenStreetMap contributors\r\nTILE_CREDIT_LINK=https://www.openstreetmap.org/copyright\r\n"
      "TILE_REPORT_LINK=https://www.openstreetmap.org/fixthemap\r\n",
      ReadBytes(dir / "out.ini"));
}

TEST_F(SettingsTool, OptionIniNormalizeWritesALanguageWithoutALibraryAStepBelowOneAndAnUnknownModelAsTheirFallbacks) {
  WriteBytes(dir / "option.ini", "LANGUAGE=99\nDEFAULT_LANGUAGE=4\nPLAY_VALUE=-3\n");
  ASSERT_EQ(0, Run("option-ini normalize " + P("option.ini") + " " + P("out.ini")));
  const std::string out = ReadBytes(dir / "out.ini");
  EXPECT_NE(std::string::npos, out.find("\r\nPLAY_VALUE=5\r\n")) << out;
  EXPECT_NE(std::string::npos, out.find("\r\nLANGUAGE=4\r\nDEFAULT_LANGUAGE=4\r\n")) << out;
  WriteBytes(dir / "option.ini", "LANGUAGE=-7\nDEFAULT_LANGUAGE=12\nMODEL=2147483647\n");
  ASSERT_EQ(0, Run("option-ini normalize " + P("option.ini") + " " + P("out.ini")));
  EXPECT_NE(std::string::npos, ReadBytes(dir / "out.ini").find("\r\nLANGUAGE=0\r\nDEFAULT_LANGUAGE=12\r\nMODEL=0\r\n"));
  WriteBytes(dir / "option.ini", "MODEL=-1\n");
  ASSERT_EQ(0, Run("option-ini normalize " + P("option.ini") + " " + P("out.ini")));
  EXPECT_NE(std::string::npos, ReadBytes(dir / "out.ini").find("\r\nMODEL=0\r\n"));
}

TEST_F(SettingsTool, NamedPipesAreRefusedAtOnceNotWaitedOn) {
  ASSERT_EQ(0, ::mkfifo((dir / "pipe").c_str(), 0600));
  EXPECT_EQ(1, Run("option-ini normalize " + P("pipe") + " " + P("out.ini")));
  EXPECT_EQ(
      "tarvo-tool option-ini: cannot read '" + (dir / "pipe").string() + "': is a named pipe (FIFO), not a file\n",
      Err());
  // A card's settings file that is a pipe is as unreadable as a missing one.
  EXPECT_EQ(0, Run("setup-cfg normalize " + P("pipe") + " " + P("setup.cfg")));
  EXPECT_EQ(kDefaultSetupCfg, ReadBytes(dir / "setup.cfg"));
}

TEST_F(SettingsTool, OptionIniNormalizeOfAMissingFileFails) {
  EXPECT_EQ(1, Run("option-ini normalize " + P("absent.ini") + " " + P("out.ini")));
  EXPECT_NE(std::string::npos, Err().find("cannot read"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out.ini"));
}

TEST_F(SettingsTool, WrongArgumentsPrintUsageAndHelpAnswers) {
  EXPECT_EQ(2, Run("setup-cfg"));
  EXPECT_NE(std::string::npos, Err().find("usage: tarvo-tool setup-cfg"));
  EXPECT_EQ(2, Run("setup-cfg normalize " + P("a")));
  EXPECT_EQ(2, Run("option-ini defaults " + P("a")));
  EXPECT_EQ(0, Run("setup-cfg --help"));
  EXPECT_NE(std::string::npos, Out().find("normalize IN OUT"));
  EXPECT_EQ(0, Run("option-ini --help"));
  EXPECT_NE(std::string::npos, Out().find("usage: tarvo-tool option-ini normalize IN OUT"));
  EXPECT_EQ(0, Run("--help"));
  EXPECT_NE(std::string::npos, Out().find("setup-cfg"));
  EXPECT_NE(std::string::npos, Out().find("option-ini"));
}

}  // namespace
