#include "platform/Paths.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {
namespace {

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

}  // namespace

fs::path ExecutableFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return exe.parent_path();
}

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

bool IsWritableFolder(const fs::path& folder) {
  std::error_code ec;
  return !folder.empty() && fs::is_directory(folder, ec) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

fs::path ConfigFolder() {
  if (fs::path forced = EnvPath("TARVO_CONFIG_DIR"); !forced.empty()) return forced;
  const fs::path exeFolder = ExecutableFolder();
  if (IsWritableFolder(exeFolder)) return exeFolder / "config";
  return UserConfigFolder();
}

fs::path TempFolder() {
  if (fs::path forced = EnvPath("TARVO_TEMP_DIR"); !forced.empty()) return forced;
  const fs::path exeFolder = ExecutableFolder();
  if (IsWritableFolder(exeFolder)) return exeFolder / "temp";
  const fs::path cache = UserCacheFolder();
  return cache.empty() ? fs::path() : cache / "temp";
}

}  // namespace platform
