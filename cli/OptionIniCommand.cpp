// tarvo-tool option-ini: the viewer's own settings file, read over the defaults and
// written back in its fixed fifteen-line form.

#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "platform/FileOpen.h"
#include "settings/ViewerSettings.h"

namespace cli {

namespace {

void PrintOptionIniUsage(std::FILE* out) {
  std::fputs(
      "usage: tarvo-tool option-ini normalize IN OUT\n\n"
      "The viewer's settings file (option.ini). Reads IN over the default settings as\n"
      "the viewer does at start-up (unknown keys and malformed lines are ignored, an\n"
      "empty SAVE_DIRECTORY becomes the default capture folder, a LANGUAGE outside 0-11\n"
      "becomes DEFAULT_LANGUAGE, or 0 when that is outside too, a PLAY_VALUE below\n"
      "1 becomes 5, and a MARKER_G outside 20-400 becomes 50) and writes the result to\n"
      "OUT in the viewer's own form.\n\n"
      "Exit status: 0 written, 1 IN cannot be read or OUT cannot be written,\n"
      "2 wrong arguments.\n",
      out);
}

}  // namespace

int RunOptionIni(const Args& args) {
  if (WantsHelp(args)) {
    PrintOptionIniUsage(stdout);
    return kExitOk;
  }
  if (args.size() != 3 || args[0] != "normalize") {
    PrintOptionIniUsage(stderr);
    return kExitUsage;
  }
  ViewerSettings settings;
  platform::OpenFailure failure;
  if (!ReadSettings(args[1], settings, &failure)) {
    std::fprintf(stderr, "tarvo-tool option-ini: cannot read '%s': %s\n", args[1].c_str(),
                 platform::DescribeOpenFailure(failure).c_str());
    return kExitFailed;
  }
  int error = 0;
  if (!WriteSettings(args[2], settings, &error)) {
    std::fprintf(stderr, "tarvo-tool option-ini: cannot write '%s': %s\n", args[2].c_str(),
                 platform::ErrorText(error).c_str());
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace cli
