#pragma once
// The viewer's command line:
//   tarvo-viewer [PATH...]
//   tarvo-viewer --screenshot OUT.png [--after MS] [--size WxH] [--layout 1|2]
//                [--language N] [PATH...]
// PATHs are opened as if chosen in the folder picker. The screenshot form shows the
// window, waits, saves a picture of the whole window and exits.

#include <optional>
#include <string>
#include <vector>

namespace app {

struct ViewerArgs {
  std::string screenshotPath;  // empty: run normally
  int afterMs = 1500;
  int width = 0;  // 0: the window's own size
  int height = 0;
  int layoutMode = 1;
  std::optional<int> language;
  bool maximised = false;
  bool help = false;
  std::vector<std::string> paths;
};

// Parses argv[1..]; on a malformed option returns nullopt with `error` set.
std::optional<ViewerArgs> ParseViewerArgs(const std::vector<std::string>& args, std::string& error);

const char* ViewerUsage();

}  // namespace app
