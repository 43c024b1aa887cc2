// tarvo-tool sources: the recording sources the viewer finds on this machine.

#include <cstdio>

#include "cli/Commands.h"
#include "sources/DiskService.h"
#include "sources/DriveTable.h"
#include "sources/RecordingCollection.h"

namespace cli {

namespace {

const char kSourcesHelp[] =
    "usage: tarvo-tool sources\n\n"
    "Lists the sources the viewer offers, one per line with four tab-separated columns:\n"
    "index, root, physical path, kind (0 removable drive, 1 dashcam card, 2 the folder\n"
    "item, always last). Cards are listed whether or not their volume is mounted (the\n"
    "root is then the device); drives are removable disks (removable media or an MMC\n"
    "slot), never a disk that holds the running system or is in use below another\n"
    "device, never one with a foreign volume mounted. Where the desktop's disk service\n"
    "(UDisks2) runs, a user other than root reaches cards through it; without it, only\n"
    "disks this user may open are listed, and the reasons are written to the standard\n"
    "error.\n\n"
    "When the environment variable TARVO_DRIVE_TABLE names a file, its lines stand in\n"
    "for the machine's drives: ROOT|DEVICE|FLAGS with FLAGS a comma list of\n"
    "\"removable\" and \"system\"; DEVICE may be a card image.\n";

}  // namespace

int RunSources(const Args& args) {
  if (WantsHelp(args)) {
    std::fputs(kSourcesHelp, stdout);
    return 0;
  }
  if (!args.empty()) {
    std::fputs(kSourcesHelp, stderr);
    return 2;
  }
  RecordingCollection set;
  const int count = set.EnumerateSources();
  for (int i = 0; i < count; ++i) {
    const SourceEntry& s = set.sources[static_cast<size_t>(i)];
    std::printf("%d\t%s\t%s\t%d\n", i, s.root.c_str(), s.physicalPath, s.kind);
  }
  for (const std::string& note : set.accessNotes) std::fprintf(stderr, "tarvo-tool sources: %s\n", note.c_str());
  if (const std::string note = drives::DiskAccessNote(); !note.empty())
    std::fprintf(stderr, "tarvo-tool sources: %s\n", note.c_str());
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace cli
