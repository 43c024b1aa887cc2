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

TEST(Paths, ConfigAndTempSitBesideAWritableBinary) {
  ScopedEnv c("TARVO_CONFIG_DIR", nullptr), t("TARVO_TEMP_DIR", nullptr);
  EXPECT_EQ(platform::ExecutableFolder() / "config", platform::ConfigFolder());
  EXPECT_EQ(platform::ExecutableFolder() / "temp", platform::TempFolder());
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
