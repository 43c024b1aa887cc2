#include "app/ViewerArgs.h"

#include <charconv>

namespace app {
namespace {

bool ParseInt(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

bool ParseSize(const std::string& text, int& width, int& height) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  return ParseInt(text.substr(0, x), width) && ParseInt(text.substr(x + 1), height) && width > 0 && height > 0;
}

}  // namespace

const char* ViewerUsage() {
  return "usage: tarvo-viewer [PATH...]\n"
         "       tarvo-viewer --screenshot OUT.png [--after MS] [--size WxH] [--maximised]\n"
         "                    [--layout 1|2] [--language N] [PATH...]\n"
         "PATHs (recordings or folders) are listed as if chosen with Open.\n"
         "--screenshot saves a picture of the whole window after MS milliseconds\n"
         "(default 1500) and exits.\n";
}

std::optional<ViewerArgs> ParseViewerArgs(const std::vector<std::string>& args, std::string& error) {
  ViewerArgs parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      parsed.paths.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
      continue;
    }
    if (arg == "--maximised" || arg == "--maximized") {
      parsed.maximised = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      error = arg + " needs a value";
      return std::nullopt;
    }
    const std::string& value = args[++i];
    if (arg == "--screenshot") {
      parsed.screenshotPath = value;
    } else if (arg == "--after") {
      if (!ParseInt(value, parsed.afterMs) || parsed.afterMs < 0) {
        error = "--after wants milliseconds, not '" + value + "'";
        return std::nullopt;
      }
    } else if (arg == "--size") {
      if (!ParseSize(value, parsed.width, parsed.height)) {
        error = "--size wants WIDTHxHEIGHT, not '" + value + "'";
        return std::nullopt;
      }
    } else if (arg == "--layout") {
      if (!ParseInt(value, parsed.layoutMode) || parsed.layoutMode < 1 || parsed.layoutMode > 2) {
        error = "--layout wants 1 or 2, not '" + value + "'";
        return std::nullopt;
      }
    } else if (arg == "--language") {
      int language = 0;
      if (!ParseInt(value, language) || language < 0 || language > 11) {
        error = "--language wants 0 to 11, not '" + value + "'";
        return std::nullopt;
      }
      parsed.language = language;
    } else {
      error = "unknown option " + arg;
      return std::nullopt;
    }
  }
  return parsed;
}

}  // namespace app
