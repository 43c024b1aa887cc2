// tarvo-tool setup-cfg: the dashcam's settings file, written with the defaults or read
// and rewritten the way the settings dialog does when a card holding it is chosen.

#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "device/DeviceSettings.h"

namespace cli {

namespace {

void PrintSetupCfgUsage(std::FILE* out) {
  std::fputs(
      "usage: tarvo-tool setup-cfg defaults OUT\n"
      "       tarvo-tool setup-cfg normalize IN OUT\n\n"
      "The dashcam's settings file (setup.cfg in the root of its memory card).\n\n"
      "  defaults OUT       write the file with the default settings\n"
      "  normalize IN OUT   read IN as the settings dialog does when a card holding it\n"
      "                     is chosen (model \"Tarvo\": every line by its position, values\n"
      "                     outside their range ignored, the defaults when IN cannot be\n"
      "                     read) and write the result to OUT\n\n"
      "Exit status: 0 written, 1 OUT cannot be written, 2 wrong arguments.\n",
      out);
}

// The list texts never reach the file, so no language library is needed.
std::string NoText(int) { return {}; }

int Write(const std::string& out, const DeviceSettings& settings) {
  if (!WriteSetupCfg(out, settings)) {
    std::fprintf(stderr, "tarvo-tool setup-cfg: cannot write '%s'\n", out.c_str());
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

int RunSetupCfg(const Args& args) {
  if (WantsHelp(args)) {
    PrintSetupCfgUsage(stdout);
    return kExitOk;
  }
  if (args.size() == 2 && args[0] == "defaults") {
    return Write(args[1], MakeDefaultDeviceSettings(NoText));
  }
  if (args.size() == 3 && args[0] == "normalize") {
    // The dialog starts with the defaults of the model, then reads the card's file
    // over them; a file it cannot read means the defaults once more.
    DeviceSettings settings = MakeDefaultDeviceSettings(NoText);
    if (!ReadSetupCfg(args[1], settings, NoText)) {
      std::fprintf(stderr, "tarvo-tool setup-cfg: cannot read '%s'; writing the defaults\n", args[1].c_str());
      ApplyDeviceDefaults(settings, NoText);
    }
    return Write(args[2], settings);
  }
  PrintSetupCfgUsage(stderr);
  return kExitUsage;
}

}  // namespace cli
