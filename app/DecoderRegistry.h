#pragma once
// The video decoder's settings, prepared in the user's registry hive at every start:
// one decoder per process, no whitelist check, H.264 on, and the list of programs
// allowed to use it ending with the viewer's own name. The same list goes under the
// viewer's own key.

#include <string>

namespace platform {
class Registry;
}

namespace app {

inline constexpr const char* kDecoderKey = "Software\\GNU\\ffdshow";
inline constexpr const char* kDecoderParentKey = "Software\\GNU";
inline constexpr const char* kViewerDecoderKey = "Software\\VK\\ffdshow";
inline constexpr int kWhitelistBytes = 9500;  // 4750 UTF-16 units, the text then zeros
inline constexpr const char* kViewerExecutable = "Tarvo Viewer.exe";

// The programs of the whitelist, ";"-separated, the viewer's own name last.
std::string WhitelistText();
// The whitelist as it is stored: the text in UTF-16LE, padded with zeros to
// kWhitelistBytes.
std::string WhitelistBuffer();

// Writes the values into `userHive`. Failures are ignored, as they always were.
void PrepareDecoderRegistry(platform::Registry& userHive);

}  // namespace app
