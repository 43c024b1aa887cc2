#pragma once
// Where the program finds and keeps its files on Linux.
//
// The viewer keeps config/option.ini and temp/ beside its binary, like the language
// libraries. An installed binary usually sits in a folder the user cannot write to;
// then the two folders move to the user's XDG config and cache folders.

#include <filesystem>

namespace platform {

// The folder of the running binary (/proc/self/exe); empty when it cannot be read.
std::filesystem::path ExecutableFolder();

// $XDG_CONFIG_HOME/tarvo-viewer or ~/.config/tarvo-viewer (not created).
std::filesystem::path UserConfigFolder();

// $XDG_CACHE_HOME/tarvo-viewer or ~/.cache/tarvo-viewer (not created).
std::filesystem::path UserCacheFolder();

// The user's documents folder: XDG_DOCUMENTS_DIR from user-dirs.dirs, else ~/Documents;
// empty when there is no home folder.
std::filesystem::path DocumentsFolder();

// The user's desktop folder, found the same way (XDG_DESKTOP_DIR, else ~/Desktop).
std::filesystem::path DesktopFolder();

// Whether files can be created in `folder` (it must exist).
bool IsWritableFolder(const std::filesystem::path& folder);

// "config" beside the binary while that folder is writable, else the user's config folder.
// TARVO_CONFIG_DIR overrides both (tests and portable installs).
std::filesystem::path ConfigFolder();

// "temp" beside the binary while that folder is writable, else <user cache>/temp.
// TARVO_TEMP_DIR overrides both.
std::filesystem::path TempFolder();

}  // namespace platform
