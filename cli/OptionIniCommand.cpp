// tarvo-tool option-ini: the viewer's own settings file, read over the defaults and
// written back in its fixed fifteen-line form.

#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "settings/ViewerSettings.h"

namespace cli {

namespace {

void PrintOptionIniUsage(std::FILE* out) {
  std::fputs(
      "usage: tarvo-tool option-ini normalize IN OUT\n\n"
      "The viewer's settings file (option.ini). Reads IN over the default settings as\n"
      "the viewer does at start-up (unknown keys and malformed lines are ignored, an\n"
      "empty SAVE_DIRECTORY becomes the default capture folder) and writes the result\n"
      "to OUT in the viewer's own form.\n\n"
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
  if (!ReadSettings(args[1], settings)) {
    std::fprintf(stderr, "tarvo-tool option-ini: cannot read '%s'\n", args[1].c_str());
    return kExitFailed;
  }
  if (!WriteSettings(args[2], settings)) {
    std::fprintf(stderr, "tarvo-tool option-ini: cannot write '%s'\n", args[2].c_str());
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace cli
