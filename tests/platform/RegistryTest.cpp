#include <gtest/gtest.h>

#include <string>

#include "platform/Registry.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

using platform::Registry;
using platform::RegistryHive;
using testsupport::ReadBytes;
using testsupport::ScopedEnv;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

class RegistryFile : public ::testing::Test {
 protected:
  TempFolder dir;
  std::filesystem::path file = dir / "hive" / "HKEY_LOCAL_MACHINE.ini";
  Registry reg{file};
};

TEST_F(RegistryFile, ValuesPersistAcrossInstancesInAReadableFile) {
  ASSERT_TRUE(reg.SetDword("Software\\GNU\\ffdshow", "h264", 1));
  ASSERT_TRUE(reg.SetString("Software\\GNU\\ffdshow", "whitelist", "a.exe;b.exe"));
  Registry again(file);
  EXPECT_EQ(1u, again.GetDword("Software\\GNU\\ffdshow", "h264"));
  EXPECT_EQ("a.exe;b.exe", again.GetString("Software\\GNU\\ffdshow", "whitelist"));
  EXPECT_EQ("[Software\\GNU\\ffdshow]\nh264=dword:00000001\nwhitelist=sz:a.exe;b.exe\n\n", ReadBytes(file));
}

TEST_F(RegistryFile, BinaryValuesKeepEveryByteIncludingZerosAndAreNoStrings) {
  const std::string bytes("a\0b\xff\n=\0", 7);
  ASSERT_TRUE(reg.SetBinary("Software\\GNU\\ffdshow", "whitelist", bytes));
  Registry again(file);
  EXPECT_EQ(again.GetBinary("Software\\GNU\\ffdshow", "whitelist"), std::optional<std::string>(bytes));
  EXPECT_EQ(again.GetString("Software\\GNU\\ffdshow", "whitelist"), std::nullopt);
  EXPECT_EQ(ReadBytes(file), "[Software\\GNU\\ffdshow]\nwhitelist=hex:610062ff0a3d00\n\n");
  // A damaged hex text is not read as a value.
  WriteBytes(file, "[K]\nv=hex:6g\nw=hex:123\n");
  EXPECT_EQ(again.GetBinary("K", "v"), std::nullopt);
  EXPECT_EQ(again.GetBinary("K", "w"), std::nullopt);
}

TEST_F(RegistryFile, NamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
  ASSERT_TRUE(reg.SetDword("SOFTWARE\\Nevroc", "usingDShow", 1));
  ASSERT_TRUE(reg.SetDword("software/nevroc/", "USINGDSHOW", 0));
  EXPECT_EQ(0u, reg.GetDword("Software\\NEVROC", "usingdshow"));
  EXPECT_EQ(std::vector<std::string>{"usingDShow"}, reg.ValueNames("software\\nevroc"));
  EXPECT_TRUE(reg.KeyExists("\\SOFTWARE\\\\Nevroc"));
}

TEST_F(RegistryFile, ATypeMismatchReadsAsMissing) {
  ASSERT_TRUE(reg.SetString("K", "v", "12"));
  EXPECT_FALSE(reg.GetDword("K", "v").has_value());
  ASSERT_TRUE(reg.SetDword("K", "v", 12));
  EXPECT_FALSE(reg.GetString("K", "v").has_value());
  EXPECT_EQ(12u, reg.GetDword("K", "v"));
}

TEST_F(RegistryFile, FullDwordRangeRoundTrips) {
  ASSERT_TRUE(reg.SetDword("K", "max", 0xFFFFFFFFu));
  ASSERT_TRUE(reg.SetDword("K", "zero", 0));
  EXPECT_EQ(0xFFFFFFFFu, reg.GetDword("K", "max"));
  EXPECT_EQ(0u, reg.GetDword("K", "zero"));
}

TEST_F(RegistryFile, TextsWithLineBreaksAndBracketsCannotBreakTheFile) {
  const std::string tricky = "line1\r\n[Evil]\nx=dword:1 100% = ok";
  ASSERT_TRUE(reg.SetString("K", "name=[x]", tricky));
  ASSERT_TRUE(reg.SetDword("K", "after", 5));
  Registry again(file);
  EXPECT_EQ(tricky, again.GetString("K", "name=[x]"));
  EXPECT_EQ(5u, again.GetDword("K", "after"));
  EXPECT_FALSE(again.KeyExists("Evil"));
}

TEST_F(RegistryFile, DeleteValueAndDeleteKeyWithItsSubkeys) {
  ASSERT_TRUE(reg.SetDword("A\\B", "x", 1));
  ASSERT_TRUE(reg.SetDword("A\\B\\C", "y", 2));
  ASSERT_TRUE(reg.SetDword("A\\BC", "z", 3));
  ASSERT_TRUE(reg.DeleteValue("A\\B", "X"));
  EXPECT_FALSE(reg.GetDword("A\\B", "x").has_value());
  EXPECT_TRUE(reg.KeyExists("A\\B"));
  ASSERT_TRUE(reg.DeleteKey("a\\b"));
  EXPECT_FALSE(reg.KeyExists("A\\B"));
  EXPECT_FALSE(reg.KeyExists("A\\B\\C"));
  EXPECT_EQ(3u, reg.GetDword("A\\BC", "z")) << "a sibling whose name starts alike stays";
}

TEST_F(RegistryFile, MissingHiveReadsEmptyAndEmptyKeyPathsAreRefused) {
  EXPECT_FALSE(reg.KeyExists("Software"));
  EXPECT_FALSE(reg.GetDword("Software", "x").has_value());
  EXPECT_FALSE(reg.SetDword("", "x", 1));
  EXPECT_FALSE(reg.CreateKey("\\/"));
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(reg.CreateKey("Software\\VK\\ffdshow"));
  EXPECT_TRUE(reg.KeyExists("Software\\VK\\ffdshow"));
}

TEST_F(RegistryFile, MalformedAndGarbageLinesAreSkipped) {
  std::filesystem::create_directories(file.parent_path());
  std::string bytes =
      "x=dword:1\n[K]\r\ngood=dword:0000002A\r\nbad=dword:xyz\nlong=dword:123456789\n"
      "noequals\nuntyped=12\ns=sz:ok%41%4\n[]\n[K2\n";
  for (int i = 0; i < 3000; ++i) bytes.push_back(static_cast<char>((i * 97 + 5) % 256));
  WriteBytes(file, bytes);
  EXPECT_EQ(42u, reg.GetDword("K", "good"));
  EXPECT_FALSE(reg.GetDword("K", "bad").has_value());
  EXPECT_FALSE(reg.GetDword("K", "long").has_value());
  EXPECT_FALSE(reg.GetString("K", "untyped").has_value());
  EXPECT_EQ("okA%4", reg.GetString("K", "s"));
  EXPECT_TRUE(reg.SetDword("K", "new", 7));
  EXPECT_EQ(42u, reg.GetDword("K", "good"));
}

TEST_F(RegistryFile, UnwritableLocationFailsCleanly) {
  Registry blocked(dir / "file-not-folder" / "hive.ini");
  WriteBytes(dir / "file-not-folder", "x");
  EXPECT_FALSE(blocked.SetDword("K", "v", 1));
  EXPECT_FALSE(blocked.KeyExists("K"));
}

TEST(RegistryHives, BothHivesAreFilesOfTheirOwnInTheConfigFolder) {
  TempFolder dir;
  ScopedEnv xdg("XDG_CONFIG_HOME", (dir / "cfg").c_str());
  {
    ScopedEnv config("TARVO_CONFIG_DIR", nullptr);
    EXPECT_EQ(dir / "cfg" / "tarvo-viewer" / "HKEY_CURRENT_USER.ini", Registry::HiveFile(RegistryHive::kCurrentUser));
  }
  ScopedEnv config("TARVO_CONFIG_DIR", (dir / "prog").c_str());
  EXPECT_EQ(dir / "prog" / "HKEY_CURRENT_USER.ini", Registry::HiveFile(RegistryHive::kCurrentUser));
  EXPECT_EQ(dir / "prog" / "HKEY_LOCAL_MACHINE.ini", Registry::HiveFile(RegistryHive::kLocalMachine));
  Registry user(RegistryHive::kCurrentUser);
  Registry machine(RegistryHive::kLocalMachine);
  ASSERT_TRUE(user.SetDword("Software\\GNU\\ffdshow", "h264", 1));
  EXPECT_TRUE(std::filesystem::exists(dir / "prog" / "HKEY_CURRENT_USER.ini"));
  EXPECT_FALSE(machine.GetDword("Software\\GNU\\ffdshow", "h264").has_value());
}

}  // namespace
