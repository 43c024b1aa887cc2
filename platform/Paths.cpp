#include "platform/Paths.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {
namespace {

constexpr const char* kSettingsFileName = "option.ini";

fs::path EnvPath(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return {};
  return fs::path(value);
}

fs::path HomeFolder() { return EnvPath("HOME"); }

// Reads one entry of ~/.config/user-dirs.dirs, e.g. XDG_DOCUMENTS_DIR="$HOME/Documents".
fs::path UserDir(const std::string& key, const char* fallbackName) {
  const fs::path home = HomeFolder();
  if (home.empty()) return {};
  std::ifstream in(UserConfigFolder().parent_path() / "user-dirs.dirs");
  std::string line;
  while (in && std::getline(in, line)) {
    if (line.rfind(key + "=", 0) != 0) continue;
    std::string value = line.substr(key.size() + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) return home / fs::path(value.substr(5)).relative_path();
    if (!value.empty() && value.front() == '/') return fs::path(value);
  }
  return home / fallbackName;
}

// Earlier builds kept option.ini in "config" beside the binary; the user's own file
// starts as a copy of it. Once the user has a file, the old one is never read again.
void TakeOverEarlierSettings(const fs::path& earlierFolder, const fs::path& userFolder) {
  std::error_code ec;
  const fs::path earlier = earlierFolder / kSettingsFileName;
  const fs::path mine = userFolder / kSettingsFileName;
  if (fs::exists(mine, ec) || !fs::is_regular_file(earlier, ec)) return;
  fs::create_directories(userFolder, ec);
  fs::copy_file(earlier, mine, fs::copy_options::skip_existing, ec);
}

// <binary>/<relative> when that folder exists, else the binary's folder.
fs::path InstalledOrBeside(const char* relative) {
  const fs::path exeFolder = ExecutableFolder();
  if (exeFolder.empty()) return {};
  std::error_code ec;
  const fs::path installed = (exeFolder / relative).lexically_normal();
  if (fs::is_directory(installed, ec)) return installed;
  return exeFolder;
}

}  // namespace

fs::path ExecutableFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return exe.parent_path();
}

fs::path ProgramFolder() { return InstalledOrBeside(TARVO_PROGRAM_FOLDER_FROM_BIN); }

fs::path ProgramDataFolder() { return InstalledOrBeside(TARVO_DATA_FOLDER_FROM_BIN); }

fs::path UserConfigFolder() {
  fs::path base = EnvPath("XDG_CONFIG_HOME");
  if (base.empty()) {
    const fs::path home = HomeFolder();
    if (home.empty()) return {};
    base = home / ".config";
  }
  return base / "tarvo-viewer";
}

fs::path UserCacheFolder() {
  fs::path base = EnvPath("XDG_CACHE_HOME");
  if (base.empty()) {
    const fs::path home = HomeFolder();
    if (home.empty()) return {};
    base = home / ".cache";
  }
  return base / "tarvo-viewer";
}

fs::path DocumentsFolder() { return UserDir("XDG_DOCUMENTS_DIR", "Documents"); }

fs::path DesktopFolder() { return UserDir("XDG_DESKTOP_DIR", "Desktop"); }

bool IsPortable() { return IsPortableBeside(ExecutableFolder()); }

bool IsPortableBeside(const fs::path& exeFolder) {
  std::error_code ec;
  return !exeFolder.empty() && fs::exists(exeFolder / kPortableMarker, ec);
}

UserFolders UserFoldersBeside(const fs::path& exeFolder) {
  UserFolders folders;
  const fs::path forcedConfig = EnvPath("TARVO_CONFIG_DIR");
  if (IsPortableBeside(exeFolder)) {
    folders = {exeFolder / "config", exeFolder / "cache", exeFolder / "temp"};
  } else {
    folders.config = UserConfigFolder();
    folders.cache = UserCacheFolder();
    if (!folders.cache.empty()) folders.temp = folders.cache / "temp";
    if (forcedConfig.empty() && !folders.config.empty() && !exeFolder.empty()) {
      TakeOverEarlierSettings(exeFolder / "config", folders.config);
    }
  }
  if (!forcedConfig.empty()) folders.config = forcedConfig;
  return folders;
}

fs::path ConfigFolder() { return UserFoldersBeside(ExecutableFolder()).config; }

fs::path CacheFolder() { return UserFoldersBeside(ExecutableFolder()).cache; }

fs::path TempFolder() {
  if (fs::path forced = EnvPath("TARVO_TEMP_DIR"); !forced.empty()) return forced;
  return UserFoldersBeside(ExecutableFolder()).temp;
}

}  // namespace platform
