#include "app/DecoderRegistry.h"

#include "platform/Registry.h"

namespace app {
namespace {

// The decoder's own list of players it serves starts with these; the viewer's names
// follow, its own last.
constexpr const char* kDecoderPlayers[] = {"3wPlayer.exe", "Zune.exe"};
constexpr const char* kViewerNames[] = {"tarvo-viewer", kViewerExecutable};

// The names are plain ASCII, so each character is one UTF-16 unit.
std::string Utf16Le(const std::string& text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (const char c : text) {
    bytes.push_back(c);
    bytes.push_back('\0');
  }
  return bytes;
}

}  // namespace

std::string WhitelistText() {
  std::string text;
  for (const char* name : kDecoderPlayers) text += std::string(name) + ";";
  for (const char* name : kViewerNames) text += std::string(name) + ";";
  text.pop_back();
  return text;
}

std::string WhitelistBuffer() {
  std::string bytes = Utf16Le(WhitelistText());
  bytes.resize(kWhitelistBytes, '\0');
  return bytes;
}

void PrepareDecoderRegistry(platform::Registry& userHive) {
  if (!userHive.KeyExists(kDecoderKey)) {
    if (!userHive.KeyExists(kDecoderParentKey)) userHive.CreateKey(kDecoderParentKey);
    userHive.CreateKey(kDecoderKey);
  }
  userHive.SetDword(kDecoderKey, "multipleInstances", 0);
  userHive.SetDword(kDecoderKey, "isWhitelist", 0);
  userHive.SetDword(kDecoderKey, "h264", 1);
  const std::string whitelist = WhitelistBuffer();
  userHive.SetBinary(kDecoderKey, "whitelist", whitelist);
  userHive.SetBinary(kViewerDecoderKey, "whitelist", whitelist);
}

}  // namespace app
