#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/Paths.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

using testsupport::ScopedEnv;
using testsupport::TempFolder;
using testsupport::WriteBytes;

TEST(Paths, ExecutableFolderIsTheFolderOfTheTestBinary) {
  const fs::path folder = platform::ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(fs::exists(folder / "paths_test"));
}

TEST(Paths, TheBuildTreeKeepsTheProgramsPartsBesideTheBinary) {
  // The build tree has no lib/tarvo-viewer or share/tarvo-viewer above bin/.
  EXPECT_EQ(platform::ExecutableFolder(), platform::ProgramFolder());
  EXPECT_EQ(platform::ExecutableFolder(), platform::ProgramDataFolder());
}

TEST(Paths, UserFilesLiveInTheUsersXdgFolders) {
  const TempFolder home;
  ScopedEnv c("TARVO_CONFIG_DIR", nullptr), t("TARVO_TEMP_DIR", nullptr);
  ScopedEnv x("XDG_CONFIG_HOME", (home.Path() / "cfg").c_str()), k("XDG_CACHE_HOME", (home.Path() / "cache").c_str());
  EXPECT_EQ(home.Path() / "cfg" / "tarvo-viewer", platform::ConfigFolder());
  EXPECT_EQ(home.Path() / "cache" / "tarvo-viewer", platform::CacheFolder());
  EXPECT_EQ(home.Path() / "cache" / "tarvo-viewer" / "temp", platform::TempFolder());
}

TEST(Paths, PortableMarkerKeepsUserFilesBesideTheBinary) {
  const TempFolder dir;
  const fs::path program = dir.Path() / "program";
  fs::create_directories(program);
  ScopedEnv c("TARVO_CONFIG_DIR", nullptr), x("XDG_CONFIG_HOME", (dir.Path() / "cfg").c_str());
  EXPECT_FALSE(platform::IsPortableBeside(program));
  EXPECT_EQ(dir.Path() / "cfg" / "tarvo-viewer", platform::UserFoldersBeside(program).config);
  WriteBytes(program / platform::kPortableMarker, "");
  const platform::UserFolders folders = platform::UserFoldersBeside(program);
  EXPECT_EQ(program / "config", folders.config);
  EXPECT_EQ(program / "cache", folders.cache);
  EXPECT_EQ(program / "temp", folders.temp);
}

TEST(Paths, AnEarlierBuildsSettingsAreTakenOverOnce) {
  const TempFolder dir;
  const fs::path program = dir.Path() / "program";
  const fs::path mine = dir.Path() / "cfg" / "tarvo-viewer" / "option.ini";
  ScopedEnv x("XDG_CONFIG_HOME", (dir.Path() / "cfg").c_str());
  fs::create_directories(program / "config");
  WriteBytes(program / "config" / "option.ini", "LANGUAGE=2\r\n");
  {
    // Tests and scripts that name their own folder never touch the user's.
    ScopedEnv c("TARVO_CONFIG_DIR", (dir.Path() / "forced").c_str());
    EXPECT_EQ(dir.Path() / "forced", platform::UserFoldersBeside(program).config);
    EXPECT_FALSE(fs::exists(mine));
  }
  ScopedEnv c("TARVO_CONFIG_DIR", nullptr);
  EXPECT_EQ(mine.parent_path(), platform::UserFoldersBeside(program).config);
  EXPECT_EQ("LANGUAGE=2\r\n", testsupport::ReadBytes(mine));
  // Once the user has a file of their own, the old one is never read again.
  WriteBytes(mine, "LANGUAGE=5\r\n");
  WriteBytes(program / "config" / "option.ini", "LANGUAGE=7\r\n");
  platform::UserFoldersBeside(program);
  EXPECT_EQ("LANGUAGE=5\r\n", testsupport::ReadBytes(mine));
}

TEST(Paths, EnvironmentOverridesConfigAndTemp) {
  ScopedEnv c("TARVO_CONFIG_DIR", "/x/config"), t("TARVO_TEMP_DIR", "/x/temp");
  EXPECT_EQ(fs::path("/x/config"), platform::ConfigFolder());
  EXPECT_EQ(fs::path("/x/temp"), platform::TempFolder());
}

TEST(Paths, XdgFoldersFollowTheirVariablesAndUserDirs) {
  const TempFolder home;
  const fs::path& root = home.Path();
  fs::create_directories(root / "cfg");
  ScopedEnv h("HOME", root.c_str());
  ScopedEnv x("XDG_CONFIG_HOME", (root / "cfg").c_str());
  ScopedEnv k("XDG_CACHE_HOME", nullptr);
  EXPECT_EQ(root / "cfg" / "tarvo-viewer", platform::UserConfigFolder());
  EXPECT_EQ(root / ".cache" / "tarvo-viewer", platform::UserCacheFolder());
  EXPECT_EQ(root / "Documents", platform::DocumentsFolder());
  WriteBytes(root / "cfg" / "user-dirs.dirs",
             "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\nXDG_DESKTOP_DIR=\"/abs/desk\"\n");
  EXPECT_EQ(root / "Dokumente", platform::DocumentsFolder());
  EXPECT_EQ(fs::path("/abs/desk"), platform::DesktopFolder());
}

TEST(Paths, NoHomeGivesEmptyUserFolders) {
  ScopedEnv h("HOME", nullptr), x("XDG_CONFIG_HOME", nullptr);
  EXPECT_TRUE(platform::UserConfigFolder().empty());
  EXPECT_TRUE(platform::DocumentsFolder().empty());
}

}  // namespace
