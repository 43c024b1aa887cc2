// tarvo-tool sources: the recording sources the viewer finds on this machine.

#include <cstdio>

#include "cli/Commands.h"
#include "sources/DriveTable.h"
#include "sources/RecordingCollection.h"

namespace cli {

namespace {

const char kSourcesHelp[] =
    "usage: tarvo-tool sources\n\n"
    "Lists the sources the viewer offers, one per line with four tab-separated columns:\n"
    "index, root, physical path, kind (0 removable drive, 1 dashcam card, 2 the folder\n"
    "item, always last). Removable drives are mounted volumes on removable disks or\n"
    "behind a USB or MMC card reader, never on the system disk, that this user may\n"
    "open for writing.\n\n"
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
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace cli
