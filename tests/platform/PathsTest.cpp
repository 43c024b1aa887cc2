#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/Paths.h"

namespace fs = std::filesystem;

namespace {

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      had_ = true;
      old_ = old;
    }
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (had_)
      ::setenv(name_, old_.c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

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
  const fs::path root = fs::temp_directory_path() / "tarvo-paths-test";
  fs::remove_all(root);
  fs::create_directories(root / "cfg");
  ScopedEnv h("HOME", root.c_str());
  ScopedEnv x("XDG_CONFIG_HOME", (root / "cfg").c_str());
  ScopedEnv k("XDG_CACHE_HOME", nullptr);
  EXPECT_EQ(root / "cfg" / "tarvo-viewer", platform::UserConfigFolder());
  EXPECT_EQ(root / ".cache" / "tarvo-viewer", platform::UserCacheFolder());
  EXPECT_EQ(root / "Documents", platform::DocumentsFolder());
  {
    std::FILE* f = std::fopen((root / "cfg" / "user-dirs.dirs").c_str(), "w");
    ASSERT_NE(nullptr, f);
    std::fputs("# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\nXDG_DESKTOP_DIR=\"/abs/desk\"\n", f);
    std::fclose(f);
  }
  EXPECT_EQ(root / "Dokumente", platform::DocumentsFolder());
  EXPECT_EQ(fs::path("/abs/desk"), platform::DesktopFolder());
  fs::remove_all(root);
}

TEST(Paths, NoHomeGivesEmptyUserFolders) {
  ScopedEnv h("HOME", nullptr), x("XDG_CONFIG_HOME", nullptr);
  EXPECT_TRUE(platform::UserConfigFolder().empty());
  EXPECT_TRUE(platform::DocumentsFolder().empty());
}

}  // namespace
