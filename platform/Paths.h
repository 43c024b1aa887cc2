#pragma once
// Where the program finds and keeps its files on Linux.
//
// The program's own parts (card library, language libraries, map module, format
// script) and its data (the map page) sit beside the binary in the build tree, and
// in <prefix>/lib/tarvo-viewer and <prefix>/share/tarvo-viewer once installed; both
// are found from the binary's own location, so any prefix works.
//
// The user's files (option.ini, the registry hives, the folder picker's history, the
// temporary folder, the tile cache) live in the user's XDG config and cache folders.
// A marker file beside the binary (kPortableMarker) keeps them beside it instead.

#include <filesystem>

namespace platform {

// The file beside the binary that keeps the user's files beside it.
inline constexpr const char* kPortableMarker = "tarvo-viewer.portable";

// The folder of the running binary (/proc/self/exe); empty when it cannot be read.
std::filesystem::path ExecutableFolder();

// The program's libraries and helper scripts: <binary>/../lib/tarvo-viewer when that
// folder exists (an installed copy), else the binary's own folder (the build tree).
std::filesystem::path ProgramFolder();

// The program's data (map/map.htm): <binary>/../share/tarvo-viewer when that folder
// exists, else the binary's own folder.
std::filesystem::path ProgramDataFolder();

// $XDG_CONFIG_HOME/tarvo-viewer or ~/.config/tarvo-viewer (not created).
std::filesystem::path UserConfigFolder();

// $XDG_CACHE_HOME/tarvo-viewer or ~/.cache/tarvo-viewer (not created).
std::filesystem::path UserCacheFolder();

// The user's documents folder: XDG_DOCUMENTS_DIR from user-dirs.dirs, else ~/Documents;
// empty when there is no home folder.
std::filesystem::path DocumentsFolder();

// The user's desktop folder, found the same way (XDG_DESKTOP_DIR, else ~/Desktop).
std::filesystem::path DesktopFolder();

// Whether the portable marker stands beside the binary (beside `exeFolder`).
bool IsPortable();
bool IsPortableBeside(const std::filesystem::path& exeFolder);

// The user's folders for a binary in `exeFolder`; ConfigFolder, CacheFolder and
// TempFolder below are this rule for the running binary.
struct UserFolders {
  std::filesystem::path config;
  std::filesystem::path cache;
  std::filesystem::path temp;
};
UserFolders UserFoldersBeside(const std::filesystem::path& exeFolder);

// Where option.ini, the registry hives and the folder picker's history live:
// TARVO_CONFIG_DIR when set, else "config" beside the binary in portable mode, else
// the user's config folder. On the way to the user's folder, an option.ini that an
// earlier build left in "config" beside the binary is copied over once, while the
// user has none of their own.
std::filesystem::path ConfigFolder();

// Kept files that can be made again (the map's tiles): "cache" beside the binary in
// portable mode, else the user's cache folder.
std::filesystem::path CacheFolder();

// The temporary folder: TARVO_TEMP_DIR when set, else "temp" beside the binary in
// portable mode, else <user cache>/temp.
std::filesystem::path TempFolder();

}  // namespace platform
